// The canvas window's place in its room (centred, or with scroll bars), the
// cell size that fits, and the named documents' list and title.
#include <gtest/gtest.h>

#include "editor/layout.h"
#include "settings/memory_settings_store.h"
#include "settings/recent_files.h"

namespace pelorin {
namespace {

TEST(CanvasWindowPlaceTest, AFittingCanvasIsCentredAndOneThatDoesNotGetsTheBarsItNeeds) {
    const Rect area{10, 10, 230, 150};  // 220 x 140
    struct Case {
        Size canvas;
        CanvasWindowPlace place;
    };
    const std::optional<Rect> none;
    for (const auto& [canvas, place] : std::vector<Case>{
             // 100 x 40 fits: centred, no bars.
             {{100, 40}, {{10 + 59, 10 + 49, 10 + 59 + 102, 10 + 49 + 42}, none, none}},
             // Exactly the room, border included.
             {{218, 138}, {{10, 10, 230, 150}, none, none}},
             // Too wide: a bar below, the window's height kept, centred in what is left.
             {{720, 56}, {{10, 10 + 34, 230, 10 + 34 + 58}, Rect{10, 102, 230, 116}, none}},
             // Too tall: a bar on the right.
             {{100, 280}, {{10 + 52, 10, 10 + 52 + 102, 150}, none, Rect{164, 10, 178, 150}}},
             // Too wide, and the bar below makes it too tall: both.
             {{720, 130}, {{10, 10, 216, 136}, Rect{10, 136, 216, 150}, Rect{216, 10, 230, 136}}},
             // Too tall, and the bar on the right makes it too wide: both.
             {{210, 280}, {{10, 10, 216, 136}, Rect{10, 136, 216, 150}, Rect{216, 10, 230, 136}}},
         })
        EXPECT_EQ(placeCanvasWindow(area, canvas, 1, 14), place) << canvas.width << "x" << canvas.height;
}

TEST(CanvasWindowPlaceTest, TheFirstStartHasRoomForTheOperatorLogoAtTenPixelsACell) {
    const Size view = firstStartViewSize(10, 1);
    const EditorLayout layout = editorLayout(view);
    EXPECT_EQ(layout.logoWindow.width(), 72 * 10 + 2);
    EXPECT_EQ(layout.logoWindow.height(), 14 * 10 + 2);
    EXPECT_EQ(firstStartViewSize(1, 1), kDefaultViewSize);  // never below the smallest
}

TEST(RecentFilesTest, NewestFirstWithoutRepeatsAtMostEightAndStoredSo) {
    std::vector<std::string> files;
    for (int i = 1; i <= 9; ++i) files = withRecentFile(files, "/f" + std::to_string(i));
    EXPECT_EQ(files, (std::vector<std::string>{"/f9", "/f8", "/f7", "/f6", "/f5", "/f4", "/f3", "/f2"}));
    files = withRecentFile(files, "/f5");
    EXPECT_EQ(files.front(), "/f5");
    EXPECT_EQ(files.size(), 8u);

    MemorySettingsStore store;
    writeRecentFiles(store, files);
    EXPECT_EQ(readRecentFiles(store), files);
    writeRecentFiles(store, withoutRecentFile(files, "/f5"));
    EXPECT_EQ(readRecentFiles(store).size(), 7u);
    EXPECT_EQ(store.find("Recent", "File8"), "");
    // What another tool or damage left: gaps and repeats are skipped.
    MemorySettingsStore damaged;
    damaged.writeString("Recent", "File1", "/a");
    damaged.writeString("Recent", "File3", "/a");
    damaged.writeString("Recent", "File4", "/b");
    EXPECT_EQ(readRecentFiles(damaged), (std::vector<std::string>{"/a", "/b"}));
}

TEST(RecentFilesTest, TitlesAndPathParts) {
    EXPECT_EQ(documentWindowTitle("logo.plr", false, "Pelorin 0.96 Beta"), "logo.plr - Pelorin 0.96 Beta");
    EXPECT_EQ(documentWindowTitle("logo.plr", true, "Pelorin 0.96 Beta"), "logo.plr* - Pelorin 0.96 Beta");
    EXPECT_EQ(documentWindowTitle("", true, "Pelorin 0.96 Beta"), "Pelorin 0.96 Beta");
    EXPECT_EQ(folderOf("/home/a/b.plr"), "/home/a");
    EXPECT_EQ(folderOf("/b.plr"), "/");
    EXPECT_EQ(folderOf("b.plr"), "");
    EXPECT_EQ(fileNameOf("/home/a/b.plr"), "b.plr");
    EXPECT_EQ(fileNameOf("b.plr"), "b.plr");
}

}  // namespace
}  // namespace pelorin
