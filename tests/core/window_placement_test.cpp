#include "settings/window_placement.h"

#include <gtest/gtest.h>

#include <climits>

#include "settings/memory_settings_store.h"

namespace pelorin {
namespace {

TEST(WindowPlacementTest, ARememberedPlaceIsKeptOnAScreenThatExists) {
    const std::vector<Rect> screens = {{0, 0, 1280, 720}, {1280, 0, 2560, 1024}};
    const Size minimum{240, 300};
    struct Case {
        Rect remembered, placed;
    };
    const Case cases[] = {
        {{100, 50, 900, 650}, {100, 50, 900, 650}},        // as it was
        {{1500, 100, 2000, 500}, {1500, 100, 2000, 500}},  // on the second screen
        {{3000, 100, 3400, 500}, {440, 160, 840, 560}},    // that screen is gone: centred on the first
        {{10, 10, 100, 100}, {10, 10, 250, 310}},          // never below the smallest size
        {{-2000, 0, 1000, 1500}, {0, 0, 1280, 720}},       // cut to the screen it lies on
        {{1200, -100, 1700, 400}, {390, 110, 890, 610}},   // the title bar above every screen
    };
    for (const Case& c : cases)
        EXPECT_EQ(placeOnScreens(c.remembered, screens, minimum), c.placed) << c.remembered.left;

    MemorySettingsStore store;
    EXPECT_FALSE(readWindowPlacement(store).has_value());
    writeWindowPlacement(store, {{-20, 30, 780, 630}, true});
    EXPECT_EQ(readWindowPlacement(store), (WindowPlacement{{-20, 30, 780, 630}, true}));
    store.writeInt("Window", "Width", 0);
    EXPECT_FALSE(readWindowPlacement(store).has_value());
    store.writeInt("Window", "Width", 100);
    store.writeInt("Window", "Left", INT32_MAX);
    EXPECT_FALSE(readWindowPlacement(store).has_value());
}

}  // namespace
}  // namespace pelorin
