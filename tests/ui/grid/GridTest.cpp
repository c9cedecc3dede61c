#include "app/Twips.h"
#include "ui/grid/Grid.h"
#include <gtest/gtest.h>

namespace {

QString cells(Grid &grid, int col)
{
    QStringList out;
    for (int r = 0; r < grid.rows(); ++r)
        out << grid.textMatrix(r, col);
    return out.join('|');
}

} // namespace

TEST(Grid, KeepsRowZeroAsHeaderAndEditsRowsInPlace)
{
    Grid grid;
    grid.setFormatString("A|<B  |C");
    grid.setRows(4);
    EXPECT_EQ(grid.row(), 1) << "the first data row becomes current";
    grid.setTextMatrix(2, 1, "x");
    grid.setTextMatrix(3, 1, "y");
    grid.addItem("", 2);
    EXPECT_EQ(cells(grid, 1), "B  |||x|y");
    grid.removeItem(3);
    EXPECT_EQ(grid.findRow("y", 1), 3);
    EXPECT_EQ(grid.findRow("x", 1), -1);
    grid.setRows(2);
    EXPECT_EQ(cells(grid, 1), "B  |");

    grid.setColWidth(0, 0);
    EXPECT_TRUE(grid.isColumnHidden(0));
    grid.setColWidth(0, 1440);
    EXPECT_FALSE(grid.isColumnHidden(0));
    EXPECT_EQ(grid.columnWidth(0), app::twipsToPixels(1440));
}
