#include "tables/field.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "tables/table_error.h"
#include "text/numbers.h"

namespace zandor::tables {

std::string_view kindName(FieldKind kind)
{
    switch (kind) {
    case FieldKind::Char: return "Char";
    case FieldKind::Integer: return "Integer";
    case FieldKind::Float: return "Float";
    case FieldKind::Date: return "Date";
    case FieldKind::Boolean: return "Boolean";
    }
    return "Char";
}

FieldKind kindOf(StorageType storage)
{
    switch (storage) {
    case StorageType::LongInt:
    case StorageType::ShortInt:
        return FieldKind::Integer;
    case StorageType::Number:
    case StorageType::Currency:
        return FieldKind::Float;
    case StorageType::Date:
        return FieldKind::Date;
    case StorageType::Logical:
        return FieldKind::Boolean;
    default:
        // text, auto-increment, time, timestamp, memo and the rest show as "Char"
        return FieldKind::Char;
    }
}

FieldDef FieldInfo::def() const
{
    FieldDef d;
    d.name = name;
    d.required = required;
    switch (storage) {
    case StorageType::AutoInc:
        // An auto-increment number keeps its values as a plain integer elsewhere.
        d.kind = FieldKind::Integer;
        break;
    default:
        d.kind = kind();
    }
    if (d.kind == FieldKind::Char)
        d.size = std::max(1, width);
    return d;
}

bool isNull(const Value& v) { return std::holds_alternative<std::monostate>(v); }

bool sameFieldName(std::string_view a, std::string_view b)
{
    // Only ASCII letters fold (no locale): the bytes of a UTF-8 sequence compare exactly.
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

double toDouble(const Value& v)
{
    if (const auto* d = std::get_if<double>(&v))
        return *d;
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return static_cast<double>(*i);
    if (const auto* b = std::get_if<bool>(&v))
        return *b ? 1.0 : 0.0;
    if (const auto* s = std::get_if<std::string>(&v)) {
        if (s->find_first_not_of(" \t") == std::string::npos)
            return 0.0;
        try {
            return text::toNumber(*s);
        } catch (const text::NumberFormatError& e) {
            throw TableError(e.what());
        }
    }
    if (const auto* d = std::get_if<Date>(&v))
        return toDayNumber(*d);
    return 0.0;
}

std::int64_t toInteger(const Value& v)
{
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return *i;
    const double d = toDouble(v);
    if (!(std::fabs(d) < 9.2e18))
        throw TableError(text::invalidIntegerMessage(toText(v)));
    return static_cast<std::int64_t>(d);
}

std::string toText(const Value& v)
{
    if (const auto* s = std::get_if<std::string>(&v))
        return *s;
    if (const auto* d = std::get_if<double>(&v))
        return text::formatGeneral(*d);
    if (const auto* i = std::get_if<std::int64_t>(&v))
        return std::to_string(*i);
    if (const auto* b = std::get_if<bool>(&v))
        return *b ? "True" : "False";
    if (const auto* d = std::get_if<Date>(&v)) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", d->year, d->month, d->day);
        return buffer;
    }
    return {};
}

// Day numbers count from 0001-01-01 = 1 in the proleptic Gregorian calendar.
std::int32_t toDayNumber(const Date& d)
{
    const std::int64_t y = d.month <= 2 ? d.year - 1 : d.year;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (d.month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + d.day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const std::int64_t daysFrom0000_03_01 = era * 146097 + doe;
    // 0001-01-01 lies 306 days after 0000-03-01.
    return static_cast<std::int32_t>(daysFrom0000_03_01 - 306 + 1);
}

Date fromDayNumber(std::int64_t days)
{
    const std::int64_t z = days - 1 + 306;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    Date d;
    d.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    d.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    d.year = static_cast<int>(yoe + era * 400 + (d.month <= 2 ? 1 : 0));
    return d;
}

bool isValidDate(const Date& d)
{
    if (d.year < 1 || d.year > 9999 || d.month < 1 || d.month > 12 || d.day < 1)
        return false;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
    const int last = kDays[d.month - 1] + (d.month == 2 && leap ? 1 : 0);
    return d.day <= last;
}

}  // namespace zandor::tables
