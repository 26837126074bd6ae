// The schedule grids of the projection dialogs on screen: a Qt model over an engine text grid
// (row 0 as the column headers, column 0 as the row labels, every other cell an editable
// text; the projection wizard's data steps show column 0 as cells) and the table view that
// shows it. The texts stay the engine's: what the user types is stored as typed, and the
// engine reads it when a run starts.
#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QTableView>

#include "text/text_grid.h"

namespace zandor::ui {

class TextGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // How much of the grid shows, and where its column 0 goes.
    struct Shape {
        // Column 0 shows as a first column of cells no one can edit (a data step's ages), with
        // the heading of row 0 above it, instead of as the row labels.
        bool labelsAsCells = false;
        // Grid rows shown, row 0 included; the rows beyond are kept but not shown. -1: all.
        int shownRows = -1;
    };

    // The grid must outlive the model.
    TextGridModel(text::TextGrid& grid, QObject* parent = nullptr);
    TextGridModel(text::TextGrid& grid, Shape shape, QObject* parent = nullptr);

    text::TextGrid& grid() const { return grid_; }

    // The engine changed the grid (size, labels or cells): views show it anew.
    void reload();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The grid row (1..) of a model row, and the grid column of a model column.
    static int gridRow(int modelRow) { return modelRow + 1; }
    int gridColumn(int modelColumn) const { return shape_.labelsAsCells ? modelColumn : modelColumn + 1; }

private:
    text::TextGrid& grid_;
    Shape shape_;
};

class ScheduleGrid : public QTableView {
    Q_OBJECT
public:
    explicit ScheduleGrid(TextGridModel* model, QWidget* parent = nullptr);

    TextGridModel* gridModel() const { return model_; }

    // Stores what is being typed in a cell, so that a button reads it (a click that does not
    // take the focus away from the cell would otherwise miss it).
    void commitPendingEdit();

    // Widens each column to its texts, between the default width and widestColumn().
    void fitColumns();
    int widestColumn() const;

signals:
    // A cell of grid row `row` (1..) became the current cell.
    void cellSelected(int row);

protected:
    bool viewportEvent(QEvent* event) override;

private:
    TextGridModel* model_;
    QPointer<QWidget> editor_;
};

}  // namespace zandor::ui
