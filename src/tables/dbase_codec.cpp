#include "tables/dbase_codec.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <system_error>

#include "tables/byte_order.h"
#include "tables/codepage.h"
#include "tables/dbase.h"
#include "tables/table_error.h"

namespace zandor::tables::dbase {
namespace {

std::string hexText(std::string_view bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

constexpr std::int64_t kJulianDayOfEpoch = 2440588;  // 1970-01-01

std::string timestampText(std::int64_t daysSinceEpoch, std::int64_t millis)
{
    const Date d = fromDayNumber(daysSinceEpoch + kDayNumberOf1970);
    const std::int64_t seconds = millis / 1000;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day,
                  static_cast<int>(seconds / 3600 % 24), static_cast<int>(seconds / 60 % 60),
                  static_cast<int>(seconds % 60));
    return buf;
}

// ---- numbers -----------------------------------------------------------------------------

struct Digits {
    bool negative = false;
    char digits[24] = {};
    int count = 0;
    int exponent = 0;  // of the first digit
};

// Splits the scientific text of to_chars ("-1.2345e-07") into digits and exponent; trailing
// zeros of the digits are dropped.
Digits splitScientific(const char* first, const char* last)
{
    Digits d;
    const char* p = first;
    if (p < last && *p == '-') {
        d.negative = true;
        ++p;
    }
    for (; p < last && *p != 'e'; ++p)
        if (*p != '.' && d.count < 20)
            d.digits[d.count++] = *p;
    if (p < last) {
        ++p;
        std::from_chars(*p == '+' ? p + 1 : p, last, d.exponent);
    }
    while (d.count > 1 && d.digits[d.count - 1] == '0')
        --d.count;
    return d;
}

// The most significant digits a fixed text of d's exponent shows in `room` characters
// (0: none fit).
int fixedRoom(const Digits& d, int room)
{
    const int sign = d.negative ? 1 : 0;
    if (d.exponent >= 0) {
        const int whole = d.exponent + 1;
        if (sign + whole > room)
            return 0;
        return whole + std::max(0, room - sign - whole - 1);
    }
    return std::max(0, room - sign - 2 - (-d.exponent - 1));
}

int exponentLength(int e) { return (e < 0 ? 1 : 0) + (std::abs(e) >= 100 ? 3 : std::abs(e) >= 10 ? 2 : 1); }

// The same for a scientific text ("1.5E-7").
int scientificRoom(const Digits& d, int room)
{
    const int base = (d.negative ? 1 : 0) + 2 + exponentLength(d.exponent);
    if (base > room)
        return 0;
    return room - base >= 2 ? room - base : 1;
}

std::size_t writeFixed(const Digits& d, char* out)
{
    char* p = out;
    if (d.negative)
        *p++ = '-';
    if (d.exponent >= 0) {
        for (int i = 0; i <= d.exponent || i < d.count; ++i) {
            if (i == d.exponent + 1)
                *p++ = '.';
            *p++ = i < d.count ? d.digits[i] : '0';
        }
    } else {
        *p++ = '0';
        *p++ = '.';
        for (int i = 0; i < -d.exponent - 1; ++i)
            *p++ = '0';
        for (int i = 0; i < d.count; ++i)
            *p++ = d.digits[i];
    }
    return static_cast<std::size_t>(p - out);
}

std::size_t writeScientific(const Digits& d, char* out)
{
    char* p = out;
    if (d.negative)
        *p++ = '-';
    *p++ = d.digits[0];
    if (d.count > 1) {
        *p++ = '.';
        for (int i = 1; i < d.count; ++i)
            *p++ = d.digits[i];
    }
    *p++ = 'E';
    p = std::to_chars(p, p + 8, d.exponent).ptr;
    return static_cast<std::size_t>(p - out);
}

// Writes the N-field text of `value` into out (room for `width` characters); returns its
}  // namespace

// length, 0 when it cannot keep 13 significant digits (or all of them, if fewer).
std::size_t formatNumeric(double value, int width, char* out)
{
    if (!std::isfinite(value) || width < 1)
        return 0;
    if (value == 0) {
        out[0] = '0';
        return 1;
    }
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    Digits d = splitScientific(buf, r.ptr);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int fixed = fixedRoom(d, width);
        const int scientific = scientificRoom(d, width);
        if (d.count <= fixed)
            return writeFixed(d, out);
        if (d.count <= scientific)
            return writeScientific(d, out);
        const int digits = std::max(fixed, scientific);
        if (digits < 13)
            return 0;
        // Round to the digits that fit; rounding up may carry into a new exponent, which the
        // next round measures again.
        r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, digits - 1);
        d = splitScientific(buf, r.ptr);
    }
    return 0;
}

