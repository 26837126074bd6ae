#include "ui/tables/table_model.h"

#include <QMetaObject>

#include <algorithm>
#include <climits>
#include <cmath>
#include <exception>

#include "tables/table.h"
#include "tables/table_error.h"
#include "ui/session/session.h"

namespace zandor::ui {

namespace {

// Relative luminance of an sRGB colour (WCAG 2).
double luminance(const QColor& colour)
{
    const auto linear = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

}  // namespace

double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableTextOn(const QColor& fill)
{
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return contrastRatio(fill, black) >= contrastRatio(fill, white) ? black : white;
}

const tables::Record& RowCache::row(tables::TableFile& file, std::size_t index, std::string& error)
{
    const std::size_t first = index - index % kBlockRows;
    auto found = std::find_if(blocks_.begin(), blocks_.end(), [first](const Block& b) { return b.first == first; });
    if (found == blocks_.end()) {
        if (blocks_.size() >= kMaxBlocks)
            blocks_.pop_back();
        Block block;
        block.first = first;
        const std::size_t count = std::min(kBlockRows, file.recordCount() - std::min(first, file.recordCount()));
        block.rows.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            try {
                file.read(first + i, block.rows[i]);
            } catch (const std::exception& e) {
                block.rows[i].clear();
                error = e.what();
            }
        }
        blocks_.push_front(std::move(block));
        found = blocks_.begin();
    } else if (found != blocks_.begin()) {
        blocks_.splice(blocks_.begin(), blocks_, found);
        found = blocks_.begin();
    }
    static const tables::Record kEmpty;
    const std::size_t offset = index - first;
    return offset < found->rows.size() ? found->rows[offset] : kEmpty;
}

TableModel::TableModel(Session& session, QObject* parent) : QAbstractTableModel(parent), session_(session)
{
    connect(&session_, &Session::tableChanged, this, &TableModel::reload);
    reload();
}

tables::TableFile* TableModel::file() const
{
    auto& table = session_.table();
    return table.isOpen() ? &table.file() : nullptr;
}

void TableModel::reload()
{
    beginResetModel();
    cache_.clear();
    readFailureReported_ = false;
    const auto& table = session_.table();
    rows_ = table.isOpen() ? static_cast<int>(std::min<std::size_t>(table.recordCount(), INT_MAX)) : 0;
    columns_ = table.isOpen() ? table.fieldCount() : 0;
    colours_.assign(static_cast<std::size_t>(columns_), QColor(Qt::white));
    endResetModel();
    emit recordStateChanged();
}

int TableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int TableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : columns_; }

int TableModel::editRow() const
{
    const auto& table = session_.table();
    if (!table.isOpen() || table.state() == tables::Table::State::Browse)
        return -1;
    return static_cast<int>(table.recNo());
}

bool TableModel::inserting() const
{
    const auto& table = session_.table();
    return table.isOpen() && table.state() == tables::Table::State::Insert;
}

bool TableModel::readOnly() const
{
    const auto& table = session_.table();
    return !table.isOpen() || table.readOnly();
}

QVariant TableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() >= columns_ || index.row() >= rows_ || !session_.table().isOpen())
        return {};
    const auto column = static_cast<std::size_t>(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
        auto& table = session_.table();
        if (index.row() == editRow()) {
            try {
                return QString::fromStdString(tables::toText(table.value(index.column())));
            } catch (const std::exception&) {
                return {};
            }
        }
        auto* f = file();
        if (!f || static_cast<std::size_t>(index.row()) >= f->recordCount())
            return {};
        std::string error;
        const auto& record = cache_.row(*f, static_cast<std::size_t>(index.row()), error);
        if (!error.empty() && !readFailureReported_) {
            // Painting asks for cells; the message waits until the paint is over.
            readFailureReported_ = true;
            auto* self = const_cast<TableModel*>(this);
            QMetaObject::invokeMethod(
                self, [self, error] { emit self->failure(QString::fromStdString(error)); }, Qt::QueuedConnection);
        }
        if (column >= record.size())
            return {};
        return QString::fromStdString(tables::toText(record[column]));
    }
    case Qt::TextAlignmentRole: {
        const auto kind = session_.table().fields()[column].kind();
        const bool number = kind == tables::FieldKind::Integer || kind == tables::FieldKind::Float;
        return QVariant::fromValue(Qt::Alignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    }
    case Qt::BackgroundRole:
        return colours_[column];
    case Qt::ForegroundRole:
        // A marked column keeps its fill (it ties the column to its field list); the text takes
        // whichever of black and white contrasts more with it.
        return readableTextOn(colours_[column]);
    default:
        return {};
    }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= columns_ || !session_.table().isOpen())
            return {};
        return QString::fromStdString(session_.table().fields()[static_cast<std::size_t>(section)].name);
    }
    if (section == editRow())
        return inserting() ? QStringLiteral("*") : QStringLiteral("%1 ✎").arg(section + 1);
    return section + 1;
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (!readOnly())
        flags |= Qt::ItemIsEditable;
    return flags;
}

