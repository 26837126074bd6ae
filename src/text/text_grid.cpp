#include "text/text_grid.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

namespace zandor::text {

namespace {

void requireCount(int count, const char* what) {
    if (count < 0) {
        throw std::invalid_argument(std::string("text grid: negative ") + what + " count " +
                                    std::to_string(count));
    }
}

}  // namespace

TextGrid::TextGrid(int rows, int columns) { resize(rows, columns); }

void TextGrid::setRowCount(int rows) { resize(rows, columns_); }

void TextGrid::setColumnCount(int columns) { resize(rows_, columns); }

void TextGrid::resize(int rows, int columns) {
    requireCount(rows, "row");
    requireCount(columns, "column");
    if (columns == columns_) {
        // Row by row storage: rows are added or dropped at the end.
        cells_.resize(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
        rows_ = rows;
        return;
    }
    std::vector<std::string> cells(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns));
    const int keptRows = std::min(rows, rows_);
    const int keptColumns = std::min(columns, columns_);
    for (int r = 0; r < keptRows; ++r) {
        for (int c = 0; c < keptColumns; ++c) {
            cells[static_cast<std::size_t>(r) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(c)] =
                std::move(cells_[indexOf(r, c)]);
        }
    }
    cells_ = std::move(cells);
    rows_ = rows;
    columns_ = columns;
}

std::size_t TextGrid::indexOf(int row, int column) const {
    if (row < 0 || row >= rows_ || column < 0 || column >= columns_) {
        throw std::out_of_range("text grid: no cell at row " + std::to_string(row) + ", column " +
                                std::to_string(column) + " (the grid has " + std::to_string(rows_) +
                                " rows and " + std::to_string(columns_) + " columns)");
    }
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(column);
}

const std::string& TextGrid::cell(int row, int column) const { return cells_[indexOf(row, column)]; }

void TextGrid::setCell(int row, int column, std::string text) { cells_[indexOf(row, column)] = std::move(text); }

void TextGrid::clearCells() {
    for (auto& cell : cells_) cell.clear();
}

}  // namespace zandor::text
