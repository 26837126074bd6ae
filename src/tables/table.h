// The current-table cursor: open by full path, first/next navigation, fields read by name
// as float, integer or text, and append/edit/set/post/cancel, as every analysis and the
// main window's grid use a table.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tables/table_file.h"

namespace zandor::tables {

class Table {
public:
    enum class State { Browse, Edit, Insert };

    Table() = default;
    explicit Table(std::unique_ptr<TableFile> file);
    Table(Table&&) noexcept;
    Table& operator=(Table&&) noexcept;
    ~Table();  // posts nothing: an unposted edit is the caller's to post or cancel

    static Table open(const std::string& path, bool readOnly = false);

    bool isOpen() const { return file_ != nullptr; }
    void close();  // an unposted edit is posted first, so it is never lost
    const std::string& path() const;
    TableFormat format() const;
    bool readOnly() const;
    const std::vector<FieldInfo>& fields() const;
    int fieldCount() const;
    int fieldIndex(std::string_view name) const;  // -1 when absent
    std::size_t recordCount() const;

    // Navigation. An empty table is at eof() right after first().
    void first();
    void next();
    void moveTo(std::size_t index);
    bool eof() const;
    std::size_t recNo() const { return position_; }

    // Values of the current record. An unknown field name throws TableError naming it.
    const Value& value(int field) const;
    const Value& value(std::string_view name) const;
    double asFloat(std::string_view name) const;
    std::int64_t asInteger(std::string_view name) const;
    std::string asString(std::string_view name) const;

    // Editing. setValue puts the record into edit mode when it is browsing.
    void append();  // an empty record at the end, in Insert state
    void edit();
    void setValue(int field, const Value& value);
    void setValue(std::string_view name, const Value& value);
    void post();
    void cancel();
    void remove();  // deletes the current record
    State state() const { return state_; }
    bool modified() const { return modified_; }

    TableFile& file();

private:
    void load();
    void requireOpen() const;
    void requireRecord() const;
    int requireField(std::string_view name) const;

    std::unique_ptr<TableFile> file_;
    std::size_t position_ = 0;
    Record current_;
    bool loaded_ = false;
    State state_ = State::Browse;
    bool modified_ = false;
};

}  // namespace zandor::tables
