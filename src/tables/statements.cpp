#include "tables/statements.h"

#include <algorithm>
#include <charconv>

#include "tables/batch_move.h"
#include "tables/binary_file.h"
#include "tables/table_error.h"
#include "tables/table_lock.h"

namespace zandor::tables {
namespace {

constexpr std::string_view kTypeHelp = "use char(n), integer, float, date or boolean";

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// ASCII letters only, whatever the process locale (the windows set the user's locale, in
// which std::tolower might change bytes of a multi-byte character).
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string_view trim(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The end of a statement may carry blanks and one semicolon.
std::string_view withoutTerminator(std::string_view s)
{
    s = trim(s);
    if (!s.empty() && s.back() == ';')
        s.remove_suffix(1);
    return trim(s);
}

std::string quoted(std::string_view s)
{
    std::string out(1, '\'');
    out += s;
    out += '\'';
    return out;
}

// Reads a statement from left to right.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    void skipBlanks()
    {
        while (pos_ < text_.size() && isBlank(text_[pos_]))
            ++pos_;
    }

    // The next word (letters only), without consuming it.
    std::string_view peekWord()
    {
        skipBlanks();
        std::size_t end = pos_;
        while (end < text_.size() && isAsciiLetter(text_[end]))
            ++end;
        return text_.substr(pos_, end - pos_);
    }

    bool keyword(std::string_view word)
    {
        const std::string_view next = peekWord();
        if (!equalsIgnoringCase(next, word))
            return false;
        pos_ += next.size();
        return true;
    }

    void expectKeyword(std::string_view word, std::string_view what)
    {
        if (!keyword(word))
            throw TableError(std::string(what));
    }

    std::string quotedPath()
    {
        skipBlanks();
        if (pos_ >= text_.size() || text_[pos_] != '"')
            throw TableError("The table path must follow the word table in double quotation marks, as \"/data/t.DB\"");
        const std::size_t close = text_.find('"', pos_ + 1);
        if (close == std::string_view::npos)
            throw TableError("The table path has no closing quotation mark");
        std::string path(text_.substr(pos_ + 1, close - pos_ - 1));
        pos_ = close + 1;
        if (trim(path).empty())
            throw TableError("The table path between the quotation marks is empty");
        return path;
    }

    char peek()
    {
        skipBlanks();
        return pos_ < text_.size() ? text_[pos_] : '\0';
    }

    std::size_t position() const { return pos_; }
    void moveTo(std::size_t pos) { pos_ = pos; }
    std::string_view rest() const { return text_.substr(pos_); }
    std::string_view text() const { return text_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

FieldKind parseKind(std::string_view typeText, int& size)
{
    const std::string_view t = trim(typeText);
    size = 0;
    if (equalsIgnoringCase(t, "integer"))
        return FieldKind::Integer;
    if (equalsIgnoringCase(t, "float"))
        return FieldKind::Float;
    if (equalsIgnoringCase(t, "date"))
        return FieldKind::Date;
    if (equalsIgnoringCase(t, "boolean"))
        return FieldKind::Boolean;
    if (t.size() >= 4 && equalsIgnoringCase(t.substr(0, 4), "char")) {
        std::string_view rest = trim(t.substr(4));
        if (rest.empty())
            throw TableError("The type char needs a width in parentheses, as char(20)");
        if (rest.front() == '(') {
            if (rest.back() != ')')
                throw TableError("The type " + quoted(t) + " has no closing parenthesis");
            const std::string_view digits = trim(rest.substr(1, rest.size() - 2));
            int width = 0;
            const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), width);
            if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size())
                throw TableError("The width in " + quoted(t) + " must be a whole number of characters, as char(20)");
            if (width < 1)
                throw TableError("The width in " + quoted(t) + " must be at least 1");
            size = width;
            return FieldKind::Char;
        }
    }
    throw TableError(quoted(t) + " is not a known field type; " + std::string(kTypeHelp));
}

void checkNoDuplicates(const std::vector<FieldDef>& fields)
{
    for (std::size_t i = 0; i < fields.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (sameFieldName(fields[i].name, fields[j].name))
                throw TableError("The field name " + quoted(fields[i].name) + " is given twice");
}

void checkWidth(const FieldDef& field, TableFormat format)
{
    if (field.kind != FieldKind::Char)
        return;
    const int limit = maxCharWidth(format);
    if (field.size < 1 || field.size > limit)
        throw TableError("The width of the field " + field.name + ", char(" + std::to_string(field.size) +
                         "), is outside 1 to " + std::to_string(limit) + " for a " + std::string(formatName(format)) +
                         " table");
}

CreateStatement parseCreate(Reader& r)
{
    r.expectKeyword("table", "Expected the word table after Create");
    CreateStatement s;
    s.path = r.quotedPath();
    if (r.peek() != '(')
        throw TableError("The field list of Create table must follow the path in parentheses, as (年龄 integer,人口 float)");
    const std::size_t open = r.position();
    const std::string_view text = r.text();
    // The list ends at the parenthesis that closes the opening one; char(n) nests inside it.
    int depth = 0;
    std::size_t close = std::string_view::npos;
    for (std::size_t i = open; i < text.size(); ++i) {
        if (text[i] == '(')
            ++depth;
        else if (text[i] == ')' && --depth == 0) {
            close = i;
            break;
        }
    }
    if (close == std::string_view::npos)
        throw TableError("The field list of Create table has no closing parenthesis");
    const std::string_view after = withoutTerminator(text.substr(close + 1));
    if (!after.empty())
        throw TableError("Unexpected text after the field list: " + quoted(after));

    const std::string_view list = text.substr(open + 1, close - open - 1);
    if (trim(list).empty())
        throw TableError("The field list of Create table is empty; give at least one field, as (年龄 integer)");
    std::size_t start = 0;
    int number = 0;
    depth = 0;
    for (std::size_t i = 0; i <= list.size(); ++i) {
        if (i < list.size()) {
            if (list[i] == '(')
                ++depth;
            else if (list[i] == ')')
                --depth;
            if (list[i] != ',' || depth != 0)
                continue;
        }
        ++number;
        const std::string_view piece = trim(list.substr(start, i - start));
        if (piece.empty())
            throw TableError("The field definition " + std::to_string(number) +
                             " is empty; each definition is a name and a type (" + std::string(kTypeHelp) + ")");
        s.fields.push_back(parseFieldDef(piece));
        start = i + 1;
    }
    checkNoDuplicates(s.fields);
    return s;
}

Statement parseAlter(Reader& r)
{
    r.expectKeyword("table", "Expected the word table after alter");
    std::string path = r.quotedPath();
    if (r.keyword("add")) {
        const std::string_view def = withoutTerminator(r.rest());
        if (def.empty())
            throw TableError("alter table ... add needs a field definition, as add 结果 float");
        return AddFieldStatement{std::move(path), parseFieldDef(def)};
    }
    if (r.keyword("drop")) {
        const std::string_view name = withoutTerminator(r.rest());
        if (name.empty())
            throw TableError("alter table ... drop needs the name of the field to drop");
        if (std::any_of(name.begin(), name.end(), isBlank))
            throw TableError("alter table ... drop takes one field name, not " + quoted(name));
        return DropFieldStatement{std::move(path), std::string(name)};
    }
    throw TableError("Expected add or drop after the table path of alter table");
}

}  // namespace

int maxCharWidth(TableFormat format)
{
    switch (format) {
    case TableFormat::DBase:
    case TableFormat::FoxPro:
        return 254;
    case TableFormat::Paradox:
    case TableFormat::Ascii:
        return 255;
    }
    return 255;
}

FieldDef parseFieldDef(std::string_view definition)
{
    const std::string_view text = trim(definition);
    if (text.empty())
        throw TableError("A field definition is empty; each definition is a name and a type (" +
                         std::string(kTypeHelp) + ")");
    std::size_t blank = 0;
    while (blank < text.size() && !isBlank(text[blank]))
        ++blank;
    FieldDef def;
    def.name = std::string(text.substr(0, blank));
    const std::string_view type = trim(text.substr(blank));
    if (type.empty())
        throw TableError("The field " + def.name + " has no type; " + std::string(kTypeHelp));
    def.kind = parseKind(type, def.size);
    return def;
}

Statement parseStatement(std::string_view statement)
{
    Reader r(statement);
    if (r.keyword("create"))
        return parseCreate(r);
    if (r.keyword("alter"))
        return parseAlter(r);
    const std::string_view start = trim(statement).substr(0, 20);
    throw TableError("Unknown statement " + quoted(start) +
                     ": expected Create table \"PATH\" (...) or alter table \"PATH\" add/drop ...");
}

std::vector<std::string> runStatement(std::string_view statement)
{
    const Statement parsed = parseStatement(statement);
    if (const auto* create = std::get_if<CreateStatement>(&parsed)) {
        const TableFormat format = formatOfPath(create->path);
        for (const FieldDef& f : create->fields)
            checkWidth(f, format);
        return createTable(create->path, format, create->fields);
    }
    if (const auto* add = std::get_if<AddFieldStatement>(&parsed))
        return addField(add->path, add->field);
    const auto& drop = std::get<DropFieldStatement>(parsed);
    return dropField(drop.path, drop.name);
}

namespace {

std::unique_ptr<TableFile> openForChange(const std::string& path)
{
    if (!fileExists(path))
        throw TableError("The table " + path + " does not exist");
    auto file = openTableFile(path, false);
    if (file->readOnly())
        throw TableError("The table " + path + " is read-only; its structure cannot be changed");
    return file;
}

// A restructured table must keep every value: fields whose content the rewrite cannot carry
// whole (binary and memo fields) make the table unsuitable, unless they are being dropped.
void requireEveryFieldCarried(const TableFile& file, int dropping)
{
    const auto& fields = file.fields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const StorageType s = fields[i].storage;
        if (static_cast<int>(i) == dropping)
            continue;
        if (s == StorageType::Memo || !carriedByReader(s, file.format()))
            throw TableError("The table " + file.path() + " has the " + (s == StorageType::Memo ? "memo" : "binary") +
                             " field " + fields[i].name + ", which restructuring cannot keep whole; its structure " +
                             "cannot be changed here");
    }
}

int findField(const TableFile& file, std::string_view name)
{
    const auto& fields = file.fields();
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (sameFieldName(fields[i].name, name))
            return static_cast<int>(i);
    return -1;
}

}  // namespace

