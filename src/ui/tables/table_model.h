// The current table as a Qt item model: rows are read on demand from the table file through
// a small cache, so a table of millions of records opens at once; edits go through the
// table cursor (edit, set, post), so one record at a time is in edit and leaving it posts it.
#pragma once

#include <QAbstractTableModel>
#include <QColor>

#include <cstddef>
#include <list>
#include <string>
#include <vector>

#include "tables/field.h"

namespace zandor::tables {
class TableFile;
}

namespace zandor::ui {

// The WCAG contrast ratio of two colours (1 to 21), and the text colour, black or white, that
// reads best on a fill.
double contrastRatio(const QColor& a, const QColor& b);
QColor readableTextOn(const QColor& fill);

class Session;

// Keeps the most recently read blocks of records of a table file.
class RowCache {
public:
    static constexpr std::size_t kBlockRows = 128;
    static constexpr std::size_t kMaxBlocks = 32;

    void clear() { blocks_.clear(); }
    // The record at `index`; a record the file cannot read comes back empty and its error
    // text is put into `error` (left alone when the read succeeds).
    const tables::Record& row(tables::TableFile& file, std::size_t index, std::string& error);

private:
    struct Block {
        std::size_t first = 0;
        std::vector<tables::Record> rows;
    };
    std::list<Block> blocks_;  // most recently used first
};

class TableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TableModel(Session& session, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Stores a typed cell into the record in edit (entering edit on that row, and posting a
    // record in edit on another row first). A value the field cannot hold is refused with
    // the table store's message and the cell keeps its old value.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // The row whose record is in edit or being inserted, or -1 while browsing.
    int editRow() const;
    bool inserting() const;
    bool readOnly() const;

    // Record commands. Each reports a store error through failure() and returns false.
    bool post();
    void cancel();
    bool edit(int row);
    bool insert();  // a new empty record at the end, in edit
    bool remove(int row);
    void refresh();  // re-reads the table file (only while browsing)

    // Colouring of columns (the projection dialogs mark the fields they use).
    void setColumnColour(int column, const QColor& colour);
    void resetColumnColours();  // every column white
    QColor columnColour(int column) const;

signals:
    void failure(const QString& message);
    void recordStateChanged();

private:
    void reload();
    void rowChanged(int row);
    tables::TableFile* file() const;

    Session& session_;
    int rows_ = 0;
    int columns_ = 0;
    std::vector<QColor> colours_;
    mutable RowCache cache_;
    mutable bool readFailureReported_ = false;
};

}  // namespace zandor::ui
