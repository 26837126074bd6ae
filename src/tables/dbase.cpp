#include "tables/dbase.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>
#include <system_error>

#include "tables/binary_file.h"
#include "tables/codepage.h"
#include "tables/table_error.h"

namespace zandor::tables::dbase {
namespace {

constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kDescriptorSize = 32;
constexpr std::size_t kDbase7HeaderSize = 68;      // header, language-driver name, reserved
constexpr std::size_t kDbase7DescriptorSize = 48;
constexpr std::size_t kBacklinkSize = 263;         // Visual FoxPro database container path
constexpr unsigned char kTerminator = 0x0D;
constexpr unsigned char kEndOfFile = 0x1A;
constexpr unsigned char kGbkLanguageDriver = 0x7A;  // code page 936, Windows
constexpr std::size_t kChunkBytes = std::size_t{1} << 20;  // read-ahead and append buffer

// Visual FoxPro field flags.
constexpr unsigned char kFlagSystem = 0x01;
constexpr unsigned char kFlagNullable = 0x02;
constexpr unsigned char kFlagBinary = 0x04;

// How a field's bytes are read and written.
enum class Coding : std::uint8_t {
    Text,         // C: blank-padded text
    Numeric,      // N, F: right-aligned number text
    Date,         // D: YYYYMMDD
    Logical,      // L: T/F/Y/N, '?' or blank for unknown
    MemoRef,      // M, G, P, B (dBase): 10-character block number
    MemoRefBin,   // M, G, P, W (Visual FoxPro): 4-byte block number
    Int32,        // I (FoxPro): little-endian
    Int32Flip,    // I, + (dBase 7): big-endian, sign bit flipped
    Double,       // B (Visual FoxPro): little-endian IEEE double
    DoubleFlip,   // O (dBase 7): big-endian, sign bit flipped
    Currency,     // Y: 64-bit integer, ten-thousandths
    DateTime,     // T (Visual FoxPro): Julian day and milliseconds
    Timestamp7,   // @ (dBase 7): milliseconds as a flipped double
    VarChar,      // V (Visual FoxPro)
    VarBinary,    // Q (Visual FoxPro)
    NullFlags,    // _NullFlags (hidden)
    Raw,          // anything else: shown as text
};

struct Column {
    char type = 'C';
    Coding coding = Coding::Text;
    std::uint32_t offset = 0;  // in the record, counting the deletion flag
    std::uint32_t length = 0;
    int decimals = 0;
    int nullBit = -1;
    int lengthBit = -1;
};

struct Layout {
    unsigned char version = 0;
    bool foxPro = false;
    bool dbase7 = false;
    std::uint32_t recordCount = 0;
    std::uint32_t headerLength = 0;
    std::uint32_t recordLength = 0;
    int codePage = kDefaultCodePage;
    std::vector<FieldInfo> fields;
    std::vector<Column> columns;  // one per field, same order
    std::uint32_t nullFlagsOffset = 0;
    std::uint32_t nullFlagsLength = 0;
};

[[noreturn]] void damaged(const std::string& path, const std::string& what)
{
    throw TableError("The file " + path + " is not a valid dBase table: " + what);
}

std::uint16_t get16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t get32(const unsigned char* p)
{
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}
std::uint64_t get64(const unsigned char* p) { return std::uint64_t{get32(p)} | (std::uint64_t{get32(p + 4)} << 32); }
std::uint32_t get32be(const unsigned char* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}
std::uint64_t get64be(const unsigned char* p) { return (std::uint64_t{get32be(p)} << 32) | get32be(p + 4); }
void put16(unsigned char* p, std::uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}
void put32(unsigned char* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}
void put64(unsigned char* p, std::uint64_t v)
{
    put32(p, static_cast<std::uint32_t>(v));
    put32(p + 4, static_cast<std::uint32_t>(v >> 32));
}
void put32be(unsigned char* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (24 - 8 * i));
}
void put64be(unsigned char* p, std::uint64_t v)
{
    put32be(p, static_cast<std::uint32_t>(v >> 32));
    put32be(p + 4, static_cast<std::uint32_t>(v));
}

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

// ---- dates -------------------------------------------------------------------------------

// The Gregorian date of a day count from 1970-01-01.
Date civilFromDays(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return Date{static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

bool validDate(const Date& d)
{
    if (d.year < 1 || d.year > 9999 || d.month < 1 || d.month > 12 || d.day < 1)
        return false;
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
    const int last = d.month == 2 && leap ? 29 : lengths[d.month - 1];
    return d.day <= last;
}

constexpr std::int64_t kJulianDayOfEpoch = 2440588;  // 1970-01-01

std::string timestampText(std::int64_t daysSinceEpoch, std::int64_t millis)
{
    const Date d = civilFromDays(daysSinceEpoch);
    const std::int64_t seconds = millis / 1000;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day,
                  static_cast<int>(seconds / 3600 % 24), static_cast<int>(seconds / 60 % 60),
                  static_cast<int>(seconds % 60));
    return buf;
}

void todayInto(unsigned char* yymmdd)
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    yymmdd[0] = static_cast<unsigned char>(std::clamp(local.tm_year, 0, 255));
    yymmdd[1] = static_cast<unsigned char>(local.tm_mon + 1);
    yymmdd[2] = static_cast<unsigned char>(local.tm_mday);
}

// ---- code pages --------------------------------------------------------------------------

std::string withExtension(const std::string& path, const std::string& lower, const std::string& upper)
{
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + lower;
    const std::string ext = path.substr(dot + 1);
    const bool allUpper = !ext.empty() && std::none_of(ext.begin(), ext.end(), [](char c) { return c >= 'a' && c <= 'z'; });
    return path.substr(0, dot) + (allUpper ? upper : lower);
}

int codePageBeside(const std::string& path)
{
    for (const std::string& cpg : {withExtension(path, ".cpg", ".CPG"), withExtension(path, ".CPG", ".cpg")}) {
        if (!fileExists(cpg))
            continue;
        try {
            BinaryFile f = BinaryFile::openExisting(cpg, false);
            char text[64] = {};
            const std::size_t n = f.readSome(0, text, sizeof text - 1);
            return codePageFromCpg(std::string(text, n));
        } catch (const TableError&) {
            return 0;
        }
    }
    return 0;
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

// ---- the open table ----------------------------------------------------------------------

class DbfTable final : public TableFile {
public:
    DbfTable(BinaryFile file, Layout layout, bool readOnly)
        : file_(std::move(file)), layout_(std::move(layout)), readOnly_(readOnly),
          diskCount_(layout_.recordCount)
    {
        path_ = file_.path();
        scanDeleted();
    }

    ~DbfTable() override
    {
        try {
            if (!readOnly_)
                flush();
        } catch (...) {
            // A destructor cannot report; flush() is the place where write errors surface.
        }
    }

    TableFormat format() const override { return layout_.foxPro ? TableFormat::FoxPro : TableFormat::DBase; }
    const std::string& path() const override { return path_; }
    const std::vector<FieldInfo>& fields() const override { return layout_.fields; }
    std::size_t recordCount() const override { return hasDeleted_ ? live_.size() : totalCount(); }
    bool readOnly() const override { return readOnly_; }

    void read(std::size_t index, Record& out) override
    {
        const std::uint64_t phys = physical(index);
        const unsigned char* rec = recordBytes(phys);
        out.resize(layout_.columns.size());
        for (std::size_t i = 0; i < layout_.columns.size(); ++i)
            out[i] = decode(rec, i, index);
    }

    void write(std::size_t index, const Record& record) override
    {
        requireWritable();
        const std::uint64_t phys = physical(index);
        std::vector<unsigned char> bytes(layout_.recordLength);
        std::memcpy(bytes.data(), recordBytes(phys), bytes.size());
        encodeRecord(record, bytes.data(), index, false);
        storeRecord(phys, bytes.data());
    }

    void append(const Record& record) override
    {
        requireWritable();
        if (totalCount() >= std::numeric_limits<std::uint32_t>::max())
            throw TableError("The table " + path_ + " cannot hold more records");
        std::vector<unsigned char>& bytes = scratch_;
        bytes.assign(layout_.recordLength, 0);
        blankRecord(bytes.data());
        encodeRecord(record, bytes.data(), recordCount(), true);
        const std::uint64_t phys = totalCount();
        pending_.insert(pending_.end(), bytes.begin(), bytes.end());
        if (hasDeleted_)
            live_.push_back(static_cast<std::uint32_t>(phys));
        headerDirty_ = true;
        if (pending_.size() >= kChunkBytes)
            writePending();
    }

    void remove(std::size_t index) override
    {
        requireWritable();
        const std::uint64_t phys = physical(index);
        const unsigned char mark = '*';
        std::vector<unsigned char> bytes(layout_.recordLength);
        std::memcpy(bytes.data(), recordBytes(phys), bytes.size());
        bytes[0] = mark;
        storeRecord(phys, bytes.data());
        if (!hasDeleted_) {
            live_.clear();
            live_.reserve(totalCount());
            for (std::uint64_t i = 0; i < totalCount(); ++i)
                live_.push_back(static_cast<std::uint32_t>(i));
            hasDeleted_ = true;
        }
        live_.erase(live_.begin() + static_cast<std::ptrdiff_t>(index));
    }

    void flush() override
    {
        if (readOnly_)
            return;
        writePending();
        if (!headerDirty_)
            return;
        unsigned char head[8];
        head[0] = layout_.version;
        todayInto(head + 1);
        put32(head + 4, static_cast<std::uint32_t>(diskCount_));
        file_.writeAt(0, head, sizeof head);
        const unsigned char eof = kEndOfFile;
        file_.writeAt(layout_.headerLength + diskCount_ * layout_.recordLength, &eof, 1);
        headerDirty_ = false;
    }

private:
    std::uint64_t totalCount() const { return diskCount_ + pending_.size() / layout_.recordLength; }

    std::string recordName(std::size_t index) const { return "record " + std::to_string(index + 1); }

    void requireWritable() const
    {
        if (readOnly_)
            throw TableError("The table " + path_ + " is read-only");
    }

    std::uint64_t physical(std::size_t index) const
    {
        if (index >= recordCount())
            throw TableError("The table " + path_ + " has no " + recordName(index) + " (it has " +
                             std::to_string(recordCount()) + " records)");
        return hasDeleted_ ? live_[index] : index;
    }

    // Reads the deletion flags once, in large blocks, to number the live records.
    void scanDeleted()
    {
        const std::uint64_t count = diskCount_;
        if (count == 0)
            return;
        const std::uint64_t perChunk = std::max<std::uint64_t>(1, (4 * kChunkBytes) / layout_.recordLength);
        std::vector<unsigned char> buf;
        for (std::uint64_t first = 0; first < count; first += perChunk) {
            const std::uint64_t n = std::min(perChunk, count - first);
            buf.resize(n * layout_.recordLength);
            file_.readExact(layout_.headerLength + first * layout_.recordLength, buf.data(), buf.size());
            for (std::uint64_t i = 0; i < n; ++i) {
                const bool deleted = buf[i * layout_.recordLength] == '*';
                if (deleted && !hasDeleted_) {
                    hasDeleted_ = true;
                    live_.reserve(count);
                    for (std::uint64_t j = 0; j < first + i; ++j)
                        live_.push_back(static_cast<std::uint32_t>(j));
                }
                if (hasDeleted_ && !deleted)
                    live_.push_back(static_cast<std::uint32_t>(first + i));
            }
        }
    }

    // The bytes of physical record `phys`, from the append buffer or the read-ahead block.
    const unsigned char* recordBytes(std::uint64_t phys)
    {
        if (phys >= diskCount_)
            return pending_.data() + (phys - diskCount_) * layout_.recordLength;
        if (phys < cacheFirst_ || phys >= cacheFirst_ + cacheCount_) {
            const std::uint64_t perChunk = std::max<std::uint64_t>(1, kChunkBytes / layout_.recordLength);
            const std::uint64_t n = std::min(perChunk, diskCount_ - phys);
            cache_.resize(n * layout_.recordLength);
            cacheCount_ = 0;
            file_.readExact(layout_.headerLength + phys * layout_.recordLength, cache_.data(), cache_.size());
            cacheFirst_ = phys;
            cacheCount_ = n;
        }
        return cache_.data() + (phys - cacheFirst_) * layout_.recordLength;
    }

    void storeRecord(std::uint64_t phys, const unsigned char* bytes)
    {
        const std::size_t len = layout_.recordLength;
        if (phys >= diskCount_) {
            std::memcpy(pending_.data() + (phys - diskCount_) * len, bytes, len);
            return;
        }
        file_.writeAt(layout_.headerLength + phys * len, bytes, len);
        if (phys >= cacheFirst_ && phys < cacheFirst_ + cacheCount_)
            std::memcpy(cache_.data() + (phys - cacheFirst_) * len, bytes, len);
        headerDirty_ = true;
    }

    void writePending()
    {
        if (pending_.empty())
            return;
        file_.writeAt(layout_.headerLength + diskCount_ * layout_.recordLength, pending_.data(), pending_.size());
        diskCount_ += pending_.size() / layout_.recordLength;
        pending_.clear();
        headerDirty_ = true;
    }

    // ---- values ------------------------------------------------------------------------

    bool nullBitSet(const unsigned char* rec, int bit) const
    {
        if (bit < 0 || static_cast<std::uint32_t>(bit / 8) >= layout_.nullFlagsLength)
            return false;
        return (rec[layout_.nullFlagsOffset + bit / 8] >> (bit % 8)) & 1;
    }

    void setNullBit(unsigned char* rec, int bit, bool on) const
    {
        if (bit < 0 || static_cast<std::uint32_t>(bit / 8) >= layout_.nullFlagsLength)
            return;
        unsigned char& b = rec[layout_.nullFlagsOffset + bit / 8];
        const auto mask = static_cast<unsigned char>(1u << (bit % 8));
        b = on ? static_cast<unsigned char>(b | mask) : static_cast<unsigned char>(b & ~mask);
    }

    [[noreturn]] void badValue(std::size_t field, std::size_t index, const std::string& what) const
    {
        throw TableError("The table " + path_ + " has a damaged value in field '" + layout_.fields[field].name +
                         "' of " + recordName(index) + ": " + what);
    }

    Value decode(const unsigned char* rec, std::size_t field, std::size_t index) const
    {
        const Column& c = layout_.columns[field];
        if (nullBitSet(rec, c.nullBit))
            return std::monostate{};
        const unsigned char* p = rec + c.offset;
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
            if (!validDate(d))
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
            const std::uint32_t block = get32(p);
            if (block == 0)
                return std::monostate{};
            return std::to_string(block);
        }
        case Coding::Int32:
            return std::int64_t{static_cast<std::int32_t>(get32(p))};
        case Coding::Int32Flip: {
            const std::uint32_t raw = get32be(p);
            if (raw == 0)
                return std::monostate{};
            return std::int64_t{static_cast<std::int32_t>(raw ^ 0x80000000u)};
        }
        case Coding::Double:
            return std::bit_cast<double>(get64(p));
        case Coding::DoubleFlip: {
            std::uint64_t raw = get64be(p);
            if (raw == 0)
                return std::monostate{};
            raw = (raw & 0x8000000000000000ull) ? (raw ^ 0x8000000000000000ull) : ~raw;
            return std::bit_cast<double>(raw);
        }
        case Coding::Currency:
            return static_cast<double>(static_cast<std::int64_t>(get64(p))) / 10000.0;
        case Coding::DateTime: {
            const std::uint32_t day = get32(p);
            const std::uint32_t ms = get32(p + 4);
            if (day == 0 && ms == 0)
                return std::monostate{};
            return timestampText(static_cast<std::int64_t>(day) - kJulianDayOfEpoch, ms);
        }
        case Coding::Timestamp7: {
            std::uint64_t raw = get64be(p);
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
    void blankRecord(unsigned char* rec) const
    {
        rec[0] = ' ';
        for (const Column& c : layout_.columns) {
            unsigned char* p = rec + c.offset;
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

    [[noreturn]] void refuse(std::size_t field, std::size_t index, const std::string& what) const
    {
        throw TableError("Cannot store " + what + " in field '" + layout_.fields[field].name + "' of " +
                         recordName(index) + " of table " + path_);
    }

    void encodeRecord(const Record& record, unsigned char* rec, std::size_t index, bool fresh)
    {
        if (record.size() != layout_.columns.size())
            throw TableError("The table " + path_ + " has " + std::to_string(layout_.columns.size()) +
                             " fields, but " + recordName(index) + " has " + std::to_string(record.size()) +
                             " values");
        rec[0] = ' ';
        for (std::size_t i = 0; i < record.size(); ++i)
            encode(record[i], rec, i, index, fresh);
    }

    void encode(const Value& v, unsigned char* rec, std::size_t field, std::size_t index, bool fresh)
    {
        const Column& c = layout_.columns[field];
        unsigned char* p = rec + c.offset;
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
            if (!validDate(*d))
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
                put32(p, u);
            else
                put32be(p, u ^ 0x80000000u);
            return;
        }
        case Coding::Double:
        case Coding::DoubleFlip: {
            const double d = doubleOf(v, field, index);
            std::uint64_t raw = std::bit_cast<std::uint64_t>(d);
            if (c.coding == Coding::Double) {
                put64(p, raw);
            } else {
                raw = (raw & 0x8000000000000000ull) ? ~raw : (raw | 0x8000000000000000ull);
                put64be(p, raw);
            }
            return;
        }
        case Coding::Currency: {
            const double d = doubleOf(v, field, index);
            const double scaled = std::round(d * 10000.0);
            if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.2e18)
                refuse(field, index, "the amount " + toShortText(d) + " (out of the currency range)");
            put64(p, static_cast<std::uint64_t>(static_cast<std::int64_t>(scaled)));
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

    static bool isNullValue(const Value& v) { return std::holds_alternative<std::monostate>(v); }

    static std::string toShortText(double d)
    {
        char buf[32];
        auto r = std::to_chars(buf, buf + sizeof buf, d);
        return std::string(buf, r.ptr);
    }

    std::int64_t integerOf(const Value& v, std::size_t field, std::size_t index) const
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

    double doubleOf(const Value& v, std::size_t field, std::size_t index) const
    {
        if (const auto* d = std::get_if<double>(&v))
            return *d;
        if (const auto* n = std::get_if<std::int64_t>(&v))
            return static_cast<double>(*n);
        refuse(field, index, "a value that is no number");
    }

    void encodeNumeric(const Value& v, unsigned char* p, std::size_t field, std::size_t index) const
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

    BinaryFile file_;
    std::string path_;
    Layout layout_;
    bool readOnly_ = true;
    std::uint64_t diskCount_ = 0;  // records on disk (the header's count after flush)
    bool hasDeleted_ = false;
    std::vector<std::uint32_t> live_;  // physical numbers of live records, when some are deleted
    std::vector<unsigned char> cache_;
    std::uint64_t cacheFirst_ = 0;
    std::uint64_t cacheCount_ = 0;
    std::vector<unsigned char> pending_;  // appended records not yet on disk
    std::vector<unsigned char> scratch_;
    bool headerDirty_ = false;
};

// ---- reading the header ------------------------------------------------------------------

struct VersionInfo {
    bool known = false;
    bool foxPro = false;
    bool dbase7 = false;
};

VersionInfo versionInfo(unsigned char v)
{
    switch (v) {
    case 0x03: case 0x83: case 0x8B: case 0x7B: case 0xCB: case 0x43: case 0x63: case 0x05: case 0xE5:
        return {true, false, false};
    case 0x04: case 0x8C:
        return {true, false, true};
    case 0x30: case 0x31: case 0x32: case 0xF5: case 0xFB:
        return {true, true, false};
    default:
        return {};
    }
}

StorageType storageOf(Coding coding, const Column& c)
{
    switch (coding) {
    case Coding::Text: case Coding::VarChar: return StorageType::Alpha;
    case Coding::Numeric:
        return (c.decimals == 0 && c.length <= 18) ? StorageType::LongInt : StorageType::Number;
    case Coding::Date: return StorageType::Date;
    case Coding::Logical: return StorageType::Logical;
    case Coding::MemoRef: case Coding::MemoRefBin:
        return (c.type == 'M') ? StorageType::Memo : StorageType::Blob;
    case Coding::Int32: return StorageType::LongInt;
    case Coding::Int32Flip: return c.type == '+' ? StorageType::AutoInc : StorageType::LongInt;
    case Coding::Double: case Coding::DoubleFlip: return StorageType::Number;
    case Coding::Currency: return StorageType::Currency;
    case Coding::DateTime: case Coding::Timestamp7: return StorageType::Timestamp;
    case Coding::VarBinary: return StorageType::Bytes;
    case Coding::NullFlags: case Coding::Raw: return StorageType::Other;
    }
    return StorageType::Other;
}

Coding codingOf(char type, std::uint32_t length, const VersionInfo& v, unsigned char flags)
{
    switch (type) {
    case 'C': return (flags & kFlagBinary) && v.foxPro ? Coding::Raw : Coding::Text;
    case 'N': case 'F': return length <= 40 ? Coding::Numeric : Coding::Raw;
    case 'D': return length == 8 ? Coding::Date : Coding::Raw;
    case 'L': return length == 1 ? Coding::Logical : Coding::Raw;
    case 'M': case 'G': case 'P': case 'W':
        if (length == 4)
            return Coding::MemoRefBin;
        return Coding::MemoRef;
    case 'B':
        if (v.foxPro && length == 8)
            return Coding::Double;
        return length == 4 ? Coding::MemoRefBin : Coding::MemoRef;
    case 'I':
        if (length != 4)
            return Coding::Raw;
        return v.dbase7 ? Coding::Int32Flip : Coding::Int32;
    case '+': return length == 4 ? Coding::Int32Flip : Coding::Raw;
    case 'O': return length == 8 ? Coding::DoubleFlip : Coding::Raw;
    case 'Y': return length == 8 ? Coding::Currency : Coding::Raw;
    case 'T': return length == 8 ? Coding::DateTime : Coding::Raw;
    case '@': return length == 8 ? Coding::Timestamp7 : Coding::Raw;
    case 'V': return v.foxPro ? Coding::VarChar : Coding::Raw;
    case 'Q': return v.foxPro ? Coding::VarBinary : Coding::Raw;
    case '0': return Coding::NullFlags;
    default: return Coding::Raw;
    }
}

Layout readLayout(const BinaryFile& file)
{
    const std::string& path = file.path();
    if (file.size() < kHeaderSize + 1)
        damaged(path, "the file is too short to hold a header");
    unsigned char head[kHeaderSize];
    file.readExact(0, head, sizeof head);

    Layout L;
    L.version = head[0];
    const VersionInfo v = versionInfo(L.version);
    if (!v.known) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", L.version);
        damaged(path, std::string("unknown version byte ") + hex);
    }
    L.foxPro = v.foxPro;
    L.dbase7 = v.dbase7;
    L.recordCount = get32(head + 4);
    L.headerLength = get16(head + 8);
    L.recordLength = get16(head + 10);

    const std::size_t start = v.dbase7 ? kDbase7HeaderSize : kHeaderSize;
    const std::size_t descSize = v.dbase7 ? kDbase7DescriptorSize : kDescriptorSize;
    if (L.headerLength < start + descSize + 1)
        damaged(path, "the header length " + std::to_string(L.headerLength) + " leaves no room for a field");
    if (L.headerLength > file.size())
        throw TableError("The file " + path + " is truncated: its header is " + std::to_string(L.headerLength) +
                         " bytes long, the file only " + std::to_string(file.size()));
    if (L.recordLength < 2)
        damaged(path, "the record length " + std::to_string(L.recordLength) + " is too small");
    const std::uint64_t dataBytes = file.size() - L.headerLength;
    if (std::uint64_t{L.recordCount} * L.recordLength > dataBytes)
        throw TableError("The file " + path + " is truncated: its header counts " + std::to_string(L.recordCount) +
                         " records of " + std::to_string(L.recordLength) + " bytes, but only " +
                         std::to_string(dataBytes / L.recordLength) + " are there");

    std::vector<unsigned char> header(L.headerLength);
    file.readExact(0, header.data(), header.size());

    // The code page: the header's language driver, else a .cpg file, else GBK.
    int codePage = codePageFromLanguageDriver(head[29]);
    if (codePage == 0)
        codePage = codePageBeside(path);
    if (codePage == 0 || !isSupportedCodePage(codePage))
        codePage = kDefaultCodePage;
    L.codePage = codePage;

    struct Raw {
        std::string name;
        char type;
        std::uint32_t length;
        int decimals;
        unsigned char flags;
    };
    std::vector<Raw> raws;
    std::size_t pos = start;
    bool terminated = false;
    while (pos < L.headerLength) {
        if (header[pos] == kTerminator) {
            terminated = true;
            break;
        }
        if (pos + descSize > L.headerLength)
            break;
        const unsigned char* d = header.data() + pos;
        Raw r;
        const std::size_t nameBytes = v.dbase7 ? 32 : 11;
        const auto* nameStart = reinterpret_cast<const char*>(d);
        const std::size_t nameLen = std::find(nameStart, nameStart + nameBytes, '\0') - nameStart;
        r.name = decodeText(trimmed(std::string_view(nameStart, nameLen)), codePage);
        r.type = static_cast<char>(d[v.dbase7 ? 32 : 11]);
        r.length = d[v.dbase7 ? 33 : 16];
        r.decimals = d[v.dbase7 ? 34 : 17];
        r.flags = v.dbase7 ? 0 : d[18];
        raws.push_back(std::move(r));
        pos += descSize;
    }
    if (!terminated)
        damaged(path, "the field list has no end mark");
    if (raws.empty())
        damaged(path, "the table has no fields");

    // Text fields of Clipper and FoxPro may be longer than 255: the decimals byte holds the
    // high byte of the length. Use that reading when it makes the record length agree.
    std::uint64_t plain = 1, extended = 1;
    for (const Raw& r : raws) {
        plain += r.length;
        extended += r.length + (r.type == 'C' ? 256u * static_cast<unsigned>(r.decimals) : 0u);
    }
    const bool wide = plain != L.recordLength && extended == L.recordLength;
    if (!wide && plain > L.recordLength)
        damaged(path, "the fields need " + std::to_string(plain) + " bytes, but a record has " +
                          std::to_string(L.recordLength));

    std::uint32_t offset = 1;
    int bit = 0;
    for (const Raw& r : raws) {
        Column c;
        c.type = r.type;
        c.length = r.length + (wide && r.type == 'C' ? 256u * static_cast<unsigned>(r.decimals) : 0u);
        c.decimals = (r.type == 'C') ? 0 : r.decimals;
        c.offset = offset;
        offset += c.length;
        if (c.length == 0)
            damaged(path, "the field '" + r.name + "' has length 0");
        c.coding = codingOf(r.type, c.length, v, r.flags);
        if (c.coding == Coding::Numeric && c.decimals >= static_cast<int>(c.length))
            c.decimals = 0;
        if (c.coding == Coding::NullFlags || (L.foxPro && (r.flags & kFlagSystem))) {
            if (c.coding == Coding::NullFlags) {
                L.nullFlagsOffset = c.offset;
                L.nullFlagsLength = c.length;
            }
            continue;
        }
        if (L.foxPro) {
            if (c.coding == Coding::VarChar || c.coding == Coding::VarBinary)
                c.lengthBit = bit++;
            if (r.flags & kFlagNullable)
                c.nullBit = bit++;
        }
        FieldInfo info;
        info.name = r.name.empty() ? "FIELD" + std::to_string(L.fields.size() + 1) : r.name;
        info.storage = storageOf(c.coding, c);
        info.size = static_cast<int>(c.length);
        info.width = static_cast<int>(c.length);
        info.decimals = c.coding == Coding::Numeric ? c.decimals : 0;
        switch (c.coding) {
        case Coding::Int32: case Coding::Int32Flip: info.width = 11; break;
        case Coding::Double: case Coding::DoubleFlip: case Coding::Currency: info.width = 20; break;
        case Coding::Date: info.width = 10; break;
        case Coding::DateTime: case Coding::Timestamp7: info.width = 19; break;
        default: break;
        }
        L.fields.push_back(std::move(info));
        L.columns.push_back(c);
    }
    if (L.fields.empty())
        damaged(path, "the table has no fields");
    if (L.nullFlagsLength == 0)
        for (Column& c : L.columns)
            c.nullBit = c.lengthBit = -1;
    return L;
}

// ---- creating ----------------------------------------------------------------------------

// dBase field names compare without regard to the case of Latin letters; the trail bytes
// of double-byte characters are compared as they are.
bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    auto fold = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (static_cast<unsigned char>(a[i]) >= 0x81 && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
            ++i;
            continue;
        }
        if (fold(a[i]) != fold(b[i]))
            return false;
    }
    return true;
}

struct StoredName {
    std::string bytes;  // GBK
    std::string utf8;
};

// Field names as stored: at most 10 bytes in GBK, shortened at a character boundary and
// made unique with a digit suffix. Returns one remark per shortened name.
std::vector<StoredName> storedNames(const std::string& path, const std::vector<FieldDef>& fields,
                                    std::vector<std::string>& remarks)
{
    constexpr std::size_t kMaxName = 10;
    std::vector<StoredName> names(fields.size());
    std::vector<std::string> encoded(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string& name = fields[i].name;
        if (trimmed(name).empty())
            throw TableError("Cannot create " + path + ": field " + std::to_string(i + 1) + " has no name");
        const std::optional<std::string> bytes = encodeText(name, kDefaultCodePage);
        if (!bytes || bytes->find('\0') != std::string::npos)
            throw TableError("Cannot create " + path + ": the field name '" + name +
                             "' has characters outside code page 936 (GBK)");
        encoded[i] = *bytes;
        for (std::size_t j = 0; j < i; ++j)
            if (sameName(encoded[j], encoded[i]))
                throw TableError("Cannot create " + path + ": the field name '" + name + "' appears twice");
    }
    auto taken = [&](std::string_view candidate, std::size_t upto) {
        for (std::size_t j = 0; j < fields.size(); ++j) {
            const bool assigned = j < upto;
            const std::string& other = assigned ? names[j].bytes : encoded[j];
            if ((assigned || other.size() <= kMaxName) && j != upto && sameName(other, candidate))
                return true;
        }
        return false;
    };
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (encoded[i].size() <= kMaxName) {
            names[i].bytes = encoded[i];
            names[i].utf8 = fields[i].name;
            continue;
        }
        std::string candidate = truncateAtCharBoundary(encoded[i], kMaxName, kDefaultCodePage);
        for (int k = 1; taken(candidate, i); ++k) {
            const std::string suffix = std::to_string(k);
            candidate = truncateAtCharBoundary(encoded[i], kMaxName - suffix.size(), kDefaultCodePage) + suffix;
        }
        names[i].bytes = candidate;
        names[i].utf8 = decodeText(candidate, kDefaultCodePage);
        remarks.push_back(fields[i].name + " → " + names[i].utf8);
    }
    return names;
}

}  // namespace

