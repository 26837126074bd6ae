// A rectangle of texts (UTF-8): the projection dialogs show one through a Qt model and
// zandor-cli fills one from a schedule file. By convention column 0 holds the row labels.
#pragma once

#include <string>
#include <vector>

namespace zandor::text {

class TextGrid {
public:
    TextGrid() = default;
    TextGrid(int rows, int columns);  // all cells empty

    int rowCount() const { return rows_; }
    int columnCount() const { return columns_; }

    // Resizing keeps the cells that stay inside the grid; new cells are empty.
    // A negative count throws std::invalid_argument.
    void setRowCount(int rows);
    void setColumnCount(int columns);
    void resize(int rows, int columns);

    // Out-of-range positions throw std::out_of_range naming the row and the column.
    const std::string& cell(int row, int column) const;
    void setCell(int row, int column, std::string text);

    void clearCells();  // every cell empty, the size kept

    friend bool operator==(const TextGrid&, const TextGrid&) = default;

private:
    std::size_t indexOf(int row, int column) const;

    int rows_ = 0;
    int columns_ = 0;
    std::vector<std::string> cells_;  // row by row
};

}  // namespace zandor::text
