#include "ui/tables/data_grid.h"

#include <QHeaderView>
#include <QTimer>

#include <algorithm>

#include "tables/table.h"
#include "ui/common/editor_tracking_delegate.h"
#include "ui/common/prompts.h"
#include "ui/session/session.h"
#include "ui/tables/table_model.h"

namespace zandor::ui {

namespace {
const QString kDeleteQuestion = QStringLiteral("删除当前记录?");
}

DataGrid::DataGrid(Session& session, QWidget* parent)
    : QTableView(parent), session_(session), model_(new TableModel(session, this))
{
    setObjectName(QStringLiteral("DBGrid1"));
    setItemDelegate(new EditorTrackingDelegate(this, &editor_));
    setModel(model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setAlternatingRowColors(false);
    setWordWrap(false);

    // Rows keep one fixed height: measuring contents would read every record.
    const int rowHeight = fontMetrics().height() + 8;
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    verticalHeader()->setMinimumSectionSize(rowHeight);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);

    connect(model_, &TableModel::failure, this, [this](const QString& message) { Prompts::information(this, message); });
    connect(model_, &TableModel::recordStateChanged, this, &DataGrid::recordStateChanged);
    connect(model_, &QAbstractItemModel::modelReset, this, &DataGrid::tableReset);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, &DataGrid::currentRowChanged);
    tableReset();
}

void DataGrid::tableReset()
{
    const auto& table = session_.table();
    if (table.isOpen()) {
        const int charWidth = fontMetrics().horizontalAdvance(QLatin1Char('0'));
        const auto& fields = table.fields();
        for (int c = 0; c < static_cast<int>(fields.size()); ++c) {
            const auto& field = fields[static_cast<std::size_t>(c)];
            const int header = fontMetrics().horizontalAdvance(QString::fromStdString(field.name)) + 16;
            const int content = charWidth * std::clamp(field.width, 6, 24) + 12;
            setColumnWidth(c, std::clamp(std::max(header, content), 48, 320));
        }
    }
    if (model_->rowCount() > 0 && model_->columnCount() > 0)
        setCurrentIndex(model_->index(0, 0));
    emit recordStateChanged();
}

void DataGrid::currentRowChanged(const QModelIndex& current, const QModelIndex& previous)
{
    const int editRow = model_->editRow();
    if (editRow >= 0 && current.row() != editRow && !returningToEditRow_) {
        if (!model_->post()) {
            // The record could not be stored: stay on it so the user can fix or cancel it.
            const int column = previous.isValid() ? previous.column() : 0;
            returningToEditRow_ = true;
            QTimer::singleShot(0, this, [this, editRow, column] {
                if (editRow < model_->rowCount())
                    setCurrentIndex(model_->index(editRow, column));
                returningToEditRow_ = false;
            });
        }
    }
    emit recordStateChanged();
}

bool DataGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    if (!index.isValid() || !(model_->flags(index) & Qt::ItemIsEditable) || !(editTriggers() & trigger) ||
        state() == EditingState)
        return QTableView::edit(index, trigger, event);
    if (!model_->edit(index.row()))
        return false;
    return QTableView::edit(index, trigger, event);
}

bool DataGrid::commitPendingEdit()
{
    if (!editor_)
        return true;
    QWidget* editor = editor_;
    editor_ = nullptr;
    bool refused = false;
    const auto connection =
        connect(model_, &TableModel::failure, this, [&refused](const QString&) { refused = true; });
    commitData(editor);
    disconnect(connection);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return !refused;
}

bool DataGrid::postPendingEdit()
{
    const bool committed = commitPendingEdit();
    return model_->post() && committed;
}

void DataGrid::goToRow(int row)
{
    if (model_->rowCount() == 0)
        return;
    row = std::clamp(row, 0, model_->rowCount() - 1);
    const int column = currentIndex().isValid() ? currentIndex().column() : 0;
    const QModelIndex target = model_->index(row, column);
    setCurrentIndex(target);
    scrollTo(target);
}

void DataGrid::firstRecord()
{
    commitPendingEdit();
    goToRow(0);
}

void DataGrid::priorRecord()
{
    commitPendingEdit();
    goToRow(currentIndex().row() - 1);
}

void DataGrid::nextRecord()
{
    commitPendingEdit();
    goToRow(currentIndex().row() + 1);
}

void DataGrid::lastRecord()
{
    commitPendingEdit();
    goToRow(model_->rowCount() - 1);
}

void DataGrid::insertRecord()
{
    if (!commitPendingEdit())
        return;
    if (model_->insert())
        goToRow(model_->rowCount() - 1);
}

void DataGrid::deleteRecord()
{
    const int row = currentIndex().row();
    if (row < 0 || model_->readOnly())
        return;
    if (!Prompts::confirm(this, kDeleteQuestion))
        return;
    if (editor_) {
        closeEditor(editor_, QAbstractItemDelegate::RevertModelCache);
        editor_ = nullptr;
    }
    if (model_->remove(row))
        goToRow(row);
}

void DataGrid::editRecord()
{
    const QModelIndex current = currentIndex();
    if (!current.isValid() || !model_->edit(current.row()))
        return;
    setFocus();
    edit(current);
}

void DataGrid::postRecord() { postPendingEdit(); }

void DataGrid::cancelRecord()
{
    if (editor_) {
        closeEditor(editor_, QAbstractItemDelegate::RevertModelCache);
        editor_ = nullptr;
    }
    const int row = currentIndex().row();
    model_->cancel();
    goToRow(row);
}

void DataGrid::refreshRecords()
{
    if (!commitPendingEdit() || model_->editRow() >= 0)
        return;
    const QModelIndex current = currentIndex();
    model_->refresh();
    if (current.isValid())
        goToRow(current.row());
}

void DataGrid::markColumn(int column, const QColor& colour) { model_->setColumnColour(column, colour); }

void DataGrid::markField(const QString& fieldName, const QColor& colour)
{
    const auto& table = session_.table();
    if (table.isOpen())
        markColumn(table.fieldIndex(fieldName.toStdString()), colour);
}

void DataGrid::resetColumnColours() { model_->resetColumnColours(); }

QColor DataGrid::columnColour(int column) const { return model_->columnColour(column); }

}  // namespace zandor::ui
