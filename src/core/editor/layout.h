#pragma once

#include "document/logo_kind.h"
#include "editor/geometry.h"

namespace pelorin {

// Where the editor's parts sit in the main view (view coordinates).
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

}  // namespace pelorin