namespace {

// Number text of an N or F field: blanks around, '*' fill for overflow (read as null).
enum class NumberParse { Ok, Blank, Bad };

NumberParse parseDouble(std::string_view text, double& out)
{
    text = trimmed(text);
    if (text.empty() || text.front() == '*')
        return NumberParse::Blank;
    if (text.front() == '+')
        text.remove_prefix(1);
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    if (ec == std::errc() && end == text.data() + text.size() && std::isfinite(out))
        return NumberParse::Ok;
    if (text.find(',') != std::string_view::npos && text.find('.') == std::string_view::npos) {
        std::string copy(text);
        std::replace(copy.begin(), copy.end(), ',', '.');
        auto [e2, ec2] = std::from_chars(copy.data(), copy.data() + copy.size(), out);
        if (ec2 == std::errc() && e2 == copy.data() + copy.size() && std::isfinite(out))
            return NumberParse::Ok;
    }
    return NumberParse::Bad;
}

NumberParse parseInteger(std::string_view text, std::int64_t& out)
{
    text = trimmed(text);
    if (text.empty() || text.front() == '*')
        return NumberParse::Blank;
    if (text.front() == '+')
        text.remove_prefix(1);
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    if (ec == std::errc() && end == text.data() + text.size())
        return NumberParse::Ok;
    double d = 0;
    if (parseDouble(text, d) == NumberParse::Ok && d == std::trunc(d) && std::fabs(d) < 9.2e18) {
        out = static_cast<std::int64_t>(d);
        return NumberParse::Ok;
    }
    return NumberParse::Bad;
}

bool isNullValue(const Value& v) { return std::holds_alternative<std::monostate>(v); }

std::string toShortText(double d)
{
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, d);
    return std::string(buf, r.ptr);
}

}  // namespace

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\0'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0'))
        s.remove_suffix(1);
    return s;
}

std::string_view trimmedRight(std::string_view s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0'))
        s.remove_suffix(1);
    return s;
}

std::string recordName(std::size_t index) { return "record " + std::to_string(index + 1); }

bool RecordCodec::nullBitSet(const std::uint8_t* rec, int bit) const
{
    if (bit < 0 || static_cast<std::uint32_t>(bit / 8) >= layout_.nullFlagsLength)
        return false;
    return (rec[layout_.nullFlagsOffset + bit / 8] >> (bit % 8)) & 1;
}

void RecordCodec::setNullBit(std::uint8_t* rec, int bit, bool on) const
{
    if (bit < 0 || static_cast<std::uint32_t>(bit / 8) >= layout_.nullFlagsLength)
        return;
    unsigned char& b = rec[layout_.nullFlagsOffset + bit / 8];
    const auto mask = static_cast<unsigned char>(1u << (bit % 8));
    b = on ? static_cast<unsigned char>(b | mask) : static_cast<unsigned char>(b & ~mask);
}

void RecordCodec::badValue(std::size_t field, std::size_t index, const std::string& what) const
{
    throw TableError("The table " + path_ + " has a damaged value in field '" + layout_.fields[field].name +
                     "' of " + recordName(index) + ": " + what);
}

