#include "tables/table.h"

#include <algorithm>

#include "tables/table_error.h"

namespace zandor::tables {
namespace {

const Value kNull{};

}  // namespace

Table::Table(std::unique_ptr<TableFile> file) : file_(std::move(file)) {}
Table::Table(Table&&) noexcept = default;
Table& Table::operator=(Table&&) noexcept = default;
Table::~Table() = default;

Table Table::open(const std::string& path, bool readOnly) { return Table(openTableFile(path, readOnly)); }

void Table::close()
{
    if (!file_)
        return;
    if (state_ != State::Browse)
        post();
    file_->flush();
    file_.reset();
    position_ = 0;
    current_.clear();
    loaded_ = false;
}

void Table::requireOpen() const
{
    if (!file_)
        throw TableError("No table is open");
}

const std::string& Table::path() const
{
    requireOpen();
    return file_->path();
}

TableFormat Table::format() const
{
    requireOpen();
    return file_->format();
}

bool Table::readOnly() const
{
    requireOpen();
    return file_->readOnly();
}

const std::vector<FieldInfo>& Table::fields() const
{
    requireOpen();
    return file_->fields();
}

int Table::fieldCount() const { return static_cast<int>(fields().size()); }

int Table::fieldIndex(std::string_view name) const
{
    const auto& f = fields();
    for (std::size_t i = 0; i < f.size(); ++i)
        if (sameFieldName(f[i].name, name))
            return static_cast<int>(i);
    return -1;
}

int Table::requireField(std::string_view name) const
{
    const int index = fieldIndex(name);
    if (index < 0)
        throw TableError("Field '" + std::string(name) + "' not found in " + path());
    return index;
}

std::size_t Table::recordCount() const
{
    requireOpen();
    return file_->recordCount() + (state_ == State::Insert ? 1 : 0);
}

void Table::first() { moveTo(0); }

void Table::next()
{
    requireOpen();
    moveTo(position_ + 1);
}

void Table::moveTo(std::size_t index)
{
    requireOpen();
    if (state_ != State::Browse)
        post();  // leaving a record stores its edit, as in a data-aware grid
    position_ = std::min(index, file_->recordCount());
    loaded_ = false;
}

bool Table::eof() const
{
    requireOpen();
    return state_ == State::Browse && position_ >= file_->recordCount();
}

void Table::load()
{
    if (loaded_ || state_ != State::Browse)
        return;
    file_->read(position_, current_);
    loaded_ = true;
}

void Table::requireRecord() const
{
    requireOpen();
    if (state_ == State::Browse && position_ >= file_->recordCount())
        throw TableError("No current record in " + file_->path() + " (the table is at its end)");
}

const Value& Table::value(int field) const
{
    requireRecord();
    if (field < 0 || field >= fieldCount())
        throw TableError("Field number " + std::to_string(field + 1) + " does not exist in " + path());
    const_cast<Table*>(this)->load();
    return field < static_cast<int>(current_.size()) ? current_[static_cast<std::size_t>(field)] : kNull;
}

const Value& Table::value(std::string_view name) const { return value(requireField(name)); }

double Table::asFloat(std::string_view name) const { return toDouble(value(name)); }
std::int64_t Table::asInteger(std::string_view name) const { return toInteger(value(name)); }
std::string Table::asString(std::string_view name) const { return toText(value(name)); }

void Table::append()
{
    requireOpen();
    if (state_ != State::Browse)
        post();
    if (file_->readOnly())
        throw TableError("The table " + file_->path() + " is read-only");
    current_.assign(fields().size(), Value{});
    position_ = file_->recordCount();
    state_ = State::Insert;
    modified_ = false;
    loaded_ = true;
}

void Table::edit()
{
    requireRecord();
    if (state_ != State::Browse)
        return;
    if (file_->readOnly())
        throw TableError("The table " + file_->path() + " is read-only");
    load();
    state_ = State::Edit;
    modified_ = false;
}

void Table::setValue(int field, const Value& v)
{
    if (state_ == State::Browse)
        edit();
    if (field < 0 || field >= fieldCount())
        throw TableError("Field number " + std::to_string(field + 1) + " does not exist in " + path());
    current_[static_cast<std::size_t>(field)] = coerceToField(v, fields()[static_cast<std::size_t>(field)]);
    modified_ = true;
}

void Table::setValue(std::string_view name, const Value& v) { setValue(requireField(name), v); }

void Table::post()
{
    requireOpen();
    if (state_ == State::Insert) {
        // A posted record is on disk at once, where another reader of the file sees it and
        // a crash cannot take it. Bulk writers append through TableFile and flush once.
        file_->append(current_);
        file_->flush();
    } else if (state_ == State::Edit && modified_)
        file_->write(position_, current_);
    state_ = State::Browse;
    modified_ = false;
}

void Table::cancel()
{
    requireOpen();
    state_ = State::Browse;
    modified_ = false;
    loaded_ = false;
    position_ = std::min(position_, file_->recordCount());
}

void Table::remove()
{
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    requireRecord();
    state_ = State::Browse;
    modified_ = false;
    file_->remove(position_);
    loaded_ = false;
    position_ = std::min(position_, file_->recordCount());
}

TableFile& Table::file()
{
    requireOpen();
    return *file_;
}

}  // namespace zandor::tables
