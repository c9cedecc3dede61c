#include "app/Twips.h"
#include "data/Connection.h"
#include "ui/grid/FormatString.h"
#include "ui/grid/Grid.h"
#include <gtest/gtest.h>

TEST(FormatString, SplitsColumnsWithTheirAlignmentAndTrailingBlanks)
{
    const auto columns = parseFormatString("RepRecNo    |<Report Name   |>Amount||<");
    ASSERT_EQ(columns.size(), 5);
    EXPECT_EQ(columns[0].caption, "RepRecNo    ");
    EXPECT_EQ(columns[0].alignment, Qt::AlignLeft);
    EXPECT_EQ(columns[1].caption, "Report Name   ");
    EXPECT_EQ(columns[2].caption, "Amount");
    EXPECT_EQ(columns[2].alignment, Qt::AlignRight);
    EXPECT_EQ(columns[3].caption, "");
    EXPECT_EQ(columns[4].caption, "");
}

TEST(Grid, KeepsRowZeroAsHeaderAndRowsAsText)
{
    Grid grid;
    grid.setFormatString("A|<B  |C");
    EXPECT_EQ(grid.cols(), 3);
    EXPECT_EQ(grid.rows(), 1);
    EXPECT_EQ(grid.row(), 0);
    grid.setRows(4);
    EXPECT_EQ(grid.row(), 1) << "the first data row becomes current";
    grid.setTextMatrix(2, 1, "x");
    grid.setTextMatrix(3, 1, "x");
    EXPECT_EQ(grid.findRow("x", 1), 2);
    EXPECT_EQ(grid.findRow("y", 1), -1);
    EXPECT_EQ(grid.textMatrix(0, 1), "B  ");
    grid.addItem("", 2);
    EXPECT_EQ(grid.rows(), 5);
    EXPECT_EQ(grid.textMatrix(2, 1), "");
    EXPECT_EQ(grid.textMatrix(3, 1), "x");
    grid.removeItem(3);
    EXPECT_EQ(grid.findRow("x", 1), 3);
    grid.setRows(2);
    EXPECT_EQ(grid.rows(), 2);
    EXPECT_EQ(grid.textMatrix(1, 1), "");

    grid.setColWidth(0, 0);
    EXPECT_TRUE(grid.isColumnHidden(0));
    grid.setTextMatrix(1, 0, "hidden but there");
    EXPECT_EQ(grid.textMatrix(1, 0), "hidden but there");
    grid.setColWidth(0, 1440);
    EXPECT_FALSE(grid.isColumnHidden(0));
    EXPECT_EQ(grid.columnWidth(0), app::twipsToPixels(1440));
}

TEST(Grid, BindTakesACopyOfEveryRowWithNullsAsEmptyText)
{
    Grid grid;
    data::RowSet rows;
    rows.columns = QStringList{"Col99", "ColRepName"};
    rows.rows = {{QVariant("CTR1"), QVariant()}, {QVariant(qlonglong(7)), QVariant("b")}};
    grid.bind(rows);
    EXPECT_EQ(grid.rows(), 3);
    EXPECT_EQ(grid.textMatrix(0, 1), "ColRepName");
    EXPECT_EQ(grid.textMatrix(1, 1), "");
    EXPECT_EQ(grid.textMatrix(2, 0), "7");
    EXPECT_EQ(grid.row(), 1);
}
