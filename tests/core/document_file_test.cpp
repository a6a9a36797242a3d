#include "document/document_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "document/import_file.h"
#include "document/packed.h"
#include "document/posix_file_system.h"
#include "document_fakes.h"
#include "support/bmp_builder.h"
#include "support/temp_folder.h"
#include "support/unprivileged.h"

namespace pelorin {
namespace {

using testing::importFile;

using testing::MemoryDocument;

constexpr LogoKind kAllKinds[] = {LogoKind::Operator, LogoKind::Picture, LogoKind::LargeOperator};

TEST(DocumentFileTest, EachCanvasRoundTripsAndOnlyItsCanvasIsReplaced) {
    for (LogoKind kind : kAllKinds) {
        SCOPED_TRACE(static_cast<int>(kind));
        MemoryDocument saver;
        saver.scribble();
        saver.view.kind = kind;
        ASSERT_TRUE(saveDocumentFile(saver.context, "/docs/logo.plr"));
        const auto& written = saver.files.files.at("/docs/logo.plr");
        EXPECT_EQ(written.size(), sizeOf(kind).packedBytes());
        EXPECT_EQ(written, packCanvas(saver.document.canvas(kind)));
        EXPECT_EQ(saver.files.files.size(), 1u) << "no temporary file left";

        MemoryDocument opener;
        opener.files.files = saver.files.files;
        for (LogoKind other : kAllKinds) opener.document.canvas(other).set(1, 1, true);
        opener.view.kind = kind == LogoKind::Picture ? LogoKind::Operator : LogoKind::Picture;
        EXPECT_EQ(importFile(opener.context, "/docs/logo.plr"), ImportOutcome::Imported);
        EXPECT_EQ(opener.view.kind, kind);
        EXPECT_EQ(opener.document.canvas(kind), saver.document.canvas(kind));
        for (LogoKind other : kAllKinds) {
            if (other != kind) {
                EXPECT_TRUE(opener.document.canvas(other).isSet(1, 1));
            }
        }
        EXPECT_TRUE(opener.messages.shown.empty());
        EXPECT_EQ(opener.view.updates, 1);
    }
}

TEST(DocumentFileTest, DispatchGoesByTheLowerCasedTextAfterTheLastDot) {
    EXPECT_EQ(importExtension("a.b.plr"), "plr");
    EXPECT_EQ(importExtension("/x.y/LOGO.BmP"), "bmp");
    EXPECT_EQ(importExtension("noextension"), std::nullopt);
    EXPECT_EQ(importExtension("trailing."), "");

    MemoryDocument d;
    Canvas drawn(sizeOf(LogoKind::Operator));
    drawn.set(3, 4, true);
    d.files.files["a.b.plr"] = packCanvas(drawn);
    d.files.files["/data/op.dat"] = packCanvas(drawn);
    d.files.files["/data/IMAGE.BMP"] = testing::buildBmp({});
    d.files.files["/data/noext"] = packCanvas(drawn);

    d.view.kind = LogoKind::Picture;
    EXPECT_EQ(importFile(d.context, "a.b.plr"), ImportOutcome::Imported);
    EXPECT_EQ(d.view.kind, LogoKind::Operator);
    EXPECT_EQ(d.document.operatorCanvas, drawn);

    d.document.operatorCanvas.clear();
    d.view.kind = LogoKind::Picture;
    EXPECT_EQ(importFile(d.context, "/data/op.dat"), ImportOutcome::Imported);
    EXPECT_EQ(d.view.kind, LogoKind::Operator);
    EXPECT_EQ(d.document.operatorCanvas, drawn);

    // Read as a bitmap: all pixels index 1, so the canvas is cleared.
    EXPECT_EQ(importFile(d.context, "/data/IMAGE.BMP"), ImportOutcome::Imported);
    EXPECT_EQ(d.document.operatorCanvas, Canvas(sizeOf(LogoKind::Operator)));

    d.document.operatorCanvas = drawn;
    d.view.kind = LogoKind::Picture;
    EXPECT_EQ(importFile(d.context, "/data/noext"), ImportOutcome::Ignored);
    EXPECT_EQ(d.view.kind, LogoKind::Picture);
    EXPECT_EQ(d.view.updates, 3);
    EXPECT_TRUE(d.messages.shown.empty());
}

TEST(DocumentFileTest, OtherLengthsAreUnsupportedAndChangeNothing) {
    for (std::size_t length : {0u, 125u, 127u, 204u, 206u, 251u, 253u, 1024u}) {
        MemoryDocument d;
        d.scribble();
        const CPelorinDoc before = d.document;
        d.view.kind = LogoKind::Picture;
        d.files.files["x.plr"] = std::vector<std::uint8_t>(length, 0xFF);
        EXPECT_EQ(importFile(d.context, "x.plr"), ImportOutcome::Failed);
        EXPECT_EQ(d.messages.shown, std::vector<std::string>{"Unsupported file format"}) << length;
        EXPECT_EQ(d.view.kind, LogoKind::Picture);
        EXPECT_TRUE(d.view.kindsSet.empty());
        EXPECT_EQ(d.document.operatorCanvas, before.operatorCanvas);
        EXPECT_EQ(d.document.pictureCanvas, before.pictureCanvas);
        EXPECT_EQ(d.document.largeOperatorCanvas, before.largeOperatorCanvas);
    }
}

TEST(DocumentFileTest, UnopenableOrUnreadableFilesAreReportedAndChangeNothing) {
    for (const char* extension : {"plr", "bmp", "ngg", "nol", "nlm"}) {
        for (int how = 0; how < 3; ++how) {
            MemoryDocument d;
            d.scribble();
            const CPelorinDoc before = d.document;
            d.view.kind = LogoKind::LargeOperator;
            const std::string path = std::string("/f/logo.") + extension;
            if (how > 0) d.files.files[path] = std::vector<std::uint8_t>(126, 0xFF);
            if (how == 1) d.files.unopenable.insert(path);
            if (how == 2) d.files.unreadable.insert(path);
            EXPECT_EQ(importFile(d.context, path), ImportOutcome::Failed);
            EXPECT_EQ(d.messages.shown, std::vector<std::string>{"Failed to open file " + path + " for reading."});
            EXPECT_EQ(d.view.kind, LogoKind::LargeOperator);
            EXPECT_TRUE(d.view.kindsSet.empty()) << path << " " << how;
            EXPECT_EQ(d.document.operatorCanvas, before.operatorCanvas);
            EXPECT_EQ(d.document.pictureCanvas, before.pictureCanvas);
            EXPECT_EQ(d.document.largeOperatorCanvas, before.largeOperatorCanvas);
        }
    }
}

TEST(DocumentFileTest, FailedSaveKeepsTheEarlierFileAndLeavesNoTemporaryFile) {
    const std::vector<std::uint8_t> earlier(205, 0x5A);
    for (int how = 0; how < 6; ++how) {
        SCOPED_TRACE(how);
        MemoryDocument d;
        d.scribble();
        d.view.kind = LogoKind::Picture;
        d.files.files["/docs/logo.plr"] = earlier;
        // Through a temporary file:
        if (how == 0) d.files.freeBytes = 100;  // the disk fills up half-way through the 252 bytes
        if (how == 1) d.files.failSync = true;
        if (how == 2) d.files.failReplace = true;
        // In place, where the first 205 bytes are written over before the disk is full:
        if (how == 3) d.files.unwritableFolders.insert("/docs/");
        if (how >= 4) d.files.inPlaceOnly.insert("/docs/logo.plr");
        if (how == 3 || how == 4) d.files.freeBytes = 10;
        if (how == 5) d.files.failSync = true;
        EXPECT_FALSE(saveDocumentFile(d.context, "/docs/logo.plr"));
        EXPECT_EQ(d.messages.shown, std::vector<std::string>{"Failed to open file /docs/logo.plr for writing."});
        ASSERT_EQ(d.files.files.size(), 1u);
        EXPECT_EQ(d.files.files.at("/docs/logo.plr"), earlier);
    }
}

TEST(DocumentFileTest, SavesInPlaceWhereARenameCannotOrMustNot) {
    MemoryDocument d;
    d.scribble();
    d.view.kind = LogoKind::Operator;
    const auto expected = packCanvas(d.document.operatorCanvas);
    d.files.files["/ro/logo.plr"] = std::vector<std::uint8_t>(300, 1);  // longer than the new content
    d.files.unwritableFolders.insert("/ro/");
    d.files.symlinks["/home/link.plr"] = "/home/to-target.plr";
    d.files.symlinks["/home/to-target.plr"] = "/ro/logo.plr";
    ASSERT_TRUE(saveDocumentFile(d.context, "/home/link.plr"));
    EXPECT_EQ(d.files.files.at("/ro/logo.plr"), expected) << "cut to the new length";
    EXPECT_EQ(d.files.files.count("/home/link.plr"), 0u) << "the link stays a link";
    EXPECT_EQ(d.files.files.size(), 1u);

    // No file yet in a folder that cannot be written: nothing to write in place.
    EXPECT_FALSE(saveDocumentFile(d.context, "/ro/new.plr"));
    // A loop of links is not followed for ever.
    d.files.symlinks["/a"] = "/b";
    d.files.symlinks["/b"] = "/a";
    EXPECT_FALSE(saveDocumentFile(d.context, "/a"));
    EXPECT_EQ(d.files.files.size(), 1u);
}

TEST(DocumentFileTest, NewClearsOnlyTheCurrentCanvas) {
    MemoryDocument d;
    d.scribble();
    const CPelorinDoc before = d.document;
    d.view.kind = LogoKind::Picture;
    clearCurrentCanvas(d.document, d.view);
    EXPECT_EQ(d.document.pictureCanvas, Canvas(sizeOf(LogoKind::Picture)));
    EXPECT_EQ(d.document.operatorCanvas, before.operatorCanvas);
    EXPECT_EQ(d.document.largeOperatorCanvas, before.largeOperatorCanvas);
    EXPECT_EQ(d.view.kind, LogoKind::Picture);
    EXPECT_EQ(d.view.updates, 1);
}

// The same commands on the real disk.
class PosixDocumentFileTest : public ::testing::Test {
protected:
    std::vector<std::string> namesInFolder() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        return names;
    }

