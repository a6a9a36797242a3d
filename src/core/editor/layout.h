#pragma once

#include <algorithm>
#include <optional>

#include "document/logo_kind.h"
#include "editor/geometry.h"

namespace pelorin {

// Where the editor's parts sit in the main view (view coordinates) at the
// view's default and smallest size, 240 x 275.
inline constexpr Size kDefaultViewSize{240, 275};
inline constexpr Rect kLogoWindowRect{10, 10, 230, 150};  // with its one-pixel border
inline constexpr int kLogoClientWidth = 218;
inline constexpr int kLogoClientHeight = 138;
inline constexpr Rect kLogoClientRect{0, 0, kLogoClientWidth, kLogoClientHeight};
inline constexpr Rect kPaletteRect{10, 195, 230, 265};
inline constexpr Point kPreviewOrigin{84, 160};

inline constexpr int kLogoWindowId = 40000;
inline constexpr int kPaletteWindowId = 40001;

// The actual-size preview of a kind: canvas cell (x, y) is view pixel
// (84 + x, 160 + y).
constexpr Rect previewRect(LogoKind kind) {
    const auto size = sizeOf(kind);
    return {kPreviewOrigin.x, kPreviewOrigin.y, kPreviewOrigin.x + size.width, kPreviewOrigin.y + size.height};
}

// The one-pixel black outline around the preview, one pixel of gap away.
constexpr Rect previewFrameRect(LogoKind kind) {
    const auto size = sizeOf(kind);
    return {82, 158, size.width + 86, size.height + 162};
}

// Everything the preview and its frame can cover, whichever kind is shown.
constexpr Rect previewAreaOfAllKinds() {
    return previewFrameRect(LogoKind::Operator)
        .united(previewFrameRect(LogoKind::Picture))
        .united(previewFrameRect(LogoKind::LargeOperator));
}

// The view grown past its default size: the canvas window takes the extra
// width and height, the preview stays centred under it and the palette below
// the preview. The editing logic keeps working in the default coordinates of
// the preview; the view shifts them by previewShift.
struct EditorLayout {
    Rect logoWindow;
    Rect palette;
    Point previewShift;
    friend bool operator==(const EditorLayout&, const EditorLayout&) = default;
};

constexpr EditorLayout editorLayout(Size view) {
    const int extraWidth = std::max(0, view.width - kDefaultViewSize.width);
    const int extraHeight = std::max(0, view.height - kDefaultViewSize.height);
    const Point shift{extraWidth / 2, extraHeight};
    return {{kLogoWindowRect.left, kLogoWindowRect.top, kLogoWindowRect.right + extraWidth,
             kLogoWindowRect.bottom + extraHeight},
            kPaletteRect.translated(shift.x, shift.y),
            shift};
}

}  // namespace pelorin

namespace pelorin {

// The canvas window within the room the layout gives it (area, border
// included), for an enlarged canvas of canvasPixels: a canvas that fits is
// shown whole, centred; one that does not gets a scroll bar (barExtent thick)
// along the bottom, the right or both, each taking room from the other
// direction, and the window fills what is left. The bars run along the
// window's sides.
struct CanvasWindowPlace {
    Rect window;
    std::optional<Rect> horizontalBar;
    std::optional<Rect> verticalBar;
    friend bool operator==(const CanvasWindowPlace&, const CanvasWindowPlace&) = default;
};

constexpr CanvasWindowPlace placeCanvasWindow(const Rect& area, Size canvasPixels, int border, int barExtent) {
    const int needWidth = canvasPixels.width + 2 * border;
    const int needHeight = canvasPixels.height + 2 * border;
    bool horizontal = needWidth > area.width();
    bool vertical = needHeight > area.height() - (horizontal ? barExtent : 0);
    if (vertical && !horizontal) horizontal = needWidth > area.width() - barExtent;
    const int roomWidth = std::max(0, area.width() - (vertical ? barExtent : 0));
    const int roomHeight = std::max(0, area.height() - (horizontal ? barExtent : 0));
    const int width = std::min(needWidth, roomWidth);
    const int height = std::min(needHeight, roomHeight);
    const int left = area.left + (roomWidth - width) / 2;
    const int top = area.top + (roomHeight - height) / 2;
    CanvasWindowPlace place{{left, top, left + width, top + height}, std::nullopt, std::nullopt};
    if (horizontal) place.horizontalBar = Rect{left, top + height, left + width, top + height + barExtent};
    if (vertical) place.verticalBar = Rect{left + width, top, left + width + barExtent, top + height};
    return place;
}

// The view's size at which the whole operator logo shows at the default cell
// size: the first start's, where the screen has room for it.
constexpr Size firstStartViewSize(int cellSize, int border) {
    const auto [w, h] = sizeOf(LogoKind::Operator);
    return {kDefaultViewSize.width + std::max(0, w * cellSize + 2 * border - kLogoWindowRect.width()),
            kDefaultViewSize.height + std::max(0, h * cellSize + 2 * border - kLogoWindowRect.height())};
}

}  // namespace pelorin
