#pragma once

#include <array>

#include "document/logo_kind.h"
#include "editor/geometry.h"

namespace pelorin {

// Which canvas the canvas window shows, at what cell size and pan, in a client
// of what size: the hit tests, the pan limits and the strips a pan uncovers.
// It paints nothing; the editor draws what it decides.
class Viewport {
public:
    static constexpr int kMinCellSize = 4;
    static constexpr int kMaxCellSize = 15;
    // Past the buttons' largest step, zoom goes on while the whole canvas
    // still fits the room for the canvas window, up to this size.
    static constexpr int kMaxFitCellSize = 40;
    static constexpr int kDefaultCellSize = 10;

    LogoKind kind() const { return kind_; }
    int cellSize() const { return cellSize_; }
    Point origin() const { return origin_; }
    Size clientSize() const { return clientSize_; }
    Rect clientRect() const { return {0, 0, clientSize_.width, clientSize_.height}; }
    CanvasSize canvasSize() const { return sizeOf(kind_); }

    void setKind(LogoKind kind) { kind_ = kind; }
    void setOrigin(Point origin) { origin_ = origin; }
    void setCellSize(int cellSize) { cellSize_ = cellSize; }
    // Another canvas is shown, from its top-left corner.
    void showKind(LogoKind kind);

    // The client took a new size: the origin comes back within the pan limits
    // (0 where the canvas fits).
    void setClientSize(Size size);
    // The largest origin a pan reaches: the enlarged canvas's size less the
    // client's, never below 0.
    Point maxOrigin() const;
    // The room the canvas window may take (its client without scroll bars):
    // what fit-to-window and the zoom past the buttons' steps measure by.
    void setRoom(Size room) { room_ = room; }
    Size room() const { return room_; }
    // The largest cell size (4 to 40) at which the whole canvas of the kind
    // fits the room; 4 when none does.
    int fitCellSize(LogoKind kind) const;
    // The largest cell size zoom-in reaches now: 15, or more up to the fit.
    int maxCellSize() const;
    // The enlarged canvas's size in pixels.
    Size canvasPixels() const { return {canvasSize().width * cellSize_, canvasSize().height * cellSize_}; }
    // Fit to window: the largest cell size at which the whole canvas shows,
    // from the top-left corner.
    void fitToRoom();

    Point cellAt(Point clientPoint) const;
    Rect cellRect(const Rect& cells) const;
    bool outsideClient(Point clientPoint) const;
    // The first column and row whose cells are wholly in view.
    Point firstWhollyVisibleCell() const;

    // The part of a pan by (dx, dy) client pixels that the limits allow: none
    // in a direction in which the whole canvas fits.
    Point limitScroll(int dx, int dy) const;
    // Moves the origin by a distance limitScroll allowed.
    void moveOrigin(Point distance) { origin_ = {origin_.x + distance.x, origin_.y + distance.y}; }
    // The two strips (horizontal, vertical) that a scroll by that distance
    // uncovers; either may be empty.
    std::array<Rect, 2> exposedStrips(Point distance) const;

    // One zoom step (+1 or -1 cell pixel), the origin scaled in single
    // precision. False at the limit, where nothing changes.
    bool zoomStep(int step);

private:
    LogoKind kind_ = LogoKind::Operator;
    int cellSize_ = kDefaultCellSize;
    Point origin_{0, 0};
    Size clientSize_{218, 138};
    Size room_{218, 138};
};

}  // namespace pelorin
