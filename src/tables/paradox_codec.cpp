#include "tables/paradox_codec.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>

#include "tables/byte_order.h"
#include "tables/codepage.h"
#include "tables/table_error.h"

namespace zandor::tables::paradox {
namespace {

constexpr std::int64_t kMsPerDay = 86400000;
constexpr std::int32_t kLastDay = 3652059;  // 9999-12-31

bool allZero(const std::uint8_t* p, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        if (p[i] != 0)
            return false;
    return true;
}

std::optional<std::int64_t> getInteger(const std::uint8_t* p, int n)
{
    const std::uint64_t raw = getBe(p, n);
    if (raw == 0)
        return std::nullopt;
    const std::uint64_t signBit = std::uint64_t{1} << (8 * n - 1);
    const std::uint64_t v = raw ^ signBit;
    // Sign-extend the n-byte two's complement value.
    if (v & signBit)
        return static_cast<std::int64_t>(v) - static_cast<std::int64_t>(signBit << 1);
    return static_cast<std::int64_t>(v);
}

// The lowest value of each width encodes to all zeros, the empty value, so it is not
// storable: the range is symmetric.
void putInteger(std::uint8_t* p, std::int64_t v, int n)
{
    const std::uint64_t signBit = std::uint64_t{1} << (8 * n - 1);
    putBe(p, (static_cast<std::uint64_t>(v) & ((signBit << 1) - 1)) ^ signBit, n);
}

std::optional<double> getDouble(const std::uint8_t* p)
{
    std::uint64_t raw = getBe(p, 8);
    if (raw == 0)
        return std::nullopt;
    raw = (raw >> 63) ? raw & ~(std::uint64_t{1} << 63) : ~raw;
    return std::bit_cast<double>(raw);
}

// False for the one bit pattern (a NaN) that would encode to the empty value.
bool putDouble(std::uint8_t* p, double v)
{
    std::uint64_t bits = std::bit_cast<std::uint64_t>(v);
    bits = (bits >> 63) ? ~bits : bits | (std::uint64_t{1} << 63);
    if (bits == 0)
        return false;
    putBe(p, bits, 8);
    return true;
}

std::string twoDigits(std::int64_t v)
{
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%02lld", static_cast<long long>(v));
    return buffer;
}

std::string formatTime(std::int64_t ms)
{
    std::string sign;
    if (ms < 0) {
        sign = "-";
        ms = -ms;
    }
    const std::int64_t s = ms / 1000;
    return sign + twoDigits(s / 3600) + ":" + twoDigits(s / 60 % 60) + ":" + twoDigits(s % 60);
}

std::string formatTimestamp(double ms)
{
    if (!std::isfinite(ms) || ms < static_cast<double>(kMsPerDay) ||
        ms >= static_cast<double>(kMsPerDay) * (kLastDay + 1)) {
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%.15g", ms);
        return buffer;
    }
    const auto whole = static_cast<std::int64_t>(std::floor(ms));
    const auto day = static_cast<std::int32_t>(whole / kMsPerDay);
    const Date d = fromDayNumber(day);
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d ", d.year, d.month, d.day);
    return buffer + formatTime(whole % kMsPerDay);
}

// "HH:MM:SS" (or "HH:MM") to milliseconds since midnight.
std::optional<std::int64_t> parseTime(std::string_view s)
{
    int part[3] = {0, 0, 0};
    int count = 0;
    std::size_t i = 0;
    while (count < 3) {
        const std::size_t start = i;
        int v = 0;
        while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && i - start < 2)
            v = v * 10 + (s[i++] - '0');
        if (i == start)
            return std::nullopt;
        part[count++] = v;
        if (i == s.size())
            break;
        if (s[i++] != ':')
            return std::nullopt;
    }
    if (i != s.size() || count < 2 || part[0] > 23 || part[1] > 59 || part[2] > 59)
        return std::nullopt;
    return (part[0] * 3600 + part[1] * 60 + part[2]) * std::int64_t{1000};
}

std::optional<double> parseTimestamp(std::string_view s)
{
    if (s.size() < 12 || s[4] != '-' || s[7] != '-' || s[10] != ' ')
        return std::nullopt;
    Date d;
    auto number = [&](std::size_t at, std::size_t n, int& out) {
        out = 0;
        for (std::size_t k = at; k < at + n; ++k) {
            if (!std::isdigit(static_cast<unsigned char>(s[k])))
                return false;
            out = out * 10 + (s[k] - '0');
        }
        return true;
    };
    if (!number(0, 4, d.year) || !number(5, 2, d.month) || !number(8, 2, d.day) || !isValidDate(d))
        return std::nullopt;
    const auto time = parseTime(s.substr(11));
    if (!time)
        return std::nullopt;
    return static_cast<double>(static_cast<std::int64_t>(toDayNumber(d)) * kMsPerDay + *time);
}

std::string hexText(const std::uint8_t* p, std::size_t n)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        out += kDigits[p[i] >> 4];
        out += kDigits[p[i] & 15];
    }
    return out;
}

