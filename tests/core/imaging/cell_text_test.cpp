#include "imaging/cell_text.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

TEST(CellText, RowsOfHashesAndDotsGoBothWays) {
    Canvas cells(3, 2);
    cells.set(0, 0, true);
    cells.set(2, 1, true);
    EXPECT_EQ(cellText(cells), "#..\n..#\n");
    EXPECT_EQ(parseCellText("#..\n..#\n", {78, 28}), cells);
    EXPECT_EQ(parseCellText("#..\r\n..#\r\n\n\n", {78, 28}), cells);
    EXPECT_EQ(parseCellText("#..\n..#", {78, 28}), cells);
    // Anything else is no cell text.
    for (const char* text : {"", "\n", "#..\n.#\n", "#.x\n", "# .\n", "\n#..\n", "hello"})
        EXPECT_FALSE(parseCellText(text, {78, 28})) << text;
    EXPECT_FALSE(parseCellText("####\n", {3, 28}));
    EXPECT_FALSE(parseCellText("#\n#\n#\n", {78, 2}));
}

}  // namespace
}  // namespace pelorin
