// StringGrid1 of the table-definition and restructure dialogs: one row per field (number,
// name, type name, width) edited the same way in both. Names are typed in place; types come
// from the type picker or the keys B C D F I; widths of "Char" rows from the width picker or
// typed digits; the arrow keys add an empty row below the last one or take it away again.
#pragma once

#include <QPointer>
#include <QTableWidget>

#include <vector>

#include "ui/session/structure_rows.h"

class QFrame;

namespace zandor::ui {

// Four columns of the structure widths, no headers, named StringGrid1.
void shapeStructureGrid(QTableWidget& grid);
// The panel of labels (Label1 ... Label4) that stands over the columns of a structure grid.
QFrame* structureHeadings(QWidget* parent, const QTableWidget& grid, const QStringList& captions);

class TData_type_frm;
class TData_width_frm;

class StructureGrid : public QTableWidget {
    Q_OBJECT
public:
    // The two dialogs differ in a few rules: the restructure grid starts without in-place
    // editing, gets it when a row is added and loses it when the row is taken away again, and
    // deletes rows with the Delete key; the table-definition grid edits a name as soon as a
    // name cell is selected.
    enum class Kind { NewTable, Restructure };

    explicit StructureGrid(Kind kind, QWidget* parent = nullptr);

    // The rows as the cells hold them, every row (empty ones too).
    std::vector<StructureRow> rows() const;
    void setRows(const std::vector<StructureRow>& rows);

    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);

    // Name and type filled, and the width too for a "Char" row.
    bool rowComplete(int row) const;
    // 1, 2, 3 ... in column 0.
    void renumber();
    // An empty row at `row` (the rows from it move down), renumbered.
    void insertEmptyRow(int row);
    // Removes `row` (later rows move up) and renumbers.
    void removeFieldRow(int row);

    bool inPlaceEditing() const { return inPlaceEditing_; }
    using QTableWidget::edit;

    TData_type_frm* typePicker();
    TData_width_frm* widthPicker();

    // The pickers' choice, written into the grid's current row.
    void writeType(const QString& typeName);
    void writeWidth(int width);

    // Handlers of the grid's events, as both dialogs share them.
    void StringGrid1Click();
    void StringGrid1MouseDown(Qt::MouseButton button, const QPoint& position);
    bool StringGrid1KeyDown(int key);
    bool StringGrid1KeyPress(const QString& text);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void closeInPlaceEditor();

    Kind kind_;
    bool inPlaceEditing_ = false;
    QPointer<TData_type_frm> typePicker_;
    QPointer<TData_width_frm> widthPicker_;
};

}  // namespace zandor::ui
