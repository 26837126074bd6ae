#include "tables/table_file.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "tables/table_error.h"
#include "text/numbers.h"

namespace zandor::tables {
namespace {

std::string lowerExtension(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext;
}

std::int64_t wholeValue(double d, const FieldInfo& field)
{
    if (!std::isfinite(d))
        throw TableError("The value " + text::formatGeneral(d) + " cannot be stored in the integer field " + field.name);
    const double rounded = text::roundHalfEven(d);
    const double limit = field.storage == StorageType::ShortInt ? 32767.0 : 2147483647.0;
    if (rounded > limit || rounded < -limit - 1)
        throw TableError("The value " + text::formatGeneral(d) + " is out of range for the integer field " + field.name);
    return static_cast<std::int64_t>(rounded);
}

Date parseDate(const std::string& s, const FieldInfo& field)
{
    Date d;
    const char* p = s.data();
    const char* end = p + s.size();
    auto number = [&](int& out) {
        auto [next, ec] = std::from_chars(p, end, out);
        if (ec != std::errc())
            return false;
        p = next;
        return true;
    };
    const bool ok = number(d.year) && p < end && *p++ == '-' && number(d.month) && p < end && *p++ == '-' &&
                    number(d.day) && p == end && isValidDate(d);
    if (!ok)
        throw TableError("'" + s + "' is not a valid date for the field " + field.name + " (use YYYY-MM-DD)");
    return d;
}

bool parseBoolean(const std::string& s, const FieldInfo& field)
{
    std::string t;
    for (unsigned char c : s)
        if (!std::isspace(c))
            t += static_cast<char>(std::tolower(c));
    if (t == "true" || t == "t" || t == "yes" || t == "y" || t == "1")
        return true;
    if (t == "false" || t == "f" || t == "no" || t == "n" || t == "0")
        return false;
    throw TableError("'" + s + "' is not a valid boolean value for the field " + field.name);
}

}  // namespace

std::string_view formatName(TableFormat format)
{
    switch (format) {
    case TableFormat::Paradox: return "Paradox";
    case TableFormat::DBase: return "dBase";
    case TableFormat::FoxPro: return "FoxPro";
    case TableFormat::Ascii: return "ASCII";
    }
    return "Paradox";
}

TableFormat formatOfPath(const std::string& path)
{
    const std::string ext = lowerExtension(path);
    if (ext.empty() || ext == ".db")
        return TableFormat::Paradox;
    if (ext == ".dbf")
        return TableFormat::DBase;
    throw TableError("The file " + path + " is not a table: use a .db (Paradox) or .dbf (dBase) file");
}

std::string withDefaultExtension(const std::string& path)
{
    return lowerExtension(path).empty() ? path + ".DB" : path;
}

Value coerceToField(const Value& value, const FieldInfo& field)
{
    if (isNull(value))
        return value;
    // An emptied cell of a number, date or logical field becomes null, as in a grid.
    if (const auto* s = std::get_if<std::string>(&value);
        s && kindOf(field.storage) != FieldKind::Char && s->find_first_not_of(" \t") == std::string::npos)
        return std::monostate{};
    switch (field.storage) {
    case StorageType::LongInt:
    case StorageType::ShortInt:
    case StorageType::AutoInc:
        if (const auto* i = std::get_if<std::int64_t>(&value))
            return wholeValue(static_cast<double>(*i), field);
        return wholeValue(toDouble(value), field);
    case StorageType::Number:
    case StorageType::Currency:
        return toDouble(value);
    case StorageType::Date:
        if (std::holds_alternative<Date>(value))
            return value;
        if (const auto* s = std::get_if<std::string>(&value))
            return parseDate(*s, field);
        throw TableError("A number cannot be stored in the date field " + field.name);
    case StorageType::Logical:
        if (std::holds_alternative<bool>(value))
            return value;
        if (const auto* s = std::get_if<std::string>(&value))
            return parseBoolean(*s, field);
        return toDouble(value) != 0.0;
    default:
        return toText(value);
    }
}

}  // namespace zandor::tables