std::vector<std::string> addField(const std::string& path, const FieldDef& field, const RecordHook& afterRecord)
{
    return addFields(path, {FieldWithValues{field}}, afterRecord);
}

std::vector<std::string> addFields(const std::string& path, const std::vector<FieldWithValues>& added,
                                   const RecordHook& afterRecord)
{
    // Held from reading the table to putting the new one in its place, so no other writer's
    // change is lost between the two.
    const TableLock lock = TableLock::acquire(path, TableLock::Mode::Exclusive);
    auto file = openForChange(path);
    const TableFormat format = file->format();
    for (const FieldWithValues& field : added) {
        if (field.def.name.empty())
            throw TableError("The new field of " + path + " has no name");
        if (findField(*file, field.def.name) >= 0)
            throw TableError("The field " + field.def.name + " already exists in " + path);
        checkWidth(field.def, format);
    }
    requireEveryFieldCarried(*file, -1);
    std::vector<std::string> remarks;
    std::vector<TargetField> fields = fieldsForFormat(*file, format, remarks);
    for (const FieldWithValues& field : added)
        fields.push_back(TargetField{field.def, -1, field.values});
    std::vector<std::string> more = rewriteTable(*file, path, format, fields, afterRecord);
    remarks.insert(remarks.end(), more.begin(), more.end());
    return remarks;
}