// Packed decimal of 17 bytes: the first byte holds the sign (high bit set for positive) and
// the number of decimals; 32 digits follow, one per nibble, complemented when negative.
std::string bcdText(const std::uint8_t* p)
{
    const bool negative = (p[0] & 0x80) == 0;
    const int decimals = std::min(p[0] & 0x3F, 32);
    const std::uint8_t flip = negative ? 0x0F : 0x00;
    std::string digits;
    for (int i = 2; i < 34; ++i) {
        const std::uint8_t nibble = ((i % 2) ? p[i / 2] : p[i / 2] >> 4) & 0x0F;
        const std::uint8_t digit = nibble ^ flip;
        digits += static_cast<char>(digit < 10 ? '0' + digit : 'A' + digit - 10);
    }
    const std::size_t wholeDigits = 32 - static_cast<std::size_t>(decimals);
    std::size_t first = 0;
    while (first < wholeDigits && digits[first] == '0')
        ++first;
    std::string out = first < wholeDigits ? digits.substr(first, wholeDigits - first) : std::string(1, '0');
    if (decimals > 0) {
        out.push_back('.');
        out.append(digits, wholeDigits, std::string::npos);
    }
    const bool zero = out.find_first_not_of("0.") == std::string::npos;
    return negative && !zero ? "-" + out : out;
}

const char* typeName(const Value& v)
{
    switch (v.index()) {
    case 1: return "an integer";
    case 2: return "a number";
    case 3: return "a text";
    case 4: return "a logical value";
    case 5: return "a date";
    default: return "an empty value";
    }
}

}  // namespace

std::string recordLabel(std::size_t index) { return "record " + std::to_string(index + 1); }

void RecordCodec::refuse(std::size_t field, std::size_t index, const std::string& why) const
{
    throw TableError("Cannot store the value of field " + fields_[field].name + " in " + recordLabel(index) +
                     " of " + path_ + ": " + why);
}

void RecordCodec::wrongType(std::size_t field, std::size_t index, const Value& v) const
{
    refuse(field, index, std::string(typeName(v)) + " does not fit a field of this type");
}

Value RecordCodec::decode(std::size_t f, const std::uint8_t* p) const
{
    const FieldLayout& l = layout_[f];
    switch (l.type) {
    case kAlpha: {
        const auto* end = static_cast<const std::uint8_t*>(std::memchr(p, 0, l.size));
        const std::size_t n = end ? static_cast<std::size_t>(end - p) : l.size;
        if (n == 0)
            return std::monostate{};
        return decodeText(std::string_view(reinterpret_cast<const char*>(p), n), codePage_);
    }
    case kShort:
    case kLong:
    case kAutoInc: {
        const auto v = getInteger(p, static_cast<int>(l.size));
        return v ? Value(*v) : Value();
    }
    case kNumber:
    case kCurrency: {
        const auto v = getDouble(p);
        return v ? Value(*v) : Value();
    }
    case kDate: {
        const auto v = getInteger(p, 4);
        return v ? Value(fromDayNumber(static_cast<std::int32_t>(*v))) : Value();
    }
    case kLogical:
        if (p[0] == 0)
            return std::monostate{};
        return (p[0] & 0x7F) != 0;
    case kTime: {
        const auto v = getInteger(p, 4);
        return v ? Value(formatTime(*v)) : Value();
    }
    case kTimestamp: {
        const auto v = getDouble(p);
        return v ? Value(formatTimestamp(*v)) : Value();
    }
    case kMemo:
    case kFmtMemo: {
        // The leader holds the start of the memo, all of it when it fits.
        if (allZero(p, l.size))
            return std::monostate{};
        const std::size_t leader = l.size - 10;
        std::size_t n = std::min<std::size_t>(getLe32(p + leader + 4), leader);
        const auto* end = static_cast<const std::uint8_t*>(std::memchr(p, 0, n));
        if (end)
            n = static_cast<std::size_t>(end - p);
        return decodeText(std::string_view(reinterpret_cast<const char*>(p), n), codePage_);
    }
    case kBlob:
    case kOle:
    case kGraphic:
        if (allZero(p, l.size))
            return std::monostate{};
        return std::string();
    case kBcd:
        if (p[0] == 0)
            return std::monostate{};
        return bcdText(p);
    default:
        if (allZero(p, l.size))
            return std::monostate{};
        return hexText(p, l.size);
    }
}