    static std::vector<std::uint8_t> contentOf(const std::string& path) { return testing::readFileBytes(path); }

    testing::TemporaryFolder temporary{"pelorin-doc"};
    std::string folder = temporary.path().string();
    PosixFileSystem files;
    CPelorinDoc document;
    testing::RecordingView view;
    testing::RecordingMessages messages;
    DocumentContext context{document, view, messages, files};
};

TEST_F(PosixDocumentFileTest, SavesOverAnEarlierFileKeepingItsPermissions) {
    const std::string path = folder + "/logo.plr";
    { std::ofstream(path) << "earlier"; }
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    document.largeOperatorCanvas.set(77, 20, true);
    view.kind = LogoKind::LargeOperator;
    ASSERT_TRUE(saveDocumentFile(context, path));
    EXPECT_EQ(contentOf(path), packCanvas(document.largeOperatorCanvas));
    EXPECT_EQ(namesInFolder(), std::vector<std::string>{"logo.plr"});
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    CPelorinDoc reopened;
    DocumentContext other{reopened, view, messages, files};
    view.kind = LogoKind::Operator;
    EXPECT_EQ(importFile(other, path), ImportOutcome::Imported);
    EXPECT_EQ(view.kind, LogoKind::LargeOperator);
    EXPECT_EQ(reopened.largeOperatorCanvas, document.largeOperatorCanvas);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PosixDocumentFileTest, AFullDiskHalfWayKeepsTheEarlierFileByteForByte) {
    const std::string path = folder + "/logo.plr";
    const std::string otherName = folder + "/other-name.plr";
    const std::vector<std::uint8_t> earlier(60, 0xA5);  // within the limit below, so it can be written back
    view.kind = LogoKind::Picture;                      // 252 bytes to write
    document.pictureCanvas.set(0, 0, true);

    // Once through a temporary file; once in place, as a second hard link
    // forces, where the first 100 bytes of the file are written over.
    for (const bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace);
        messages.shown.clear();
        testing::writeFileBytes(path, earlier);
        if (inPlace) {
            ASSERT_EQ(::link(path.c_str(), otherName.c_str()), 0);
        }

        // A file-size limit makes the write stop after 100 bytes, as a full disk would.
        rlimit old{};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = old;
        small.rlim_cur = 100;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool saved = saveDocumentFile(context, path);
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);

