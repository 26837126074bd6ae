#include "tables/ascii_table.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "tables/binary_file.h"
#include "tables/codepage.h"
#include "tables/table_error.h"

namespace zandor::tables::ascii {
namespace {

constexpr int kCodePage = 936;
constexpr std::size_t kFlushBytes = std::size_t{1} << 20;
constexpr int kIntegerWidth = 11;
constexpr int kFloatWidth = 24;  // "-2.2250738585072014e-308"

bool endsWithTxt(const std::string& path)
{
    if (path.size() < 4)
        return false;
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return ext == ".txt";
}

std::string basePath(const std::string& path) { return endsWithTxt(path) ? path.substr(0, path.size() - 4) : path; }

// The table name the schema gives: the file name without folder and extension. A table
// written under a temporary sibling name of earlier versions ("POP~tmp123-4") is named as
// the table it is going to replace.
std::string tableNameOf(const std::string& path)
{
    std::string name = basePath(path);
    if (const auto slash = name.find_last_of('/'); slash != std::string::npos)
        name = name.substr(slash + 1);
    const auto mark = name.rfind("~tmp");
    if (mark != std::string::npos && mark > 0) {
        const std::string tail = name.substr(mark + 4);
        const auto dash = tail.find('-');
        auto digits = [](const std::string& s) {
            return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
        };
        if (dash != std::string::npos && digits(tail.substr(0, dash)) && digits(tail.substr(dash + 1)))
            name = name.substr(0, mark);
    }
    return name;
}

const char* typeName(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Char: return "CHAR";
    case FieldKind::Integer: return "LONGINT";
    case FieldKind::Float: return "FLOAT";
    case FieldKind::Date: return "DATE";
    case FieldKind::Boolean: return "BOOL";
    }
    return "CHAR";
}

int widthOf(const FieldDef& f)
{
    switch (f.kind) {
    case FieldKind::Char: return f.size;
    case FieldKind::Integer: return kIntegerWidth;
    case FieldKind::Float: return kFloatWidth;
    case FieldKind::Date: return 10;
    case FieldKind::Boolean: return 1;
    }
    return 0;
}

StorageType storageOf(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Char: return StorageType::Alpha;
    case FieldKind::Integer: return StorageType::LongInt;
    case FieldKind::Float: return StorageType::Number;
    case FieldKind::Date: return StorageType::Date;
    case FieldKind::Boolean: return StorageType::Logical;
    }
    return StorageType::Alpha;
}

class AsciiTable final : public TableFile {
public:
    AsciiTable(BinaryFile file, std::vector<FieldInfo> fields) : file_(std::move(file)), fields_(std::move(fields))
    {
        path_ = file_.path();
    }

    ~AsciiTable() override
    {
        try {
            flush();
        } catch (...) {
            // flush() is where write errors are reported; a destructor cannot.
        }
    }

    TableFormat format() const override { return TableFormat::Ascii; }
    const std::string& path() const override { return path_; }
    const std::vector<FieldInfo>& fields() const override { return fields_; }
    std::size_t recordCount() const override { return starts_.size(); }
    bool readOnly() const override { return false; }

    void read(std::size_t index, Record& out) override
    {
        if (index >= starts_.size())
            throw TableError("The table " + path_ + " has no record " + std::to_string(index + 1));
        const std::uint64_t begin = starts_[index];
        const std::uint64_t end = index + 1 < starts_.size() ? starts_[index + 1] : written_ + pending_.size();
        std::string line(end - begin, '\0');
        if (begin >= written_) {
            std::memcpy(line.data(), pending_.data() + (begin - written_), line.size());
        } else {
            file_.readExact(begin, line.data(), line.size());
        }
        parseLine(line, index, out);
    }

    void write(std::size_t, const Record&) override { refuseChange(); }
    void remove(std::size_t) override { refuseChange(); }

    void append(const Record& record)
        override
    {
        if (record.size() != fields_.size())
            throw TableError("The table " + path_ + " has " + std::to_string(fields_.size()) + " fields, but record " +
                             std::to_string(starts_.size() + 1) + " has " + std::to_string(record.size()) + " values");
        line_.clear();
        for (std::size_t i = 0; i < record.size(); ++i) {
            if (i)
                line_ += ',';
            appendValue(record[i], i);
        }
        line_ += "\r\n";
        starts_.push_back(written_ + pending_.size());
        pending_ += line_;
        if (pending_.size() >= kFlushBytes)
            writePending();
    }