std::uint32_t RecordCodec::encode(const Record& record, std::size_t index, const std::uint8_t* old,
                                  std::vector<std::uint8_t>& out, std::uint32_t autoInc) const
{
    if (record.size() != layout_.size())
        throw TableError("A record for " + path_ + " needs " + std::to_string(layout_.size()) + " values, got " +
                         std::to_string(record.size()));
    std::fill(out.begin(), out.end(), 0);
    std::uint32_t nextAutoInc = autoInc;
    for (std::size_t f = 0; f < layout_.size(); ++f) {
        const FieldLayout& l = layout_[f];
        const Value& v = record[f];
        std::uint8_t* p = out.data() + l.offset;
        if (std::holds_alternative<std::monostate>(v)) {
            if (l.type == kAutoInc && !old) {
                if (nextAutoInc >= static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()))
                    refuse(f, index, "the automatic numbers are used up");
                putInteger(p, ++nextAutoInc, 4);
            }
            continue;
        }
        switch (l.type) {
        case kAlpha: {
            const auto* s = std::get_if<std::string>(&v);
            if (!s)
                wrongType(f, index, v);
            const auto bytes = encodeText(*s, codePage_);
            if (!bytes || bytes->find('\0') != std::string::npos)
                refuse(f, index, "the text '" + *s + "' cannot be written in code page " + std::to_string(codePage_));
            if (bytes->size() > l.size)
                refuse(f, index, "the text takes " + std::to_string(bytes->size()) + " bytes, the field holds " +
                                     std::to_string(l.size));
            std::memcpy(p, bytes->data(), bytes->size());
            break;
        }
        case kShort:
        case kLong:
        case kAutoInc: {
            std::int64_t i = 0;
            if (const auto* n = std::get_if<std::int64_t>(&v))
                i = *n;
            else if (const auto* d = std::get_if<double>(&v);
                     d && std::trunc(*d) == *d && std::fabs(*d) < 9.2e18)
                i = static_cast<std::int64_t>(*d);
            else
                wrongType(f, index, v);
            const std::int64_t limit = l.size == 2 ? 32767 : 2147483647;
            if (i > limit || i < -limit)
                refuse(f, index, "the integer " + std::to_string(i) + " is outside the range -" +
                                     std::to_string(limit) + " to " + std::to_string(limit));
            putInteger(p, i, static_cast<int>(l.size));
            if (l.type == kAutoInc && i > 0 && static_cast<std::uint32_t>(i) > nextAutoInc)
                nextAutoInc = static_cast<std::uint32_t>(i);
            break;
        }
        case kNumber:
        case kCurrency: {
            double d = 0;
            if (const auto* x = std::get_if<double>(&v))
                d = *x;
            else if (const auto* n = std::get_if<std::int64_t>(&v))
                d = static_cast<double>(*n);
            else
                wrongType(f, index, v);
            if (!putDouble(p, d))
                refuse(f, index, "this not-a-number pattern cannot be stored");
            break;
        }
        case kDate: {
            const auto* d = std::get_if<Date>(&v);
            if (!d)
                wrongType(f, index, v);
            if (!isValidDate(*d))
                refuse(f, index, "the date " + std::to_string(d->year) + "-" + std::to_string(d->month) + "-" +
                                     std::to_string(d->day) + " does not exist");
            putInteger(p, toDayNumber(*d), 4);
            break;
        }
        case kLogical: {
            const auto* b = std::get_if<bool>(&v);
            if (!b)
                wrongType(f, index, v);
            p[0] = *b ? 0x81 : 0x80;
            break;
        }
        case kTime: {
            const auto* s = std::get_if<std::string>(&v);
            const auto ms = s ? parseTime(*s) : std::nullopt;
            if (!ms)
                refuse(f, index, "a time needs the form HH:MM:SS");
            putInteger(p, *ms, 4);
            break;
        }
        case kTimestamp: {
            const auto* s = std::get_if<std::string>(&v);
            const auto ms = s ? parseTimestamp(*s) : std::nullopt;
            if (!ms)
                refuse(f, index, "a time stamp needs the form YYYY-MM-DD HH:MM:SS");
            putDouble(p, *ms);
            break;
        }
        case kMemo: {
            // A memo that fits in the record's leader is held there whole.
            if (old && decode(f, old + l.offset) == v) {
                std::memcpy(p, old + l.offset, l.size);
                break;
            }
            const auto* s = std::get_if<std::string>(&v);
            if (!s)
                wrongType(f, index, v);
            const auto bytes = encodeText(*s, codePage_);
            if (!bytes || bytes->find('\0') != std::string::npos)
                refuse(f, index, "the text cannot be written in code page " + std::to_string(codePage_));
            const std::size_t leader = l.size - 10;
            if (bytes->size() > leader)
                refuse(f, index, "the memo takes " + std::to_string(bytes->size()) + " bytes; only " +
                                     std::to_string(leader) + " can be kept in the table itself");
            std::memcpy(p, bytes->data(), bytes->size());
            putLe32(p + leader + 4, static_cast<std::uint32_t>(bytes->size()));
            break;
        }
        default:
            // Blobs, packed decimals and raw bytes are kept as they are.
            if (old && decode(f, old + l.offset) == v) {
                std::memcpy(p, old + l.offset, l.size);
                break;
            }
            refuse(f, index, "fields of type " + std::to_string(l.type) + " cannot be changed here");
        }
    }
    return nextAutoInc;
}

}  // namespace zandor::tables::paradox
