#include "browser/folder_listing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "browser/thumbnail.h"
#include "document/memory_file_system.h"
#include "document/posix_file_system.h"
#include "document_fakes.h"
#include "editor/geometry.h"
#include "support/bmp_builder.h"
#include "support/logo_files.h"
#include "support/temp_folder.h"

namespace pelorin {
namespace {

using testing::BmpLayout;
using testing::buildBmp;
using testing::RecordingMessages;
using testing::writeFileBytes;

std::vector<std::uint8_t> bitmap(int width, int height, int bitsPerPixel = 8) {
    BmpLayout layout;
    layout.width = width;
    layout.height = height;
    layout.bitsPerPixel = bitsPerPixel;
    layout.colourEntries = bitsPerPixel <= 8 ? 1 << bitsPerPixel : 0;
    return buildBmp(layout);
}

std::vector<std::uint8_t> shortened(std::vector<std::uint8_t> bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

// A documents folder of made files: good and bad ones of every kind, names in
// both cases, and a subfolder holding a file and a folder of its own.
class DocumentsFolder : public ::testing::Test {
protected:
    void SetUp() override {
        const std::map<std::string, std::vector<std::uint8_t>> made = {
            {"op8.bmp", bitmap(72, 14)},
            {"Pic8.bmp", bitmap(72, 28)},
            {"large8.bmp", bitmap(78, 21)},
            {"odd8.bmp", bitmap(72, 20)},
            {"topdown8.bmp", bitmap(72, -14)},
            {"true24.bmp", bitmap(72, 14, 24)},
            {"mono1.bmp", bitmap(72, 14, 1)},
            {"notes.bmp", testing::bytesOf("just some text, not a picture")},
            {"op.plr", std::vector<std::uint8_t>(126, 0xAA)},
            {"bad.plr", std::vector<std::uint8_t>(127, 0)},
            {"large.plr", std::vector<std::uint8_t>(205, 0)},
            {"PICTURE.PLR", std::vector<std::uint8_t>(252, 0)},
            {"op.dat", std::vector<std::uint8_t>(126, 0)},
            {"good.ngg", testing::nggFile()},
            {"LOGO.NGG", testing::nggFile()},
            {"tall.ngg", testing::nggFile(72, 28)},
            {"headeronly.ngg", shortened(testing::nggFile(), 16)},
            {"short.ngg", shortened(testing::nggFile(), 15)},
            {"good.nol", testing::nolFile()},
            {"wide.nol", testing::nolFile(78, 14)},
            {"short.nol", shortened(testing::nolFile(), 19)},
            {"good.nlm", testing::nlmFile()},
            {"tall.nlm", testing::nlmFile(72, 21)},
            {"short.nlm", shortened(testing::nlmFile(), 135)},
            {"README", testing::bytesOf("no extension")},
            {"sub/inner.nlm", testing::nlmFile()},
            {"sub/deeper/hidden.nlm", testing::nlmFile()},
        };
        std::filesystem::create_directories(docs.path() / "sub" / "deeper");
        std::filesystem::create_directories(docs.path() / "Empty");
        for (const auto& [name, bytes] : made) writeFileBytes(docs.path() / name, bytes);
    }

    std::vector<std::string> offered(FileFilter filter, const std::string& under = "") {
        const std::string folder = under.empty() ? docs.path().string() : docs.file(under);
        std::vector<std::string> names;
        for (const auto& path : listFolderFiles(files, messages, folder, filter).files) {
            EXPECT_EQ(path, folder + "/" + fileNameOf(path));
            names.push_back(fileNameOf(path));
        }
        return names;
    }

    testing::TemporaryFolder docs{"pelorin-docs"};
    PosixFileSystem files;
    RecordingMessages messages;
};

using Names = std::vector<std::string>;

TEST_F(DocumentsFolder, EachFilterOffersOnlyImportableFilesOfItsKindInNameOrder) {
    const Names bitmaps = {"large8.bmp", "op8.bmp", "Pic8.bmp"};
    const Names documents = {"large.plr", "op.plr", "PICTURE.PLR"};
    const Names nlm = {"good.nlm"};
    const Names ngg = {"good.ngg", "headeronly.ngg", "LOGO.NGG"};
    const Names nol = {"good.nol"};
    EXPECT_EQ(offered(FileFilter::Bmp), bitmaps);
    EXPECT_EQ(offered(FileFilter::Plr), documents);
    EXPECT_EQ(offered(FileFilter::Nlm), nlm);
    EXPECT_EQ(offered(FileFilter::Ngg), ngg);
    EXPECT_EQ(offered(FileFilter::Nol), nol);
    const Names all = {"good.ngg", "good.nlm", "good.nol", "headeronly.ngg", "large.plr",  "large8.bmp",
                       "LOGO.NGG", "op.plr",   "op8.bmp",  "Pic8.bmp",       "PICTURE.PLR"};
    EXPECT_EQ(offered(FileFilter::AllSupported), all);
    EXPECT_EQ(offered(fileFilterAt(0)), all);
    EXPECT_EQ(offered(fileFilterAt(2)), bitmaps);
    EXPECT_EQ(fileFilterAt(5), FileFilter::Nol);
    EXPECT_EQ(fileFilterAt(6), FileFilter::AllSupported);
}

TEST_F(DocumentsFolder, WithPicturesAllSupportedAlsoOffersPicturesByName) {
    for (const char* name : {"photo.PNG", "shot.jpg", "scan.jpeg", "anim.gif", "vector.svg"})
        writeFileBytes(docs.path() / name, testing::bytesOf("whatever"));
    const auto names = [&](FileFilter filter) {
        Names result;
        for (const auto& path : listFolderFiles(files, messages, docs.path().string(), filter, true).files)
            result.push_back(fileNameOf(path));
        return result;
    };
    // Every bitmap that is a bitmap comes in: logos as logos, the others as pictures.
    const Names all = {"anim.gif",  "good.ngg",   "good.nlm",     "good.nol",  "headeronly.ngg",
                       "large.plr", "large8.bmp", "LOGO.NGG",     "mono1.bmp", "odd8.bmp",
                       "op.plr",    "op8.bmp",    "photo.PNG",    "Pic8.bmp",  "PICTURE.PLR",
                       "scan.jpeg", "shot.jpg",   "topdown8.bmp", "true24.bmp"};
    EXPECT_EQ(names(FileFilter::AllSupported), all);
    // The file that is no bitmap at all still says so, once.
    EXPECT_EQ(messages.shown, std::vector<std::string>{std::string(message::kNotADib) + "\n" + docs.file("notes.bmp")});
    EXPECT_EQ(names(FileFilter::Bmp), (Names{"large8.bmp", "op8.bmp", "Pic8.bmp"}));
}

TEST_F(DocumentsFolder, ABrokenBitmapShowsItsMessageEachTimeBitmapsAreListed) {
    // The message says which file it is about, on a line of its own.
    const std::string notADib = std::string(message::kNotADib) + "\n" + docs.file("notes.bmp");
    offered(FileFilter::Plr);
    offered(FileFilter::Ngg);
    EXPECT_TRUE(messages.shown.empty()) << "other filters never load bitmaps";
    offered(FileFilter::AllSupported);
    EXPECT_EQ(messages.shown, std::vector<std::string>{notADib});
    offered(FileFilter::Bmp);
    EXPECT_EQ(messages.shown, (std::vector<std::string>{notADib, notADib}));
}

TEST_F(DocumentsFolder, SubfoldersAreNamedAndTheirFilesListedOnRequest) {
    const auto top = listFolderFiles(files, messages, docs.path().string(), FileFilter::AllSupported);
    EXPECT_EQ(top.folders, (Names{"Empty", "sub"}));
    const auto sub = listFolderFiles(files, messages, docs.file("sub"), FileFilter::AllSupported);
    EXPECT_EQ(sub.files, Names{docs.file("sub/inner.nlm")});
    EXPECT_EQ(sub.folders, Names{"deeper"});
    EXPECT_TRUE(offered(FileFilter::AllSupported, "Empty").empty());
    const auto missing = listFolderFiles(files, messages, docs.file("missing"), FileFilter::AllSupported);
    EXPECT_TRUE(missing.files.empty());
    EXPECT_TRUE(missing.folders.empty());
}

TEST(FolderListingTest, MemoryFoldersListLikeDiskFolders) {
    MemoryFileSystem memory;
    memory.files["/d/b.plr"] = std::vector<std::uint8_t>(205, 0);
    memory.files["/d/A.ngg"] = testing::nggFile();
    memory.files["/d/sub/x.nlm"] = testing::nlmFile();
    memory.files["/dx/other.plr"] = std::vector<std::uint8_t>(126, 0);
    memory.folders.insert("/d/empty");
    RecordingMessages messages;
    const auto listing = listFolderFiles(memory, messages, "/d", FileFilter::AllSupported);
    EXPECT_EQ(listing.files, (Names{"/d/A.ngg", "/d/b.plr"}));
    EXPECT_EQ(listing.folders, (Names{"empty", "sub"}));
    EXPECT_EQ(memory.listEntries("/d/empty"), std::vector<FolderEntry>{});
    EXPECT_EQ(memory.listEntries("/nowhere"), std::nullopt);
    EXPECT_EQ(memory.listEntries("/d/sub"), (std::vector<FolderEntry>{{"x.nlm", FolderEntry::Type::File, 136}}));
    EXPECT_TRUE(lessIgnoringCase("a", "B"));
    EXPECT_TRUE(lessIgnoringCase("B", "b"));
    EXPECT_FALSE(lessIgnoringCase("b", "B"));
}

// How many pixels of a thumbnail are black.
int setPixels(const Thumbnail& t) {
    int count = 0;
    for (std::size_t i = 0; i < t.rgb.size(); i += 3) count += t.rgb[i] == 0 && t.rgb[i + 1] == 0 && t.rgb[i + 2] == 0;
    return count;
}

Rgb pixelOf(const Thumbnail& t, int x, int y) {
    const auto i = static_cast<std::size_t>((y * t.width + x) * 3);
    return {t.rgb[i], t.rgb[i + 1], t.rgb[i + 2]};
}

TEST(ThumbnailTest, EachFormatGivesItsSizeAndPixelsAndUnreadableFilesGiveNothing) {
    MemoryFileSystem memory;
    const auto corner = [](int x, int y) { return x == 1 && y == 2; };
    memory.files["/d/a.ngg"] = testing::nggFile(72, 14, corner);
    memory.files["/d/a.NOL"] = testing::nolFile(72, 14, corner);
    memory.files["/d/a.nlm"] = testing::nlmFile(72, 14, corner);
    memory.files["/d/header.nlm"] = shortened(testing::nlmFile(72, 14, corner), 10);
    memory.files["/d/header.ngg"] = shortened(testing::nggFile(72, 14, corner), 1023);
    std::vector<std::uint8_t> large(205, 0);
    large[0] = 0x80;    // (0, 0)
    large[204] = 0x04;  // bit 1637: (77, 20)
    memory.files["/d/large.plr"] = large;
    memory.files["/d/odd.plr"] = std::vector<std::uint8_t>(127, 0xFF);
    BmpLayout layout;
    layout.width = 78;
    layout.height = 21;
    layout.entry0[2] = 200;  // red ink
    layout.pixel = [](int x, int storedRow) { return x == 3 && storedRow == 20 ? 0u : 9u; };
    memory.files["/d/pic.bmp"] = buildBmp(layout);
    memory.files["/d/text.bmp"] = testing::bytesOf("not a bitmap");

    for (const char* path : {"/d/a.ngg", "/d/a.NOL", "/d/a.nlm"}) {
        SCOPED_TRACE(path);
        const auto t = readThumbnail(memory, path);
        ASSERT_TRUE(t);
        EXPECT_EQ(t->width, 72);
        EXPECT_EQ(t->height, 14);
        EXPECT_EQ(setPixels(*t), 1);
        EXPECT_EQ(pixelOf(*t, 1, 2), colour::kBlack);
        EXPECT_EQ(pixelOf(*t, 2, 1), colour::kPreviewGrey);
    }
    const auto headerOnly = readThumbnail(memory, "/d/header.nlm");
    ASSERT_TRUE(headerOnly);
    EXPECT_EQ(setPixels(*headerOnly), 0);
    EXPECT_FALSE(readThumbnail(memory, "/d/header.ngg")) << "character formats need every pixel";

    const auto plr = readThumbnail(memory, "/d/large.plr");
    ASSERT_TRUE(plr);
    EXPECT_EQ(plr->width, 78);
    EXPECT_EQ(plr->height, 21);
    EXPECT_EQ(setPixels(*plr), 2);
    EXPECT_EQ(pixelOf(*plr, 77, 20), colour::kBlack);
    EXPECT_FALSE(readThumbnail(memory, "/d/odd.plr"));

    const auto bmp = readThumbnail(memory, "/d/pic.bmp");
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->width, 78);
    EXPECT_EQ(bmp->height, 21);
    EXPECT_EQ(pixelOf(*bmp, 3, 0), (Rgb{200, 0, 0})) << "stored row 20 is the top row";
    EXPECT_EQ(pixelOf(*bmp, 4, 0), colour::kPreviewGrey);

    EXPECT_FALSE(readThumbnail(memory, "/d/text.bmp"));
    EXPECT_FALSE(readThumbnail(memory, "/d/missing.nlm"));
    memory.unreadable.insert("/d/a.nlm");
    EXPECT_FALSE(readThumbnail(memory, "/d/a.nlm"));
}

}  // namespace
}  // namespace pelorin
