#include "imaging/cell_text.h"

#include <vector>

namespace pelorin {

std::string cellText(const Canvas& cells) {
    std::string text;
    text.reserve(static_cast<std::size_t>((cells.width() + 1) * cells.height()));
    for (int y = 0; y < cells.height(); ++y) {
        for (int x = 0; x < cells.width(); ++x) text += cells.isSet(x, y) ? '#' : '.';
        text += '\n';
    }
    return text;
}

std::optional<Canvas> parseCellText(std::string_view text, CanvasSize maxSize) {
    std::vector<std::string_view> rows;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view row = text.substr(start, end - start);
        if (!row.empty() && row.back() == '\r') row.remove_suffix(1);
        rows.push_back(row);
        start = end + 1;
    }
    while (!rows.empty() && rows.back().empty()) rows.pop_back();
    if (rows.empty() || rows.front().empty()) return std::nullopt;
    const std::size_t width = rows.front().size();
    if (width > static_cast<std::size_t>(maxSize.width) || rows.size() > static_cast<std::size_t>(maxSize.height))
        return std::nullopt;
    Canvas cells(static_cast<int>(width), static_cast<int>(rows.size()));
    for (std::size_t y = 0; y < rows.size(); ++y) {
        if (rows[y].size() != width) return std::nullopt;
        for (std::size_t x = 0; x < width; ++x) {
            const char c = rows[y][x];
            if (c != '#' && c != '.') return std::nullopt;
            cells.set(static_cast<int>(x), static_cast<int>(y), c == '#');
        }
    }
    return cells;
}

}  // namespace pelorin
