// Field definitions, stored field descriptions and cell values of the table store.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zandor::tables {

// The five type names every window and statement speaks in.
enum class FieldKind { Char, Integer, Float, Date, Boolean };

std::string_view kindName(FieldKind kind);  // "Char", "Integer", "Float", "Date", "Boolean"

// How a field is stored in its file. Readers map every on-disk type to one of these;
// writers produce only the first group.
enum class StorageType {
    Alpha,      // fixed-width text (Paradox A, dBase C)
    LongInt,    // 32-bit integer (Paradox long integer, dBase N(11,0), FoxPro I)
    Number,     // IEEE double (Paradox number, dBase N, FoxPro B)
    Date,
    Logical,
    // read-only types, found in tables made by other programs
    ShortInt,
    AutoInc,
    Currency,
    Time,
    Timestamp,
    Memo,
    Blob,
    Bcd,
    Bytes,
    Other,
};

// The type name a stored type is shown under.
FieldKind kindOf(StorageType storage);

// A field as a table definition names it: the "name type" of a Create table statement.
struct FieldDef {
    std::string name;  // UTF-8
    FieldKind kind = FieldKind::Float;
    int size = 0;      // characters, for Char only
    bool required = false;
};

// A field as found in a file.
struct FieldInfo {
    std::string name;  // UTF-8
    StorageType storage = StorageType::Number;
    int size = 0;      // bytes in the record
    int width = 0;     // display width (characters for text)
    int decimals = 0;  // dBase numeric fields only
    bool required = false;

    FieldKind kind() const { return kindOf(storage); }
    FieldDef def() const;  // the definition that recreates it in another format
};

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
    friend bool operator==(const Date&, const Date&) = default;
};

// A cell value. std::monostate is the null (empty) value.
using Value = std::variant<std::monostate, std::int64_t, double, std::string, bool, Date>;
using Record = std::vector<Value>;

bool isNull(const Value& v);

// Field names compare without regard to the case of ASCII letters, as both Paradox and dBase
// treat them ("Result" and "RESULT" are one field); every other character, Chinese included,
// must match exactly.
bool sameFieldName(std::string_view a, std::string_view b);

// Conversions used when a field is read "as" another type (the grid, the analyses) or
// when a value is set into a field of another type. Null reads as 0 or the empty text.
double toDouble(const Value& v);          // text that is not a number throws TableError
std::int64_t toInteger(const Value& v);   // doubles are truncated toward zero
std::string toText(const Value& v);       // numbers in the general 15-digit form, dates as YYYY-MM-DD

// Days since 0001-01-01 (day 1) in the proleptic Gregorian calendar, as Paradox stores dates.
std::int32_t toDayNumber(const Date& d);
Date fromDayNumber(std::int64_t days);
// The day number of 1970-01-01, from which FoxPro and dBase 7 time stamps are reckoned.
inline constexpr std::int64_t kDayNumberOf1970 = 719163;
bool isValidDate(const Date& d);

}  // namespace zandor::tables
