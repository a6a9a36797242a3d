#pragma once

#include <optional>
#include <vector>

#include "editor/geometry.h"
#include "settings/settings_store.h"

namespace pelorin {

// The main window's place between runs, kept in the settings group "Window":
// its normal (not maximised) rectangle on the desktop and whether it was
// maximised.
struct WindowPlacement {
    Rect frame;
    bool maximised = false;
    friend bool operator==(const WindowPlacement&, const WindowPlacement&) = default;
};

// None when nothing usable is stored (a value missing, a size not positive).
std::optional<WindowPlacement> readWindowPlacement(SettingsStore& store);
void writeWindowPlacement(SettingsStore& store, const WindowPlacement& placement);

// Where a remembered rectangle goes on the screens there are now (their
// available areas, the first the primary): its size kept between the minimum
// and the screen's; kept where it was when its top strip, by which it is
// moved, lies well on a screen, else centred on the first screen.
Rect placeOnScreens(const Rect& remembered, const std::vector<Rect>& screens, Size minimum);

}  // namespace pelorin
