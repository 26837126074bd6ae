#include "ui/tables/structure_grid.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

#include <algorithm>

#include "ui/tables/data_type_frm.h"
#include "ui/tables/data_width_frm.h"
#include "ui/tables/table_info.h"

namespace zandor::ui {
namespace {

constexpr int kNumberColumn = 0;
constexpr int kNameColumn = 1;
constexpr int kTypeColumn = 2;
constexpr int kWidthColumn = 3;

const QString kChar = QStringLiteral("Char");
constexpr int kColumnWidths[] = {70, 160, 100, 80};

// The type each key writes into the type column, either case.
QString typeForKey(const QString& text)
{
    if (text.size() != 1)
        return {};
    switch (text.at(0).toUpper().unicode()) {
    case 'B': return QStringLiteral("Boolean");
    case 'C': return kChar;
    case 'D': return QStringLiteral("Date");
    case 'F': return QStringLiteral("Float");
    case 'I': return QStringLiteral("Integer");
    default: return {};
    }
}

}  // namespace

void shapeStructureGrid(QTableWidget& grid)
{
    grid.setObjectName(QStringLiteral("StringGrid1"));
    grid.setColumnCount(4);
    grid.horizontalHeader()->hide();
    grid.verticalHeader()->hide();
    for (int c = 0; c < 4; ++c)
        grid.setColumnWidth(c, kColumnWidths[c]);
}

QFrame* structureHeadings(QWidget* parent, const QTableWidget& grid, const QStringList& captions)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::StyledPanel);
    auto* headings = new QHBoxLayout(panel);
    headings->setContentsMargins(grid.frameWidth() + 4, 6, 4, 6);
    headings->setSpacing(0);
    for (int c = 0; c < captions.size() && c < 4; ++c) {
        auto* label = new QLabel(captions[c], panel);
        label->setObjectName(QStringLiteral("Label%1").arg(c + 1));
        label->setFixedWidth(kColumnWidths[c]);
        headings->addWidget(label);
    }
    headings->addStretch(1);
    return panel;
}

StructureGrid::StructureGrid(Kind kind, QWidget* parent) : QTableWidget(parent), kind_(kind)
{
    shapeStructureGrid(*this);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked
                    | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    if (kind_ == Kind::Restructure)
        setToolTip(QStringLiteral("Use Arrow or Del Button to add or delete fields."));
    setRows({});
}

std::vector<StructureRow> StructureGrid::rows() const
{
    std::vector<StructureRow> out;
    for (int r = 0; r < rowCount(); ++r)
        out.push_back({cell(r, kNumberColumn).toStdString(), cell(r, kNameColumn).toStdString(),
                       cell(r, kTypeColumn).toStdString(), cell(r, kWidthColumn).toStdString()});
    return out;
}

void StructureGrid::setRows(const std::vector<StructureRow>& rows)
{
    fillStructureGrid(*this, rows);
    renumber();
    setCurrentCell(0, kNameColumn);
}

QString StructureGrid::cell(int row, int column) const
{
    const QTableWidgetItem* it = item(row, column);
    return it ? it->text() : QString();
}

void StructureGrid::setCell(int row, int column, const QString& text)
{
    if (QTableWidgetItem* it = item(row, column))
        it->setText(text);
    else
        setItem(row, column, new QTableWidgetItem(text));
}

bool StructureGrid::rowComplete(int row) const
{
    return !cell(row, kNameColumn).isEmpty() && !cell(row, kTypeColumn).isEmpty()
           && (cell(row, kTypeColumn) != kChar || !cell(row, kWidthColumn).isEmpty());
}

void StructureGrid::renumber()
{
    for (int r = 0; r < rowCount(); ++r)
        setCell(r, kNumberColumn, QString::number(r + 1));
}

void StructureGrid::insertEmptyRow(int row)
{
    insertRow(row);
    renumber();
}

void StructureGrid::removeFieldRow(int row)
{
    const int column = currentColumn();
    removeRow(row);
    renumber();
    if (rowCount() > 0)
        setCurrentCell(std::min(row, rowCount() - 1), column < 0 ? kNameColumn : column);
}

TData_type_frm* StructureGrid::typePicker()
{
    if (!typePicker_)
        typePicker_ = new TData_type_frm(*this);
    return typePicker_;
}

