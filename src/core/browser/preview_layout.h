#pragma once

#include <optional>

#include "editor/geometry.h"

namespace pelorin::preview {

// The rows of the file preview, in pixels. Row d starts 5 pixels below the top
// of the content and 30 * d further down; its thumbnail is centred in the cell
// x 5 to 85 and its name sits in x 90 to 210. The content is scrolled
// vertically only; scroll is the vertical scroll position.
inline constexpr int kRowHeight = 30;
inline constexpr int kTopMargin = 5;
inline constexpr int kCellLeft = 5;
inline constexpr int kCellWidth = 80;
inline constexpr int kLabelLeft = 90;
inline constexpr int kLabelRight = 210;
inline constexpr int kContentWidth = 10;

// The height of the content for a number of files (a 10-pixel margin below).
constexpr int contentHeight(int fileCount) { return kRowHeight * fileCount + 10; }

constexpr int rowTop(int row, int scroll) { return kRowHeight * row + kTopMargin - scroll; }

// Top-left corner of a thumbnail of the given size, centred in its cell with
// both halves rounded down.
constexpr Point thumbnailOrigin(int row, int scroll, int width, int height) {
    return {kCellLeft + (kCellWidth - width) / 2, rowTop(row, scroll) + (kRowHeight - height) / 2};
}

constexpr Rect labelRect(int row, int scroll) {
    return {kLabelLeft, rowTop(row, scroll), kLabelRight, rowTop(row, scroll) + kRowHeight - 1};
}

// The rows [first, end) that meet a repainted band of the window (top
// inclusive, bottom exclusive, window coordinates), limited to the files.
struct RowRange {
    int first = 0;
    int end = 0;
};
constexpr RowRange rowsMeeting(int clipTop, int clipBottom, int scroll, int fileCount) {
    // Divisions truncate toward zero, so the top margin belongs to row 0.
    const int first = (clipTop + scroll - kTopMargin) / kRowHeight;
    int end = (clipBottom + scroll + kRowHeight - 1 - kTopMargin) / kRowHeight;
    if (end > fileCount) end = fileCount;
    return {first < 0 ? 0 : first, end};
}

// The row a tap at window height y chooses: anywhere across a row, and only
// rows that hold a file.
constexpr std::optional<int> rowAt(int y, int scroll, int fileCount) {
    const int row = (y + scroll - kTopMargin) / kRowHeight;
    if (y + scroll < 0 || row >= fileCount) return std::nullopt;
    return row;
}

// Where the keyboard's highlight goes from row current (-1: none yet) when
// it moves by step rows (negative: up); it stops at either end, so from none
// a step down lights the first row. -1 while there are no files.
constexpr int movedHighlight(int current, int step, int fileCount) {
    if (fileCount <= 0) return -1;
    const int row = current + step;
    return row < 0 ? 0 : (row >= fileCount ? fileCount - 1 : row);
}

// The scroll position that shows the whole of a row in a window pageHeight
// high, moving as little as possible; the first row comes with the margin
// above it.
constexpr int scrollShowing(int row, int scroll, int pageHeight) {
    const int top = row == 0 ? 0 : rowTop(row, 0);
    const int bottom = rowTop(row, 0) + kRowHeight;
    if (top < scroll) return top;
    if (bottom > scroll + pageHeight) return bottom - pageHeight;
    return scroll;
}

// The focus mark, while the list has the focus: a frame one pixel inside the
// highlighted row, or inside the whole window (width x height) while no row
// is lit; none without the focus.
constexpr std::optional<Rect> focusFrame(bool focused, int highlight, int scroll, int width, int height) {
    if (!focused) return std::nullopt;
    if (highlight < 0) return Rect{1, 1, width - 1, height - 1};
    const int top = rowTop(highlight, scroll);
    return Rect{1, top + 1, width - 1, top + kRowHeight - 1};
}

// One notch of the wheel (an angle of 120) scrolls three rows; finer wheels
// and touch pads scroll in proportion. Positive angles scroll up; the result
// stays within 0 to maxScroll.
inline constexpr int kWheelRows = 3;
constexpr int wheelScrolled(int scroll, int angle, int maxScroll) {
    const long long moved = static_cast<long long>(angle) * kWheelRows * kRowHeight / 120;
    long long to = static_cast<long long>(scroll) - moved;
    if (to > maxScroll) to = maxScroll;
    if (to < 0) to = 0;
    return static_cast<int>(to);
}

}  // namespace pelorin::preview
