#include "settings/window_placement.h"

#include <algorithm>
#include <cstdint>

namespace pelorin {

namespace {

constexpr const char* kGroup = "Window";
// A window whose top strip shows at least this much on a screen can be taken
// by its title bar and moved.
constexpr int kGrabWidth = 64;
constexpr int kGrabHeight = 16;
// Coordinates beyond this are no desktop's: they come from damaged settings.
constexpr std::int32_t kFarthest = 1 << 20;

bool plausible(std::int32_t value) { return value > -kFarthest && value < kFarthest; }

}  // namespace

std::optional<WindowPlacement> readWindowPlacement(SettingsStore& store) {
    constexpr std::int32_t kAbsent = INT32_MIN;
    const std::int32_t left = store.readInt(kGroup, "Left", kAbsent);
    const std::int32_t top = store.readInt(kGroup, "Top", kAbsent);
    const std::int32_t width = store.readInt(kGroup, "Width", 0);
    const std::int32_t height = store.readInt(kGroup, "Height", 0);
    if (!plausible(left) || !plausible(top) || width <= 0 || height <= 0 || width >= kFarthest || height >= kFarthest)
        return std::nullopt;
    return WindowPlacement{{left, top, left + width, top + height}, store.readInt(kGroup, "Maximised", 0) != 0};
}

void writeWindowPlacement(SettingsStore& store, const WindowPlacement& placement) {
    store.writeInt(kGroup, "Left", placement.frame.left);
    store.writeInt(kGroup, "Top", placement.frame.top);
    store.writeInt(kGroup, "Width", placement.frame.width());
    store.writeInt(kGroup, "Height", placement.frame.height());
    store.writeInt(kGroup, "Maximised", placement.maximised ? 1 : 0);
}

Rect placeOnScreens(const Rect& remembered, const std::vector<Rect>& screens, Size minimum) {
    if (screens.empty()) return remembered;
    const auto grabArea = [](const Rect& r) { return Rect{r.left, r.top, r.right, r.top + kGrabHeight}; };
    const auto holds = [&](const Rect& screen) {
        const Rect shown = grabArea(remembered).intersected(screen);
        return shown.width() >= std::min(kGrabWidth, remembered.width()) && shown.height() >= kGrabHeight;
    };
    const auto found = std::find_if(screens.begin(), screens.end(), holds);
    const Rect screen = found != screens.end() ? *found : screens.front();
    const int width = std::max(minimum.width, std::min(remembered.width(), screen.width()));
    const int height = std::max(minimum.height, std::min(remembered.height(), screen.height()));
    if (found == screens.end()) {
        const int left = screen.left + (screen.width() - width) / 2;
        const int top = screen.top + std::max(0, (screen.height() - height) / 2);
        return {left, top, left + width, top + height};
    }
    // Shrunk to the screen, it stays on it.
    const int left = std::clamp(remembered.left, screen.left, std::max(screen.left, screen.right - width));
    const int top = std::clamp(remembered.top, screen.top, std::max(screen.top, screen.bottom - height));
    return {left, top, left + width, top + height};
}

}  // namespace pelorin