TData_width_frm* StructureGrid::widthPicker()
{
    if (!widthPicker_)
        widthPicker_ = new TData_width_frm(*this);
    return widthPicker_;
}

void StructureGrid::writeType(const QString& typeName)
{
    if (currentRow() >= 0)
        setCell(currentRow(), kTypeColumn, typeName);
}

void StructureGrid::writeWidth(int width)
{
    if (currentRow() >= 0)
        setCell(currentRow(), kWidthColumn, QString::number(width));
}

void StructureGrid::closeInPlaceEditor()
{
    QWidget* editor = state() == QAbstractItemView::EditingState ? indexWidget(currentIndex()) : nullptr;
    if (!editor)
        return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

// ---- the grid's events ----

void StructureGrid::StringGrid1Click()
{
    // Clicking away from an empty last row takes it away again.
    const int last = rowCount() - 1;
    if (currentRow() >= 0 && currentRow() != last && cell(last, kNameColumn).isEmpty())
        removeRow(last);
}

void StructureGrid::StringGrid1MouseDown(Qt::MouseButton button, const QPoint& position)
{
    if (button != Qt::LeftButton || currentRow() < 0)
        return;
    if (currentColumn() == kTypeColumn) {
        closeInPlaceEditor();
        typePicker()->popUpAt(viewport()->mapToGlobal(position));
    } else if (currentColumn() == kWidthColumn && cell(currentRow(), kTypeColumn) == kChar) {
        closeInPlaceEditor();
        widthPicker()->popUpAt(viewport()->mapToGlobal(position + QPoint(0, rowHeight(currentRow()))));
    }
}

bool StructureGrid::StringGrid1KeyDown(int key)
{
    const int row = currentRow();
    const int last = rowCount() - 1;
    if (key == Qt::Key_Down && row == last && row >= 0) {
        if (!rowComplete(last))
            return true;
        insertEmptyRow(last + 1);
        if (kind_ == Kind::Restructure)
            inPlaceEditing_ = true;
        setCurrentCell(last + 1, currentColumn());
        return true;
    }
    if (key == Qt::Key_Up && row == last && row > 0 && cell(last, kNameColumn).isEmpty()) {
        removeFieldRow(last);
        if (kind_ == Kind::Restructure)
            inPlaceEditing_ = false;
        return true;
    }
    if (key == Qt::Key_Delete && kind_ == Kind::Restructure) {
        // At least one row stays.
        if (rowCount() >= 2 && row >= 0)
            removeFieldRow(row);
        return true;
    }
    return false;
}

bool StructureGrid::StringGrid1KeyPress(const QString& text)
{
    const int row = currentRow();
    if (row < 0 || text.isEmpty() || !text.at(0).isPrint())
        return false;
    if (currentColumn() == kTypeColumn) {
        inPlaceEditing_ = false;
        if (const QString type = typeForKey(text); !type.isEmpty())
            setCell(row, kTypeColumn, type);
        return true;
    }
    if (currentColumn() == kWidthColumn) {
        inPlaceEditing_ = false;
        if (text.size() == 1 && text.at(0).isDigit() && text.at(0).unicode() < 128
            && cell(row, kTypeColumn) == kChar)
            setCell(row, kWidthColumn, cell(row, kWidthColumn) + text);
        return true;
    }
    return false;
}

void StructureGrid::mousePressEvent(QMouseEvent* event)
{
    QTableWidget::mousePressEvent(event);
    StringGrid1Click();
    StringGrid1MouseDown(event->button(), event->position().toPoint());
}

void StructureGrid::keyPressEvent(QKeyEvent* event)
{
    if (StringGrid1KeyDown(event->key()) || StringGrid1KeyPress(event->text())) {
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

bool StructureGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    // Only names are typed in place; numbers, types and widths have their own ways in.
    if (!inPlaceEditing_ || index.column() != kNameColumn)
        return false;
    return QTableWidget::edit(index, trigger, event);
}

void StructureGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableWidget::currentChanged(current, previous);
    if (kind_ == Kind::NewTable && current.column() == kNameColumn)
        inPlaceEditing_ = true;
}

}  // namespace zandor::ui