    void flush() override { writePending(); }

private:
    [[noreturn]] void refuseChange() const
    {
        throw TableError("The ASCII table " + path_ + " can only be appended to");
    }

    [[noreturn]] void refuse(std::size_t field, const std::string& what) const
    {
        throw TableError("Cannot store " + what + " in field '" + fields_[field].name + "' of record " +
                         std::to_string(starts_.size() + 1) + " of table " + path_);
    }

    void writePending()
    {
        if (pending_.empty())
            return;
        file_.writeAt(written_, pending_.data(), pending_.size());
        written_ += pending_.size();
        pending_.clear();
    }

    void appendValue(const Value& v, std::size_t field)
    {
        if (std::holds_alternative<std::monostate>(v))
            return;
        char buf[40];
        switch (fields_[field].storage) {
        case StorageType::Alpha: {
            const auto* s = std::get_if<std::string>(&v);
            if (!s)
                refuse(field, "a value that is no text");
            const std::optional<std::string> bytes = encodeText(*s, kCodePage);
            if (!bytes)
                refuse(field, "the text '" + *s + "', which has characters outside code page 936");
            if (bytes->size() > static_cast<std::size_t>(fields_[field].size))
                refuse(field, "the text '" + *s + "' (longer than the field's " + std::to_string(fields_[field].size) +
                                  " bytes)");
            line_ += '"';
            for (char c : *bytes) {
                if (c == '"')
                    line_ += '"';
                line_ += c;
            }
            line_ += '"';
            return;
        }
        case StorageType::LongInt: {
            std::int64_t n = 0;
            if (const auto* i = std::get_if<std::int64_t>(&v))
                n = *i;
            else if (const auto* d = std::get_if<double>(&v); d && std::isfinite(*d) && *d == std::trunc(*d) &&
                                                               std::fabs(*d) < 9.2e18)
                n = static_cast<std::int64_t>(*d);
            else
                refuse(field, "a value that is no whole number");
            auto r = std::to_chars(buf, buf + sizeof buf, n);
            line_.append(buf, r.ptr);
            return;
        }
        case StorageType::Number: {
            double d = 0;
            if (const auto* x = std::get_if<double>(&v))
                d = *x;
            else if (const auto* i = std::get_if<std::int64_t>(&v))
                d = static_cast<double>(*i);
            else
                refuse(field, "a value that is no number");
            if (!std::isfinite(d))
                refuse(field, "a value that is no finite number");
            auto r = std::to_chars(buf, buf + sizeof buf, d);
            line_.append(buf, r.ptr);
            return;
        }
        case StorageType::Date: {
            const auto* date = std::get_if<Date>(&v);
            if (!date || date->year < 1 || date->year > 9999 || date->month < 1 || date->month > 12 ||
                date->day < 1 || date->day > 31)
                refuse(field, "a value that is no valid date");
            std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", date->month, date->day, date->year);
            line_ += buf;
            return;
        }
        case StorageType::Logical: {
            const auto* b = std::get_if<bool>(&v);
            if (!b)
                refuse(field, "a value that is not true or false");
            line_ += *b ? 'T' : 'F';
            return;
        }
        default:
            refuse(field, "a value");
        }
    }

    [[noreturn]] void badLine(std::size_t index, const std::string& what) const
    {
        throw TableError("The table " + path_ + " has a damaged record " + std::to_string(index + 1) + ": " + what);
    }

    void parseLine(std::string_view line, std::size_t index, Record& out) const
    {
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.remove_suffix(1);
        out.assign(fields_.size(), std::monostate{});
        std::size_t pos = 0;
        for (std::size_t f = 0; f < fields_.size(); ++f) {
            std::string token;
            bool quoted = false;
            if (pos < line.size() && line[pos] == '"') {
                quoted = true;
                ++pos;
                for (;;) {
                    if (pos >= line.size())
                        badLine(index, "a text has no closing quote");
                    if (line[pos] == '"') {
                        if (pos + 1 < line.size() && line[pos + 1] == '"') {
                            token += '"';
                            pos += 2;
                            continue;
                        }
                        ++pos;
                        break;
                    }
                    token += line[pos++];
                }
            } else {
                const std::size_t comma = line.find(',', pos);
                const std::size_t end = comma == std::string_view::npos ? line.size() : comma;
                token.assign(line.substr(pos, end - pos));
                pos = end;
            }
            if (f + 1 < fields_.size()) {
                if (pos >= line.size() || line[pos] != ',')
                    badLine(index, "it has fewer values than fields");
                ++pos;
            }
            if (!quoted && token.empty())
                continue;
            out[f] = parseValue(token, f, index);
        }
        if (pos != line.size())
            badLine(index, "it has more values than fields");
    }

