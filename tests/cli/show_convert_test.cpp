#include <gtest/gtest.h>

#include <filesystem>

#include "document/canvas.h"
#include "document/packed.h"
#include "support/bmp_builder.h"
#include "support/process.h"
#include "support/temp_folder.h"

namespace pelorin {
namespace {

using testing::ProcessResult;

class ShowConvertTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return folder.file(name); }

    void write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        testing::writeFileBytes(path(name), bytes);
    }

    static std::string slurp(const std::string& file) { return testing::readFileText(file); }

    static ProcessResult run(const std::vector<std::string>& arguments) {
        return testing::runProcess(PELORIN_CLI_PATH, arguments);
    }

    testing::TemporaryFolder folder{"pelorin-cli"};
};

// The rows show should print for a canvas.
std::string picture(const Canvas& canvas) {
    std::string text;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) text += canvas.isSet(x, y) ? '#' : '.';
        text += '\n';
    }
    return text;
}

Canvas pattern(LogoKind kind) {
    Canvas canvas(sizeOf(kind));
    for (int x = 0; x < canvas.width(); ++x)
        for (int y = 0; y < canvas.height(); ++y) canvas.set(x, y, (x * x + 3 * y) % 7 == 1);
    return canvas;
}

TEST_F(ShowConvertTest, ShowPrintsKindSizeAndRowsOfADocumentAndABitmap) {
    const Canvas logo = pattern(LogoKind::Picture);
    write("logo.plr", packCanvas(logo));
    const ProcessResult shown = run({"show", path("logo.plr")});
    EXPECT_EQ(shown.exitStatus, 0) << shown.err;
    EXPECT_EQ(shown.out, "picture 72x28\n" + picture(logo));

    testing::BmpLayout layout;
    layout.width = 78;
    layout.height = 21;
    layout.pixel = [](int x, int r) { return x == 0 && r == 0 ? 0u : 1u; };  // bottom-left only
    write("large.BMP", testing::buildBmp(layout));
    Canvas expected(sizeOf(LogoKind::LargeOperator));
    expected.set(0, 20, true);
    const ProcessResult bmp = run({"show", path("large.BMP")});
    EXPECT_EQ(bmp.exitStatus, 0) << bmp.err;
    EXPECT_EQ(bmp.out, "large-operator 78x21\n" + picture(expected));
}

TEST_F(ShowConvertTest, FilesThatCannotBeImportedFailWithTheImportMessage) {
    write("text.bmp", testing::bytesOf("not a picture"));
    ProcessResult r = run({"show", path("text.bmp")});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Error:Unexpected file type, not a DIB"), std::string::npos) << r.err;

    write("odd.plr", std::vector<std::uint8_t>(127, 0));
    r = run({"show", path("odd.plr")});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_NE(r.err.find("Unsupported file format"), std::string::npos) << r.err;

    r = run({"show", path("missing.nlm")});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_NE(r.err.find("Failed to open file " + path("missing.nlm") + " for reading."), std::string::npos);

    r = run({"convert", path("odd.plr"), path("x.bmp")});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_FALSE(std::filesystem::exists(path("x.bmp")));
}

TEST_F(ShowConvertTest, ConvertWritesEveryFormatAndReadsBackTheSamePixels) {
    const Canvas logo = pattern(LogoKind::Operator);
    const auto original = packCanvas(logo);
    write("source.plr", original);
    const std::string expected = "operator 72x14\n" + picture(logo);
    for (const char* name : {"out.nlm", "out.ngg", "out.nol", "out.bmp", "OUT.NGG", "copy.plr"}) {
        SCOPED_TRACE(name);
        ProcessResult r = run({"convert", path("source.plr"), path(name)});
        ASSERT_EQ(r.exitStatus, 0) << r.err;
        r = run({"show", path(name)});
        EXPECT_EQ(r.out, expected);
        // And back to a document, byte for byte.
        r = run({"convert", path(name), path("back.plr")});
        ASSERT_EQ(r.exitStatus, 0) << r.err;
        EXPECT_EQ(slurp(path("back.plr")), std::string(original.begin(), original.end()));
    }
    EXPECT_EQ(slurp(path("out.nlm")).size(), 136u);
    EXPECT_EQ(slurp(path("out.ngg")).size(), 1024u);
    EXPECT_EQ(slurp(path("out.nol")).size(), 1028u);
}

TEST_F(ShowConvertTest, ConvertRefusesSizesAndTypesItCannotWrite) {
    const Canvas large = pattern(LogoKind::LargeOperator);
    write("large.plr", packCanvas(large));
    for (const char* name : {"l.nlm", "l.ngg", "l.nol"}) {
        const ProcessResult r = run({"convert", path("large.plr"), path(name)});
        EXPECT_EQ(r.exitStatus, 1);
        EXPECT_NE(r.err.find("72 x 14"), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(path(name)));
    }
    // A large logo does go through a bitmap and back.
    ASSERT_EQ(run({"convert", path("large.plr"), path("l.bmp")}).exitStatus, 0);
    EXPECT_EQ(run({"show", path("l.bmp")}).out, "large-operator 78x21\n" + picture(large));

    for (const char* name : {"l.gif", "noextension"}) {
        const ProcessResult r = run({"convert", path("large.plr"), path(name)});
        EXPECT_EQ(r.exitStatus, 2);
        EXPECT_FALSE(r.err.empty());
    }
    const ProcessResult r = run({"convert", path("large.plr"), path("missing-folder/x.plr")});
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_NE(r.err.find("Failed to open file " + path("missing-folder/x.plr") + " for writing."), std::string::npos);
}

}  // namespace
}  // namespace pelorin