void TableModel::rowChanged(int row)
{
    if (row < 0 || row >= rows_)
        return;
    emit dataChanged(index(row, 0), index(row, std::max(0, columns_ - 1)));
    emit headerDataChanged(Qt::Vertical, row, row);
}

bool TableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() >= rows_ || index.column() >= columns_)
        return false;
    auto& table = session_.table();
    if (!table.isOpen())
        return false;
    const int row = index.row();
    const QString typed = value.toString();
    if (row != editRow() && typed == data(index, Qt::EditRole).toString())
        return false;  // opening and leaving a cell unchanged is not an edit
    if (row != editRow() && !edit(row))
        return false;
    try {
        table.setValue(index.column(), tables::Value(typed.toStdString()));
    } catch (const std::exception& e) {
        if (!table.modified() && !inserting()) {
            table.cancel();  // nothing was changed on this record yet
            rowChanged(row);
            emit recordStateChanged();
        }
        // Named by field and row, as the user finds the cell.
        emit failure(QStringLiteral("字段“%1”第 %2 行: %3")
                         .arg(QString::fromStdString(table.fields()[static_cast<std::size_t>(index.column())].name))
                         .arg(row + 1)
                         .arg(QString::fromStdString(e.what())));
        return false;
    }
    rowChanged(row);
    emit recordStateChanged();
    return true;
}

bool TableModel::edit(int row)
{
    auto& table = session_.table();
    if (!table.isOpen() || row < 0 || row >= rows_)
        return false;
    if (row == editRow())
        return true;
    if (!post())
        return false;
    try {
        table.moveTo(static_cast<std::size_t>(row));
        table.edit();
    } catch (const std::exception& e) {
        emit failure(QString::fromStdString(e.what()));
        return false;
    }
    rowChanged(row);
    emit recordStateChanged();
    return true;
}

bool TableModel::post()
{
    auto& table = session_.table();
    const int row = editRow();
    if (row < 0)
        return true;
    try {
        table.post();
    } catch (const std::exception& e) {
        emit failure(QString::fromStdString(e.what()));
        return false;
    }
    cache_.clear();
    rowChanged(row);
    emit recordStateChanged();
    return true;
}

void TableModel::cancel()
{
    auto& table = session_.table();
    const int row = editRow();
    if (row < 0)
        return;
    if (inserting()) {
        // The record leaves the cursor before the row leaves the views, so that a view
        // moving its current row away from it finds nothing left to post.
        table.cancel();
        beginRemoveRows({}, row, row);
        --rows_;
        endRemoveRows();
    } else {
        table.cancel();
        rowChanged(row);
    }
    emit recordStateChanged();
}

bool TableModel::insert()
{
    auto& table = session_.table();
    if (!table.isOpen() || !post())
        return false;
    try {
        table.append();
    } catch (const std::exception& e) {
        emit failure(QString::fromStdString(e.what()));
        return false;
    }
    beginInsertRows({}, rows_, rows_);
    ++rows_;
    endInsertRows();
    emit recordStateChanged();
    return true;
}

bool TableModel::remove(int row)
{
    auto& table = session_.table();
    if (!table.isOpen() || row < 0 || row >= rows_)
        return false;
    if (row == editRow() && inserting()) {
        cancel();
        return true;
    }
    if (row != editRow() && !post())
        return false;
    try {
        if (row != editRow())
            table.moveTo(static_cast<std::size_t>(row));
        table.remove();
    } catch (const std::exception& e) {
        emit failure(QString::fromStdString(e.what()));
        return false;
    }
    beginRemoveRows({}, row, row);
    --rows_;
    cache_.clear();
    endRemoveRows();
    emit recordStateChanged();
    return true;
}

void TableModel::refresh()
{
    if (editRow() >= 0)
        return;
    const auto colours = colours_;
    reload();
    if (static_cast<int>(colours.size()) == columns_)
        colours_ = colours;
}

void TableModel::setColumnColour(int column, const QColor& colour)
{
    if (column < 0 || column >= columns_)
        return;
    colours_[static_cast<std::size_t>(column)] = colour;
    if (rows_ > 0)
        emit dataChanged(index(0, column), index(rows_ - 1, column), {Qt::BackgroundRole});
}

void TableModel::resetColumnColours()
{
    std::fill(colours_.begin(), colours_.end(), QColor(Qt::white));
    if (rows_ > 0 && columns_ > 0)
        emit dataChanged(index(0, 0), index(rows_ - 1, columns_ - 1), {Qt::BackgroundRole});
}

QColor TableModel::columnColour(int column) const
{
    if (column < 0 || column >= columns_)
        return {};
    return colours_[static_cast<std::size_t>(column)];
}

}  // namespace zandor::ui