    Value parseValue(const std::string& token, std::size_t field, std::size_t index) const
    {
        const char* first = token.data();
        const char* last = token.data() + token.size();
        switch (fields_[field].storage) {
        case StorageType::Alpha:
            return token.empty() ? Value{} : Value{decodeText(token, kCodePage)};
        case StorageType::LongInt: {
            std::int64_t n = 0;
            auto r = std::from_chars(first, last, n);
            if (r.ec != std::errc() || r.ptr != last)
                badLine(index, "'" + token + "' is no whole number");
            return n;
        }
        case StorageType::Number: {
            double d = 0;
            auto r = std::from_chars(first, last, d);
            if (r.ec != std::errc() || r.ptr != last)
                badLine(index, "'" + token + "' is no number");
            return d;
        }
        case StorageType::Date: {
            Date d;
            if (std::sscanf(token.c_str(), "%d/%d/%d", &d.month, &d.day, &d.year) != 3)
                badLine(index, "'" + token + "' is no date");
            return d;
        }
        case StorageType::Logical:
            return token == "T";
        default:
            return Value{decodeText(token, kCodePage)};
        }
    }

    BinaryFile file_;
    std::string path_;
    std::vector<FieldInfo> fields_;
    std::vector<std::uint64_t> starts_;  // where each record's line begins
    std::uint64_t written_ = 0;         // bytes on disk
    std::string pending_;                // lines not yet on disk
    std::string line_;
};

}  // namespace

std::string dataPath(const std::string& path) { return basePath(path) + ".txt"; }
std::string schemaPath(const std::string& path) { return basePath(path) + ".sch"; }

CreateResult create(const std::string& path, const std::vector<FieldDef>& fields)
{
    const std::string data = dataPath(path);
    const std::string schema = schemaPath(path);
    if (fields.empty())
        throw TableError("Cannot create " + data + ": a table needs at least one field");

    const std::string base = tableNameOf(path);
    const std::optional<std::string> tableName = encodeText(base, kCodePage);
    if (!tableName || base.empty())
        throw TableError("Cannot create " + data + ": the table name has characters outside code page 936 (GBK)");

    std::string sch = "[" + *tableName + "]\r\nFiletype=Delimited\r\nDelimiter=\"\r\nSeparator=,\r\nCharSet=china\r\n";
    std::vector<FieldInfo> infos;
    int offset = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldDef& f = fields[i];
        const std::optional<std::string> name = encodeText(f.name, kCodePage);
        if (f.name.empty())
            throw TableError("Cannot create " + data + ": field " + std::to_string(i + 1) + " has no name");
        if (!name || name->find_first_of(std::string(",\r\n\0", 4)) != std::string::npos)
            throw TableError("Cannot create " + data + ": the field name '" + f.name +
                             "' cannot be written in the schema (characters outside GBK, commas or line breaks)");
        for (std::size_t j = 0; j < i; ++j)
            if (fields[j].name == f.name)
                throw TableError("Cannot create " + data + ": the field name '" + f.name + "' appears twice");
        if (f.kind == FieldKind::Char && (f.size < 1 || f.size > 255))
            throw TableError("Cannot create " + data + ": the text field '" + f.name + "' has size " +
                             std::to_string(f.size) + "; it must be 1 to 255");
        const int width = widthOf(f);
        char line[64];
        std::snprintf(line, sizeof line, ",%s,%d,00,%02d\r\n", typeName(f.kind), width, offset);
        sch += "Field" + std::to_string(i + 1) + "=" + *name + line;
        offset += width;

        FieldInfo info;
        info.name = f.name;
        info.storage = storageOf(f.kind);
        info.size = width;
        info.width = width;
        infos.push_back(std::move(info));
    }

    if (fileExists(data))
        throw TableError("Cannot create " + data + ": the file already exists");
    if (fileExists(schema))
        throw TableError("Cannot create " + schema + ": the file already exists");
    BinaryFile dataFile = BinaryFile::createNew(data);
    try {
        BinaryFile schemaFile = BinaryFile::createNew(schema);
        schemaFile.writeAt(0, sch.data(), sch.size());
    } catch (...) {
        dataFile.close();
        std::remove(data.c_str());
        throw;
    }
    CreateResult result;
    result.table = std::make_unique<AsciiTable>(std::move(dataFile), std::move(infos));
    return result;
}

}  // namespace zandor::tables::ascii