Value RecordCodec::decode(const std::uint8_t* rec, std::size_t field, std::size_t index) const
{
    const Column& c = layout_.columns[field];
    if (nullBitSet(rec, c.nullBit))
        return std::monostate{};
    const std::uint8_t* p = rec + c.offset;
    const std::string_view text(reinterpret_cast<const char*>(p), c.length);
    switch (c.coding) {
    case Coding::Text: {
        const std::string_view t = trimmedRight(text);
        if (t.empty())
            return std::monostate{};
        return decodeText(t, layout_.codePage);
    }
    case Coding::VarChar: {
        std::string_view t = text;
        if (nullBitSet(rec, c.lengthBit))
            t = t.substr(0, std::min<std::size_t>(p[c.length - 1], c.length - 1));
        t = trimmedRight(t);
        if (t.empty())
            return std::monostate{};
        return decodeText(t, layout_.codePage);
    }
    case Coding::Numeric:
        if (layout_.fields[field].storage == StorageType::LongInt) {
            std::int64_t v = 0;
            switch (parseInteger(text, v)) {
            case NumberParse::Ok: return v;
            case NumberParse::Blank: return std::monostate{};
            case NumberParse::Bad: badValue(field, index, "'" + std::string(trimmed(text)) + "' is no number");
            }
        } else {
            double v = 0;
            switch (parseDouble(text, v)) {
            case NumberParse::Ok: return v;
            case NumberParse::Blank: return std::monostate{};
            case NumberParse::Bad: badValue(field, index, "'" + std::string(trimmed(text)) + "' is no number");
            }
        }
        return std::monostate{};
    case Coding::Date: {
        const std::string_view t = trimmed(text);
        if (t.empty() || t.find_first_not_of('0') == std::string_view::npos)
            return std::monostate{};
        if (t.size() != 8 || t.find_first_not_of("0123456789") != std::string_view::npos)
            badValue(field, index, "'" + std::string(t) + "' is no date");
        Date d{(t[0] - '0') * 1000 + (t[1] - '0') * 100 + (t[2] - '0') * 10 + (t[3] - '0'),
               (t[4] - '0') * 10 + (t[5] - '0'), (t[6] - '0') * 10 + (t[7] - '0')};
        if (!isValidDate(d))
            badValue(field, index, "'" + std::string(t) + "' is no date");
        return d;
    }
    case Coding::Logical:
        switch (p[0]) {
        case 'T': case 't': case 'Y': case 'y': return true;
        case 'F': case 'f': case 'N': case 'n': return false;
        default: return std::monostate{};
        }
    case Coding::MemoRef: {
        const std::string_view t = trimmed(text);
        if (t.empty() || t.find_first_not_of('0') == std::string_view::npos)
            return std::monostate{};
        return decodeText(t, layout_.codePage);
    }
    case Coding::MemoRefBin: {
        const std::uint32_t block = getLe32(p);
        if (block == 0)
            return std::monostate{};
        return std::to_string(block);
    }
    case Coding::Int32:
        return std::int64_t{static_cast<std::int32_t>(getLe32(p))};
    case Coding::Int32Flip: {
        const std::uint32_t raw = getBe32(p);
        if (raw == 0)
            return std::monostate{};
        return std::int64_t{static_cast<std::int32_t>(raw ^ 0x80000000u)};
    }
    case Coding::Double:
        return std::bit_cast<double>(getLe64(p));
    case Coding::DoubleFlip: {
        std::uint64_t raw = getBe64(p);
        if (raw == 0)
            return std::monostate{};
        raw = (raw & 0x8000000000000000ull) ? (raw ^ 0x8000000000000000ull) : ~raw;
        return std::bit_cast<double>(raw);
    }
    case Coding::Currency:
        return static_cast<double>(static_cast<std::int64_t>(getLe64(p))) / 10000.0;
    case Coding::DateTime: {
        const std::uint32_t day = getLe32(p);
        const std::uint32_t ms = getLe32(p + 4);
        if (day == 0 && ms == 0)
            return std::monostate{};
        return timestampText(static_cast<std::int64_t>(day) - kJulianDayOfEpoch, ms);
    }
    case Coding::Timestamp7: {
        std::uint64_t raw = getBe64(p);
        if (raw == 0)
            return std::monostate{};
        raw = (raw & 0x8000000000000000ull) ? (raw ^ 0x8000000000000000ull) : ~raw;
        const double ms = std::bit_cast<double>(raw);
        if (!std::isfinite(ms) || ms < 0 || ms > 4e14)
            badValue(field, index, "the timestamp is out of range");
        const auto total = static_cast<std::int64_t>(ms);
        const std::int64_t days = total / 86400000;
        // Day 1 is 0001-01-01 (Julian day number 1721426).
        return timestampText(days + 1721425 - kJulianDayOfEpoch, total % 86400000);
    }
    case Coding::VarBinary: {
        std::string_view t = text;
        if (nullBitSet(rec, c.lengthBit))
            t = t.substr(0, std::min<std::size_t>(p[c.length - 1], c.length - 1));
        if (t.empty())
            return std::monostate{};
        return hexText(t);
    }
    case Coding::NullFlags:
    case Coding::Raw: {
        const std::string_view t = trimmedRight(text);
        if (t.empty())
            return std::monostate{};
        return decodeText(t, layout_.codePage);
    }
    }
    return std::monostate{};
}