// ---- public functions --------------------------------------------------------------------

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

int codePageFromCpg(const std::string& text)
{
    std::string t;
    for (char c : text) {
        if (c == '\r' || c == '\n' || c == '\0')
            break;
        t += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    const std::string_view s = trimmed(t);
    if (s.empty())
        return 0;
    if (s == "UTF-8" || s == "UTF8")
        return 65001;
    if (s == "GBK" || s == "GB2312" || s == "CP936" || s == "GB18030" || s == "EUC-CN")
        return 936;
    if (s == "BIG5")
        return 950;
    if (s == "SHIFT_JIS" || s == "SJIS")
        return 932;
    // "8859-1", "88591", "ISO-8859-1", "ISO8859-1"
    std::string_view iso = s;
    if (iso.rfind("ISO", 0) == 0)
        iso.remove_prefix(iso.size() > 3 && iso[3] == '-' ? 4 : 3);
    if (iso.rfind("8859", 0) == 0) {
        iso.remove_prefix(iso.size() > 4 && iso[4] == '-' ? 5 : 4);
        int part = 0;
        std::from_chars(iso.data(), iso.data() + iso.size(), part);
        return part >= 1 && part <= 16 ? 28590 + part : 0;
    }
    // "936", "CP936", "ANSI 1252", "OEM 437", "1252"
    const std::size_t digit = s.find_first_of("0123456789");
    if (digit == std::string_view::npos)
        return 0;
    int cp = 0;
    std::from_chars(s.data() + digit, s.data() + s.size(), cp);
    return cp > 0 && cp < 100000 ? cp : 0;
}

int codePageFromLanguageDriver(unsigned char id)
{
    switch (id) {
    case 0x01: case 0x09: case 0x0B: case 0x0D: case 0x0F: case 0x11: case 0x15: case 0x18:
    case 0x19: case 0x1B:
        return 437;
    case 0x02: case 0x0A: case 0x0E: case 0x10: case 0x12: case 0x14: case 0x16: case 0x1A:
    case 0x1D: case 0x25: case 0x37:
        return 850;
    case 0x03: case 0x58: case 0x59: return 1252;
    case 0x08: case 0x17: case 0x66: return 865;
    case 0x13: case 0x7B: return 932;
    case 0x1C: return 863;
    case 0x1F: case 0x22: case 0x23: case 0x40: case 0x64: return 852;
    case 0x24: return 860;
    case 0x26: case 0x65: return 866;
    case 0x4D: case 0x7A: return 936;
    case 0x4E: case 0x79: return 949;
    case 0x4F: case 0x78: return 950;
    case 0x50: case 0x7C: return 874;
    case 0x67: return 861;
    case 0x6A: return 737;
    case 0x6B: return 857;
    case 0x7D: return 1255;
    case 0x7E: return 1256;
    case 0xC8: return 1250;
    case 0xC9: return 1251;
    case 0xCA: return 1254;
    case 0xCB: return 1253;
    case 0xCC: return 1257;
    // 0x57 is "the system's ANSI code page", which for this program's tables is GBK: it is
    // left to the .cpg file or the default.
    default: return 0;
    }
}

std::unique_ptr<TableFile> open(const std::string& path, bool readOnly)
{
    BinaryFile file = BinaryFile::openExisting(path, !readOnly);
    Layout layout = readLayout(file);
    return std::make_unique<DbfTable>(std::move(file), std::move(layout), readOnly);
}

CreateResult create(const std::string& path, const std::vector<FieldDef>& fields, TableFormat format)
{
    if (format != TableFormat::DBase && format != TableFormat::FoxPro)
        throw TableError("Cannot create " + path + ": not a dBase or FoxPro format");
    const bool fox = format == TableFormat::FoxPro;
    if (fields.empty())
        throw TableError("Cannot create " + path + ": a table needs at least one field");
    const std::size_t maxFields = fox ? 254 : 255;
    if (fields.size() > maxFields)
        throw TableError("Cannot create " + path + ": a " + std::string(fox ? "FoxPro" : "dBase") +
                         " table holds at most " + std::to_string(maxFields) + " fields");

    CreateResult result;
    const std::vector<StoredName> names = storedNames(path, fields, result.remarks);

    // Field descriptors.
    std::vector<std::array<unsigned char, kDescriptorSize>> descriptors;
    std::uint32_t offset = 1;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const FieldDef& f = fields[i];
        std::array<unsigned char, kDescriptorSize> d{};
        std::memcpy(d.data(), names[i].bytes.data(), names[i].bytes.size());
        char type = 'C';
        int length = 0, decimals = 0;
        switch (f.kind) {
        case FieldKind::Char:
            if (f.size < 1 || f.size > 254)
                throw TableError("Cannot create " + path + ": the text field '" + f.name + "' has size " +
                                 std::to_string(f.size) + "; it must be 1 to 254");
            type = 'C';
            length = f.size;
            break;
        case FieldKind::Integer:
            type = fox ? 'I' : 'N';
            length = fox ? 4 : kIntegerWidth;
            break;
        case FieldKind::Float:
            type = fox ? 'B' : 'N';
            length = fox ? 8 : kFloatWidth;
            decimals = fox ? 0 : kFloatDecimals;
            break;
        case FieldKind::Date:
            type = 'D';
            length = 8;
            break;
        case FieldKind::Boolean:
            type = 'L';
            length = 1;
            break;
        }
        d[11] = static_cast<unsigned char>(type);
        if (fox)
            put32(d.data() + 12, offset);
        d[16] = static_cast<unsigned char>(length);
        d[17] = static_cast<unsigned char>(decimals);
        if (fox)
            d[18] = kFlagNullable;
        offset += static_cast<std::uint32_t>(length);
        descriptors.push_back(d);
    }
    if (fox) {
        std::array<unsigned char, kDescriptorSize> d{};
        std::memcpy(d.data(), "_NullFlags", 10);
        d[11] = '0';
        put32(d.data() + 12, offset);
        const auto bytes = static_cast<unsigned>((fields.size() + 7) / 8);
        d[16] = static_cast<unsigned char>(bytes);
        d[18] = kFlagSystem | kFlagBinary;
        offset += bytes;
        descriptors.push_back(d);
    }
    if (offset > 65535)
        throw TableError("Cannot create " + path + ": the fields need " + std::to_string(offset) +
                         " bytes a record; a dBase record holds at most 65535");

    const std::size_t headerLength =
        kHeaderSize + descriptors.size() * kDescriptorSize + 1 + (fox ? kBacklinkSize : 0);
    std::vector<unsigned char> bytes(headerLength + 1, 0);
    bytes[0] = fox ? 0x30 : 0x03;
    todayInto(bytes.data() + 1);
    put32(bytes.data() + 4, 0);
    put16(bytes.data() + 8, static_cast<std::uint32_t>(headerLength));
    put16(bytes.data() + 10, offset);
    bytes[29] = kGbkLanguageDriver;
    std::size_t pos = kHeaderSize;
    for (const auto& d : descriptors) {
        std::memcpy(bytes.data() + pos, d.data(), d.size());
        pos += d.size();
    }
    bytes[pos] = kTerminator;
    bytes[headerLength] = kEndOfFile;

    if (fileExists(path))
        throw TableError("Cannot create " + path + ": the file already exists");
    {
        BinaryFile file = BinaryFile::createNew(path);
        try {
            file.writeAt(0, bytes.data(), bytes.size());
            if (!fox) {
                const std::string cpg = withExtension(path, ".cpg", ".CPG");
                std::remove(cpg.c_str());
                BinaryFile cpgFile = BinaryFile::createNew(cpg);
                cpgFile.writeAt(0, "936", 3);
            }
        } catch (...) {
            file.close();
            std::remove(path.c_str());
            throw;
        }
    }
    result.table = open(path, false);
    return result;
}

}  // namespace zandor::tables::dbase
