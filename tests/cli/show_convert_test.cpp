#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "document/canvas.h"
#include "document/packed.h"
#include "support/bmp_builder.h"

namespace pelorin {
namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

class ShowConvertTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/pelorin-cli-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::string path(const std::string& name) const { return folder + "/" + name; }

    static std::string slurp(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    void write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        std::ofstream(path(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    CliRun run(const std::string& arguments) const {
        const std::string command = std::string(PELORIN_CLI_PATH) + " " + arguments + " >" + path("out.txt") +
                                    " 2>" + path("err.txt");
        const int raw = std::system(command.c_str());
        CliRun result;
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = slurp(path("out.txt"));
        result.err = slurp(path("err.txt"));
        return result;
    }

    std::string folder;
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
    const CliRun shown = run("show " + path("logo.plr"));
    EXPECT_EQ(shown.status, 0) << shown.err;
    EXPECT_EQ(shown.out, "picture 72x28\n" + picture(logo));

    testing::BmpLayout layout;
    layout.width = 78;
    layout.height = 21;
    layout.pixel = [](int x, int r) { return x == 0 && r == 0 ? 0u : 1u; };  // bottom-left only
    write("large.BMP", testing::buildBmp(layout));
    Canvas expected(sizeOf(LogoKind::LargeOperator));
    expected.set(0, 20, true);
    const CliRun bmp = run("show " + path("large.BMP"));
    EXPECT_EQ(bmp.status, 0) << bmp.err;
    EXPECT_EQ(bmp.out, "large-operator 78x21\n" + picture(expected));
}

TEST_F(ShowConvertTest, FilesThatCannotBeImportedFailWithTheImportMessage) {
    write("text.bmp", testing::bytesOf("not a picture"));
    CliRun r = run("show " + path("text.bmp"));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Error:Unexpected file type, not a DIB"), std::string::npos) << r.err;

    write("odd.plr", std::vector<std::uint8_t>(127, 0));
    r = run("show " + path("odd.plr"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Unsupported file format"), std::string::npos) << r.err;

    r = run("show " + path("missing.nlm"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Failed to open file " + path("missing.nlm") + " for reading."), std::string::npos);

    r = run("convert " + path("odd.plr") + " " + path("x.bmp"));
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(std::filesystem::exists(path("x.bmp")));
}

TEST_F(ShowConvertTest, ConvertWritesEveryFormatAndReadsBackTheSamePixels) {
    const Canvas logo = pattern(LogoKind::Operator);
    const auto original = packCanvas(logo);
    write("source.plr", original);
    const std::string expected = "operator 72x14\n" + picture(logo);
    for (const char* name : {"out.nlm", "out.ngg", "out.nol", "out.bmp", "OUT.NGG", "copy.plr"}) {
        SCOPED_TRACE(name);
        CliRun r = run("convert " + path("source.plr") + " " + path(name));
        ASSERT_EQ(r.status, 0) << r.err;
        r = run("show " + path(name));
        EXPECT_EQ(r.out, expected);
        // And back to a document, byte for byte.
        r = run("convert " + path(name) + " " + path("back.plr"));
        ASSERT_EQ(r.status, 0) << r.err;
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
        const CliRun r = run("convert " + path("large.plr") + " " + path(name));
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("72 x 14"), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(path(name)));
    }
    // A large logo does go through a bitmap and back.
    ASSERT_EQ(run("convert " + path("large.plr") + " " + path("l.bmp")).status, 0);
    EXPECT_EQ(run("show " + path("l.bmp")).out, "large-operator 78x21\n" + picture(large));

    for (const char* name : {"l.png", "noextension"}) {
        const CliRun r = run("convert " + path("large.plr") + " " + path(name));
        EXPECT_EQ(r.status, 2);
        EXPECT_FALSE(r.err.empty());
    }
    const CliRun r = run("convert " + path("large.plr") + " " + path("missing-folder/x.plr"));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Failed to open file " + path("missing-folder/x.plr") + " for writing."), std::string::npos);
}

}  // namespace
}  // namespace pelorin