std::vector<std::string> dropField(const std::string& path, std::string_view name, const RecordHook& afterRecord)
{
    const TableLock lock = TableLock::acquire(path, TableLock::Mode::Exclusive);
    auto file = openForChange(path);
    const int index = findField(*file, name);
    if (index < 0)
        throw TableError("The field " + std::string(name) + " does not exist in " + path);
    if (file->fields().size() == 1)
        throw TableError("The field " + std::string(name) + " is the only field of " + path +
                         "; a table keeps at least one field");
    requireEveryFieldCarried(*file, index);
    const TableFormat format = file->format();
    std::vector<std::string> remarks;
    std::vector<TargetField> fields = fieldsForFormat(*file, format, remarks, index);
    std::vector<std::string> more = rewriteTable(*file, path, format, fields, afterRecord);
    remarks.insert(remarks.end(), more.begin(), more.end());
    return remarks;
}

void rewriteFieldValues(TableFile& source, const std::string& path, int field, std::span<const double> values,
                        const RecordHook& afterRecord)
{
    const TableLock lock = TableLock::acquire(path, TableLock::Mode::Exclusive);
    if (source.readOnly())
        throw TableError("The table " + path + " is read-only");
    requireEveryFieldCarried(source, -1);
    const TableFormat format = source.format();
    std::vector<std::string> changes;
    std::vector<TargetField> fields = fieldsForFormat(source, format, changes);
    if (!changes.empty() || fields.size() != source.fields().size())
        throw TableError("The table " + path + " cannot be rewritten with its fields as they are (" +
                         (changes.empty() ? std::string("a field would be left out") : changes.front()) +
                         "); it is left unchanged");
    fields.at(static_cast<std::size_t>(field)).values = values;
    rewriteTable(source, path, format, fields, afterRecord);
}

}  // namespace zandor::tables
