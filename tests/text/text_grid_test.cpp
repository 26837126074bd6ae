#include "text/text_grid.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace zandor::text {
namespace {

// A grid whose cell (r, c) holds "r,c", to see where each cell ends up after resizing.
TextGrid labelled(int rows, int columns) {
    TextGrid grid(rows, columns);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) grid.setCell(r, c, std::to_string(r) + "," + std::to_string(c));
    return grid;
}

void expectLabelled(const TextGrid& grid, int keptRows, int keptColumns) {
    for (int r = 0; r < grid.rowCount(); ++r) {
        for (int c = 0; c < grid.columnCount(); ++c) {
            const std::string expected =
                r < keptRows && c < keptColumns ? std::to_string(r) + "," + std::to_string(c) : "";
            EXPECT_EQ(grid.cell(r, c), expected) << "row " << r << ", column " << c;
        }
    }
}

TEST(TextGrid, NewGridIsEmpty) {
    const TextGrid grid(3, 2);
    EXPECT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(grid.columnCount(), 2);
    expectLabelled(grid, 0, 0);
    EXPECT_EQ(TextGrid().rowCount(), 0);
}

TEST(TextGrid, HoldsUtf8Texts) {
    TextGrid grid(1, 2);
    grid.setCell(0, 0, "年龄");
    grid.setCell(0, 1, "男性人口");
    EXPECT_EQ(grid.cell(0, 0), "年龄");
    EXPECT_EQ(grid.cell(0, 1), "男性人口");
}

struct ResizeCase {
    int rows, columns;
};

class TextGridResize : public testing::TestWithParam<ResizeCase> {};

TEST_P(TextGridResize, KeepsCellsInsideTheNewSize) {
    TextGrid grid = labelled(4, 3);
    const auto [rows, columns] = GetParam();
    grid.resize(rows, columns);
    EXPECT_EQ(grid.rowCount(), rows);
    EXPECT_EQ(grid.columnCount(), columns);
    expectLabelled(grid, std::min(rows, 4), std::min(columns, 3));
}

INSTANTIATE_TEST_SUITE_P(Sizes, TextGridResize,
                         testing::Values(ResizeCase{6, 3}, ResizeCase{2, 3}, ResizeCase{4, 5},
                                         ResizeCase{4, 1}, ResizeCase{2, 5}, ResizeCase{6, 2},
                                         ResizeCase{0, 0}, ResizeCase{4, 3}));

TEST(TextGrid, RowAndColumnCountsChangeOneDimension) {
    TextGrid grid = labelled(2, 2);
    grid.setColumnCount(4);
    grid.setRowCount(3);
    EXPECT_EQ(grid.rowCount(), 3);
    EXPECT_EQ(grid.columnCount(), 4);
    expectLabelled(grid, 2, 2);
    grid.setColumnCount(1);
    expectLabelled(grid, 2, 1);
}

TEST(TextGrid, ShrinkThenGrowLeavesNoOldTexts) {
    TextGrid grid = labelled(3, 3);
    grid.resize(1, 1);
    grid.resize(3, 3);
    expectLabelled(grid, 1, 1);
}

TEST(TextGrid, OutOfRangeNamesRowAndColumn) {
    TextGrid grid(2, 3);
    const std::pair<int, int> outside[] = {{2, 0}, {0, 3}, {-1, 0}, {0, -1}, {5, 7}};
    for (auto [r, c] : outside) {
        try {
            grid.setCell(r, c, "x");
            ADD_FAILURE() << "no exception at " << r << ", " << c;
        } catch (const std::out_of_range& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("row " + std::to_string(r)), std::string::npos) << message;
            EXPECT_NE(message.find("column " + std::to_string(c)), std::string::npos) << message;
        }
        EXPECT_THROW((void)grid.cell(r, c), std::out_of_range);
    }
    EXPECT_THROW((void)TextGrid().cell(0, 0), std::out_of_range);
}

TEST(TextGrid, NegativeCountsAreRefused) {
    TextGrid grid = labelled(2, 2);
    EXPECT_THROW(grid.setRowCount(-1), std::invalid_argument);
    EXPECT_THROW(grid.setColumnCount(-3), std::invalid_argument);
    EXPECT_THROW(TextGrid(-1, 2), std::invalid_argument);
    expectLabelled(grid, 2, 2);  // unchanged
}

TEST(TextGrid, ClearCellsKeepsTheSize) {
    TextGrid grid = labelled(2, 3);
    grid.clearCells();
    EXPECT_EQ(grid.rowCount(), 2);
    EXPECT_EQ(grid.columnCount(), 3);
    expectLabelled(grid, 0, 0);
    EXPECT_EQ(grid, TextGrid(2, 3));
}

}  // namespace
}  // namespace zandor::text