// Blank contents of every field: what a new record holds before values are set.
void RecordCodec::blankRecord(std::uint8_t* rec) const
{
    rec[0] = ' ';
    for (const Column& c : layout_.columns) {
        std::uint8_t* p = rec + c.offset;
        switch (c.coding) {
        case Coding::Text: case Coding::Numeric: case Coding::Date: case Coding::MemoRef:
        case Coding::VarChar: case Coding::Raw:
            std::memset(p, ' ', c.length);
            break;
        case Coding::Logical:
            p[0] = layout_.foxPro ? ' ' : '?';
            break;
        default:
            std::memset(p, 0, c.length);
            break;
        }
        setNullBit(rec, c.nullBit, true);
    }
}

void RecordCodec::refuse(std::size_t field, std::size_t index, const std::string& what) const
{
    throw TableError("Cannot store " + what + " in field '" + layout_.fields[field].name + "' of " +
                     recordName(index) + " of table " + path_);
}

void RecordCodec::encodeRecord(const Record& record, std::uint8_t* rec, std::size_t index, bool fresh) const
{
    if (record.size() != layout_.columns.size())
        throw TableError("The table " + path_ + " has " + std::to_string(layout_.columns.size()) +
                         " fields, but " + recordName(index) + " has " + std::to_string(record.size()) +
                         " values");
    rec[0] = ' ';
    for (std::size_t i = 0; i < record.size(); ++i)
        encode(record[i], rec, i, index, fresh);
}

void RecordCodec::encode(const Value& v, std::uint8_t* rec, std::size_t field, std::size_t index, bool fresh) const
{
    const Column& c = layout_.columns[field];
    std::uint8_t* p = rec + c.offset;
    const bool null = std::holds_alternative<std::monostate>(v);
    const bool nullable = c.nullBit >= 0;
    if (null) {
        switch (c.coding) {
        case Coding::Text: case Coding::Numeric: case Coding::Date: case Coding::VarChar:
            std::memset(p, ' ', c.length);
            break;
        case Coding::Logical:
            p[0] = layout_.foxPro ? ' ' : '?';
            break;
        case Coding::Int32: case Coding::Double: case Coding::Currency:
            if (!nullable)
                refuse(field, index, "an empty value (the field cannot hold one)");
            std::memset(p, 0, c.length);
            break;
        case Coding::Int32Flip: case Coding::DoubleFlip:
            std::memset(p, 0, c.length);  // all zero bytes read as empty
            break;
        default:
            // A block reference or timestamp this program only reads: it may stay empty.
            if (!fresh && !isNullValue(decode(rec, field, index)))
                refuse(field, index, "an empty value (fields of type " + std::string(1, c.type) +
                                         " can only be read by this program)");
            return;
        }
        setNullBit(rec, c.nullBit, true);
        return;
    }
    setNullBit(rec, c.nullBit, false);
    switch (c.coding) {
    case Coding::Text:
    case Coding::VarChar: {
        const std::string* s = std::get_if<std::string>(&v);
        if (!s)
            refuse(field, index, "a value that is no text");
        const std::optional<std::string> bytes = encodeText(*s, layout_.codePage);
        if (!bytes)
            refuse(field, index, "the text '" + *s + "', which has characters outside code page " +
                                     std::to_string(layout_.codePage));
        if (bytes->size() > c.length)
            refuse(field, index, "the text '" + *s + "' (" + std::to_string(bytes->size()) +
                                     " bytes; the field holds " + std::to_string(c.length) + ")");
        std::memset(p, ' ', c.length);
        std::memcpy(p, bytes->data(), bytes->size());
        if (c.coding == Coding::VarChar) {
            const bool shortText = bytes->size() < c.length;
            if (c.lengthBit >= 0) {
                setNullBit(rec, c.lengthBit, shortText);
                if (shortText)
                    p[c.length - 1] = static_cast<unsigned char>(bytes->size());
            }
        }
        return;
    }
    case Coding::Numeric:
        encodeNumeric(v, p, field, index);
        return;
    case Coding::Date: {
        const Date* d = std::get_if<Date>(&v);
        if (!d)
            refuse(field, index, "a value that is no date");
        if (!isValidDate(*d))
            refuse(field, index, "the invalid date " + std::to_string(d->year) + "-" + std::to_string(d->month) +
                                     "-" + std::to_string(d->day));
        char buf[32];
        std::snprintf(buf, sizeof buf, "%04d%02d%02d", d->year, d->month, d->day);
        std::memcpy(p, buf, 8);
        return;
    }
    case Coding::Logical: {
        const bool* b = std::get_if<bool>(&v);
        if (!b)
            refuse(field, index, "a value that is not true or false");
        p[0] = *b ? 'T' : 'F';
        return;
    }
    case Coding::Int32:
    case Coding::Int32Flip: {
        const std::int64_t n = integerOf(v, field, index);
        if (n < std::numeric_limits<std::int32_t>::min() || n > std::numeric_limits<std::int32_t>::max() ||
            (c.coding == Coding::Int32Flip && n == std::numeric_limits<std::int32_t>::min()))
            refuse(field, index, "the integer " + std::to_string(n) + " (beyond 32 bits)");
        const auto u = static_cast<std::uint32_t>(static_cast<std::int32_t>(n));
        if (c.coding == Coding::Int32)
            putLe32(p, u);
        else
            putBe32(p, u ^ 0x80000000u);
        return;
    }
    case Coding::Double:
    case Coding::DoubleFlip: {
        const double d = doubleOf(v, field, index);
        std::uint64_t raw = std::bit_cast<std::uint64_t>(d);
        if (c.coding == Coding::Double) {
            putLe64(p, raw);
        } else {
            raw = (raw & 0x8000000000000000ull) ? ~raw : (raw | 0x8000000000000000ull);
            putBe64(p, raw);
        }
        return;
    }
    case Coding::Currency: {
        const double d = doubleOf(v, field, index);
        const double scaled = std::round(d * 10000.0);
        if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.2e18)
            refuse(field, index, "the amount " + toShortText(d) + " (out of the currency range)");
        putLe64(p, static_cast<std::uint64_t>(static_cast<std::int64_t>(scaled)));
        return;
    }
    default: {
        // Block references, timestamps and other types this program only reads: the
        // value may be written back unchanged, never altered.
        if (decode(rec, field, index) == v)
            return;
        refuse(field, index, "a new value (fields of type " + std::string(1, c.type) +
                                 " can only be read by this program)");
    }
    }
}

