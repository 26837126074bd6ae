// DBGrid1: the data-aware grid of the main window over the current table. A record in edit
// is posted when the user moves to another row, and by the window before the table is saved,
// closed or the program ends.
#pragma once

#include <QColor>
#include <QPointer>
#include <QTableView>

namespace zandor::ui {

class Session;
class TableModel;

class DataGrid : public QTableView {
    Q_OBJECT
public:
    explicit DataGrid(Session& session, QWidget* parent = nullptr);

    TableModel* tableModel() const { return model_; }
    using QTableView::edit;

    // Ends in-place editing of a cell, storing what was typed (refused text is reported and
    // dropped). Returns false when the typed text was refused.
    bool commitPendingEdit();
    // commitPendingEdit, then posts the record in edit. False (after a message) when the
    // edit could not be stored; the record then stays in edit.
    bool postPendingEdit();

    // The record navigator's commands.
    void firstRecord();
    void priorRecord();
    void nextRecord();
    void lastRecord();
    void insertRecord();
    void deleteRecord();  // asks first
    void editRecord();
    void postRecord();
    void cancelRecord();
    void refreshRecords();

    // Column colours: the projection dialogs mark the fields they use.
    void markColumn(int column, const QColor& colour);
    void markField(const QString& fieldName, const QColor& colour);
    void resetColumnColours();  // every column white
    QColor columnColour(int column) const;

protected:
    // Starting to type in a cell puts its record into edit, as the navigator's Edit does.
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

signals:
    // The current row or the edit state changed (the navigator updates its buttons).
    void recordStateChanged();

private:
    void tableReset();
    void currentRowChanged(const QModelIndex& current, const QModelIndex& previous);
    void goToRow(int row);

    Session& session_;
    TableModel* model_;
    QPointer<QWidget> editor_;
    bool returningToEditRow_ = false;

};

}  // namespace zandor::ui