        EXPECT_FALSE(saved);
        EXPECT_EQ(messages.shown, std::vector<std::string>{"Failed to open file " + path + " for writing."});
        EXPECT_EQ(contentOf(path), earlier);
        if (inPlace) {
            EXPECT_EQ(contentOf(otherName), earlier);
            EXPECT_EQ(namesInFolder().size(), 2u);
            ::unlink(otherName.c_str());
        } else {
            EXPECT_EQ(namesInFolder(), std::vector<std::string>{"logo.plr"});
        }
    }
}

TEST_F(PosixDocumentFileTest, LinksKeepTheirShapeAndFilesTheirMode) {
    document.operatorCanvas.set(5, 5, true);
    view.kind = LogoKind::Operator;
    const auto expected = packCanvas(document.operatorCanvas);
    std::filesystem::create_directory(folder + "/real");

    // A symbolic link (relative, through a second link) is followed to its target.
    const std::string target = folder + "/real/logo.plr";
    { std::ofstream(target) << "earlier content, longer than the logo will be ... ... ... ... ... ... ... ... ..."; }
    ASSERT_EQ(::chmod(target.c_str(), 0604), 0);
    std::filesystem::create_symlink("real/logo.plr", folder + "/hop");
    std::filesystem::create_symlink("hop", folder + "/link.plr");
    ASSERT_TRUE(saveDocumentFile(context, folder + "/link.plr"));
    EXPECT_EQ(contentOf(target), expected);
    EXPECT_TRUE(std::filesystem::is_symlink(folder + "/link.plr"));
    EXPECT_EQ(std::filesystem::read_symlink(folder + "/link.plr"), "hop");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    EXPECT_EQ(std::filesystem::directory_iterator(folder + "/real")->path().filename(), "logo.plr");

    // Two hard links keep sharing one content.
    const std::string second = folder + "/second.plr";
    ASSERT_EQ(::link(target.c_str(), second.c_str()), 0);
    document.operatorCanvas.set(6, 6, true);
    ASSERT_TRUE(saveDocumentFile(context, second));
    struct stat a {
    }, b{};
    ASSERT_EQ(::stat(target.c_str(), &a), 0);
    ASSERT_EQ(::stat(second.c_str(), &b), 0);
    EXPECT_EQ(a.st_ino, b.st_ino);
    EXPECT_EQ(a.st_nlink, 2u);
    EXPECT_EQ(contentOf(target), packCanvas(document.operatorCanvas));
    EXPECT_EQ(b.st_mode & 07777, 0604u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PosixDocumentFileTest, AnOrdinaryUserSavesOverHisFileInAReadOnlyFolder) {
    // The user may write the file but not the folder it is in.
    ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    const std::string locked = folder + "/locked";
    std::filesystem::create_directory(locked);
    const std::string path = locked + "/logo.plr";
    testing::writeFileBytes(path, std::vector<std::uint8_t>(40, 7));
    ASSERT_TRUE(testing::giveToUnprivilegedUser(path));
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
    document.operatorCanvas.set(1, 1, true);
    view.kind = LogoKind::Operator;

    const auto run = testing::runUnprivileged([this, &path, &locked]() -> std::string {
        std::string failures;
        if (!saveDocumentFile(context, path)) failures += "the save failed; ";
        if (saveDocumentFile(context, locked + "/new.plr")) failures += "a new file appeared in the locked folder; ";
        return failures;
    });
    ::chmod(locked.c_str(), 0755);
    if (!run.ran) GTEST_SKIP() << run.skipReason;
    EXPECT_EQ(run.failures, "");
    EXPECT_EQ(contentOf(path), packCanvas(document.operatorCanvas));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(std::vector<std::string>{"logo.plr"},
              std::vector<std::string>{std::filesystem::directory_iterator(locked)->path().filename().string()});
}

TEST_F(PosixDocumentFileTest, AFolderThatCannotBeWrittenIsReported) {
    { std::ofstream(folder + "/plain") << "x"; }
    for (const std::string& path : {folder + "/missing/logo.plr", folder + "/plain/logo.plr"}) {
        messages.shown.clear();
        EXPECT_FALSE(saveDocumentFile(context, path));
        EXPECT_EQ(messages.shown, std::vector<std::string>{"Failed to open file " + path + " for writing."});
    }
    if (::geteuid() != 0) {  // root writes into read-only folders regardless
        const std::string locked = folder + "/locked";
        std::filesystem::create_directory(locked);
        ::chmod(locked.c_str(), 0500);
        EXPECT_FALSE(saveDocumentFile(context, locked + "/logo.plr"));
        ::chmod(locked.c_str(), 0700);
    }
}

TEST_F(PosixDocumentFileTest, FoldersAndHugeFilesAreNeverReadAsDocuments) {
    document.operatorCanvas.set(2, 2, true);
    const CPelorinDoc before = document;
    EXPECT_EQ(importFile(context, folder + "/."), ImportOutcome::Failed);  // the folder itself, extension ""
    EXPECT_EQ(messages.shown.back(), "Failed to open file " + folder + "/. for reading.");

    // A sparse 4 GiB file: refused by its length without being read.
    const std::string huge = folder + "/huge.plr";
    { std::ofstream(huge) << ""; }
    std::filesystem::resize_file(huge, std::uint64_t{4} << 30);
    EXPECT_EQ(importFile(context, huge), ImportOutcome::Failed);
    EXPECT_EQ(messages.shown.back(), "Unsupported file format");
    EXPECT_EQ(document.operatorCanvas, before.operatorCanvas);
    EXPECT_TRUE(view.kindsSet.empty());
}

}  // namespace
}  // namespace pelorin

namespace pelorin {
namespace {

// A name of 255 bytes, some in characters of two bytes: the temporary file's
// name is cut to fit, at a character boundary, and the save goes through.
TEST_F(PosixDocumentFileTest, SavesTheLongestNames) {
    std::string name;
    while (name.size() < 250) name += "\xC3\xA9";
    const std::string path = folder + "/" + name + "x.plr";
    document.operatorCanvas.set(1, 1, true);
    ASSERT_TRUE(saveDocumentFile(context, path)) << (messages.shown.empty() ? "" : messages.shown[0]);
    EXPECT_EQ(contentOf(path), packCanvas(document.operatorCanvas));
    EXPECT_EQ(namesInFolder().size(), 1u);
}

}  // namespace
}  // namespace pelorin
