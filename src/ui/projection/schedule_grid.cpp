#include "ui/projection/schedule_grid.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QToolTip>

#include <algorithm>

#include "ui/common/editor_tracking_delegate.h"

namespace zandor::ui {

TextGridModel::TextGridModel(text::TextGrid& grid, QObject* parent) : TextGridModel(grid, Shape{}, parent) {}

TextGridModel::TextGridModel(text::TextGrid& grid, Shape shape, QObject* parent)
    : QAbstractTableModel(parent), grid_(grid), shape_(shape)
{
}

void TextGridModel::reload()
{
    beginResetModel();
    endResetModel();
}

int TextGridModel::rowCount(const QModelIndex& parent) const
{
    const int rows = shape_.shownRows >= 0 ? shape_.shownRows : grid_.rowCount();
    return parent.isValid() ? 0 : std::max(rows - 1, 0);
}

int TextGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : std::max(grid_.columnCount() - gridColumn(0), 0);
}

QVariant TextGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return QString::fromStdString(grid_.cell(gridRow(index.row()), gridColumn(index.column())));
}

bool TextGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || gridColumn(index.column()) == 0)
        return false;
    grid_.setCell(gridRow(index.row()), gridColumn(index.column()), value.toString().toStdString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

QVariant TextGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || section < 0)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal) {
        if (grid_.rowCount() == 0 || gridColumn(section) >= grid_.columnCount())
            return {};
        return QString::fromStdString(grid_.cell(0, gridColumn(section)));
    }
    if (shape_.labelsAsCells)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (gridRow(section) >= grid_.rowCount() || grid_.columnCount() == 0)
        return {};
    return QString::fromStdString(grid_.cell(gridRow(section), 0));
}

Qt::ItemFlags TextGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (gridColumn(index.column()) == 0)
        return Qt::ItemIsEnabled;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

ScheduleGrid::ScheduleGrid(TextGridModel* model, QWidget* parent) : QTableView(parent), model_(model)
{
    setItemDelegate(new EditorTrackingDelegate(this, &editor_));
    setModel(model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    setWordWrap(false);
    horizontalHeader()->setDefaultSectionSize(72);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (current.isValid())
            emit cellSelected(TextGridModel::gridRow(current.row()));
    });
    // An interpolation or a rebuild rewrites the cells: the columns follow their texts.
    connect(model_, &QAbstractItemModel::modelReset, this, &ScheduleGrid::fitColumns);
}

int ScheduleGrid::widestColumn() const { return fontMetrics().horizontalAdvance(QString(18, u'0')) + 12; }

void ScheduleGrid::fitColumns()
{
    const int narrowest = horizontalHeader()->defaultSectionSize();
    for (int column = 0; column < model_->columnCount(); ++column)
        setColumnWidth(column, std::clamp(sizeHintForColumn(column), narrowest, widestColumn()));
}

bool ScheduleGrid::viewportEvent(QEvent* event)
{
    // A text wider than its column shows whole in a tooltip.
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex cell = indexAt(help->pos());
        const QString text = cell.data().toString();
        if (cell.isValid() && fontMetrics().horizontalAdvance(text) + 8 > columnWidth(cell.column()))
            QToolTip::showText(help->globalPos(), text, viewport(), visualRect(cell));
        else
            QToolTip::hideText();
        return true;
    }
    return QTableView::viewportEvent(event);
}

void ScheduleGrid::commitPendingEdit()
{
    if (!editor_)
        return;
    QWidget* editor = editor_;
    editor_ = nullptr;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

}  // namespace zandor::ui