std::int64_t RecordCodec::integerOf(const Value& v, std::size_t field, std::size_t index) const
{
    if (const auto* n = std::get_if<std::int64_t>(&v))
        return *n;
    if (const auto* d = std::get_if<double>(&v)) {
        if (std::isfinite(*d) && *d == std::trunc(*d) && std::fabs(*d) < 9.2e18)
            return static_cast<std::int64_t>(*d);
        refuse(field, index, "the number " + toShortText(*d) + ", which is not a whole number");
    }
    refuse(field, index, "a value that is no number");
}

double RecordCodec::doubleOf(const Value& v, std::size_t field, std::size_t index) const
{
    if (const auto* d = std::get_if<double>(&v))
        return *d;
    if (const auto* n = std::get_if<std::int64_t>(&v))
        return static_cast<double>(*n);
    refuse(field, index, "a value that is no number");
}

void RecordCodec::encodeNumeric(const Value& v, std::uint8_t* p, std::size_t field, std::size_t index) const
{
    const Column& c = layout_.columns[field];
    const FieldInfo& info = layout_.fields[field];
    char buf[40];
    std::size_t n = 0;
    if (info.storage == StorageType::LongInt) {
        const std::int64_t value = integerOf(v, field, index);
        auto r = std::to_chars(buf, buf + sizeof buf, value);
        n = static_cast<std::size_t>(r.ptr - buf);
        if (n > c.length)
            refuse(field, index, "the integer " + std::to_string(value) + " (wider than the field's " +
                                     std::to_string(c.length) + " digits)");
    } else {
        const double value = doubleOf(v, field, index);
        if (!std::isfinite(value))
            refuse(field, index, "the value " + toShortText(value) + ", which is no finite number");
        n = formatNumeric(value, static_cast<int>(std::min<std::uint32_t>(c.length, 38)), buf);
        if (n == 0 && c.length < 19) {
            // A narrow field made by another program holds what its decimals allow.
            const int len = std::snprintf(buf, sizeof buf, "%.*f", c.decimals, value);
            if (len < 0 || static_cast<std::size_t>(len) > c.length)
                refuse(field, index, "the number " + toShortText(value) + " (too wide for the field)");
            n = static_cast<std::size_t>(len);
        } else if (n == 0) {
            refuse(field, index, "the number " + toShortText(value) +
                                     " (it cannot keep 13 significant digits in " + std::to_string(c.length) +
                                     " characters)");
        }
    }
    std::memset(p, ' ', c.length - n);
    std::memcpy(p + (c.length - n), buf, n);
}

std::optional<std::string> numericText(double value, int width)
{
    if (width > 40)
        width = 40;
    char buf[48];
    const std::size_t n = formatNumeric(value, width, buf);
    if (n == 0)
        return std::nullopt;
    return std::string(buf, n);
}

}  // namespace zandor::tables::dbase
