// Feeds arbitrary stored window settings (group "Window", as a damaged or
// hand-edited settings file could leave them) to the reading of the window's
// place and to its placing on a few screen layouts: no overflow, and the
// placed window always has at least the smallest size and meets a screen.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_texts.h"
#include "settings/memory_settings_store.h"
#include "settings/window_placement.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Five texts separated by zero bytes: Left, Top, Width, Height, Maximised.
    const std::vector<std::string> texts = pelorin::fuzz::splitTexts(data, size, 5);
    pelorin::MemorySettingsStore store;
    const char* names[] = {"Left", "Top", "Width", "Height", "Maximised"};
    for (std::size_t i = 0; i < texts.size(); ++i) store.writeString("Window", names[i], texts[i]);

    const auto placement = pelorin::readWindowPlacement(store);
    if (!placement) return 0;
    if (placement->frame.isEmpty()) __builtin_trap();
    const std::vector<std::vector<pelorin::Rect>> layouts = {
        {{0, 0, 1280, 720}},
        {{0, 0, 1920, 1080}, {-1280, 200, 0, 1224}},
        {{0, 0, 200, 150}},  // a screen smaller than the window's smallest size
    };
    const pelorin::Size minimum{240, 300};
    for (const auto& screens : layouts) {
        const pelorin::Rect placed = pelorin::placeOnScreens(placement->frame, screens, minimum);
        if (placed.width() < minimum.width || placed.height() < minimum.height) __builtin_trap();
        bool meets = false;
        for (const auto& screen : screens) meets = meets || placed.intersects(screen);
        if (!meets) __builtin_trap();
    }
    return 0;
}
