#include "tables/paradox.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <unordered_set>

#include "tables/binary_file.h"
#include "tables/codepage.h"
#include "tables/table_error.h"

namespace zandor::tables::paradox {
namespace {

// Field type codes of the header's field list.
enum FieldType : std::uint8_t {
    kAlpha = 0x01,
    kDate = 0x02,
    kShort = 0x03,
    kLong = 0x04,
    kCurrency = 0x05,
    kNumber = 0x06,
    kLogical = 0x09,
    kMemo = 0x0C,
    kBlob = 0x0D,
    kFmtMemo = 0x0E,
    kOle = 0x0F,
    kGraphic = 0x10,
    kTime = 0x14,
    kTimestamp = 0x15,
    kAutoInc = 0x16,
    kBcd = 0x17,
    kBytes = 0x18,
};

// The common header at the start of every table.
constexpr std::size_t kRecordSizeAt = 0x00;
constexpr std::size_t kHeaderSizeAt = 0x02;
constexpr std::size_t kFileTypeAt = 0x04;
constexpr std::size_t kBlockSizeCodeAt = 0x05;
constexpr std::size_t kRecordCountAt = 0x06;
constexpr std::size_t kUsedBlocksAt = 0x0A;
constexpr std::size_t kFileBlocksAt = 0x0C;
constexpr std::size_t kFirstBlockAt = 0x0E;
constexpr std::size_t kLastBlockAt = 0x10;
constexpr std::size_t kFieldCountAt = 0x21;
constexpr std::size_t kEncryption1At = 0x25;
constexpr std::size_t kSortOrderAt = 0x29;
constexpr std::size_t kChangeCount1At = 0x2D;
constexpr std::size_t kChangeCount2At = 0x2E;
constexpr std::size_t kTableNamePtrPtrAt = 0x30;
constexpr std::size_t kFieldInfoPtrAt = 0x34;
constexpr std::size_t kWriteProtectedAt = 0x38;
constexpr std::size_t kVersionAt = 0x39;
constexpr std::size_t kMaxBlocksAt = 0x3A;
constexpr std::size_t kUnknown3EAt = 0x3E;
constexpr std::size_t kAutoIncAt = 0x49;
constexpr std::size_t kFirstFreeBlockAt = 0x4D;
constexpr std::size_t kRealHeaderSizeAt = 0x51;
constexpr std::size_t kUnknown56At = 0x56;
constexpr std::size_t kCommonHeaderSize = 0x58;
// The data header that tables of version 4 and later add.
constexpr std::size_t kFileVersion3At = 0x58;
constexpr std::size_t kFileVersion4At = 0x5A;
constexpr std::size_t kEncryption2At = 0x5C;
constexpr std::size_t kHiFieldIdAt = 0x64;
constexpr std::size_t kHiFieldIdInfoAt = 0x66;
constexpr std::size_t kCodePageAt = 0x6A;
constexpr std::size_t kUnknown6CAt = 0x6C;
constexpr std::size_t kFullHeaderSize = 0x78;

constexpr std::uint8_t kFileTypeKeyed = 0;
constexpr std::uint8_t kFileTypeUnkeyed = 2;
constexpr std::uint8_t kVersion7 = 12;  // file version id of Paradox 7 tables
constexpr std::uint32_t kNoEncryption = 0xFF00FF00u;
constexpr std::size_t kBlockHeaderSize = 6;
constexpr std::size_t kTableNameLength7 = 261;
constexpr std::size_t kTableNameLengthOld = 79;
constexpr std::uint32_t kMaxBlockNumber = 0xFFFF;
constexpr std::int64_t kMsPerDay = 86400000;
constexpr std::int32_t kLastDay = 3652059;  // 9999-12-31

std::uint16_t get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t get32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
void put16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Record data: big-endian with the sign bit flipped, so the bytes sort like the values. All
// zero bytes are the empty value.
std::uint64_t getBig(const std::uint8_t* p, int n)
{
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | p[i];
    return v;
}
void putBig(std::uint8_t* p, std::uint64_t v, int n)
{
    for (int i = n - 1; i >= 0; --i) {
        p[i] = static_cast<std::uint8_t>(v);
        v >>= 8;
    }
}

bool allZero(const std::uint8_t* p, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        if (p[i] != 0)
            return false;
    return true;
}

std::optional<std::int64_t> getInteger(const std::uint8_t* p, int n)
{
    const std::uint64_t raw = getBig(p, n);
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
    putBig(p, (static_cast<std::uint64_t>(v) & ((signBit << 1) - 1)) ^ signBit, n);
}

std::optional<double> getDouble(const std::uint8_t* p)
{
    std::uint64_t raw = getBig(p, 8);
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
    putBig(p, bits, 8);
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

struct Layout {
    std::uint8_t type = 0;
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
};

// Where a stored type is read into, and how wide it shows.
StorageType storageOf(std::uint8_t type)
{
    switch (type) {
    case kAlpha: return StorageType::Alpha;
    case kDate: return StorageType::Date;
    case kShort: return StorageType::ShortInt;
    case kLong: return StorageType::LongInt;
    case kCurrency: return StorageType::Currency;
    case kNumber: return StorageType::Number;
    case kLogical: return StorageType::Logical;
    case kMemo:
    case kFmtMemo: return StorageType::Memo;
    case kBlob:
    case kOle:
    case kGraphic: return StorageType::Blob;
    case kTime: return StorageType::Time;
    case kTimestamp: return StorageType::Timestamp;
    case kAutoInc: return StorageType::AutoInc;
    case kBcd: return StorageType::Bcd;
    case kBytes: return StorageType::Bytes;
    default: return StorageType::Other;
    }
}

int displayWidth(std::uint8_t type, std::uint32_t size)
{
    switch (type) {
    case kAlpha: return static_cast<int>(size);
    case kDate: return 10;
    case kShort: return 6;
    case kLong:
    case kAutoInc: return 11;
    case kCurrency:
    case kNumber: return 20;
    case kLogical: return 5;
    case kMemo:
    case kFmtMemo: return static_cast<int>(std::max<std::uint32_t>(size - 10, 10));
    case kBlob:
    case kOle:
    case kGraphic: return 10;
    case kTime: return 8;
    case kTimestamp: return 19;
    case kBcd: return 34;
    default: return static_cast<int>(2 * size);
    }
}

// The record size a type needs (0: any size within the given bounds).
bool validSize(std::uint8_t type, std::uint32_t size)
{
    switch (type) {
    case kAlpha:
    case kBytes: return size >= 1 && size <= 255;
    case kDate:
    case kLong:
    case kTime:
    case kAutoInc: return size == 4;
    case kShort: return size == 2;
    case kCurrency:
    case kNumber:
    case kTimestamp: return size == 8;
    case kLogical: return size == 1;
    case kMemo:
    case kFmtMemo:
    case kBlob:
    case kOle:
    case kGraphic: return size >= 10 && size <= 255;
    case kBcd: return size == 17;
    default: return size >= 1;
    }
}

std::string baseName(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string asciiLower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string recordLabel(std::size_t index) { return "record " + std::to_string(index + 1); }

constexpr std::size_t kNoPosition = std::numeric_limits<std::size_t>::max();

class ParadoxTable final : public TableFile {
public:
    ParadoxTable(BinaryFile file, bool readOnly) : file_(std::move(file)), path_(file_.path()), readOnly_(readOnly)
    {
        load();
    }

    ~ParadoxTable() override
    {
        try {
            flush();
        } catch (const std::exception&) {
            // A destructor cannot report; callers that care call flush() first.
        }
    }

    TableFormat format() const override { return TableFormat::Paradox; }
    const std::string& path() const override { return path_; }
    const std::vector<FieldInfo>& fields() const override { return fields_; }
    std::size_t recordCount() const override { return recordCount_; }
    bool readOnly() const override { return readOnly_; }

    void read(std::size_t index, Record& out) override
    {
        requireRecord(index);
        const auto [pos, slot] = locate(index);
        const std::uint8_t* rec = block(chain_[pos]).bytes.data() + kBlockHeaderSize + slot * recordSize_;
        out.resize(layout_.size());
        for (std::size_t f = 0; f < layout_.size(); ++f)
            out[f] = decode(f, rec + layout_[f].offset);
    }

    void write(std::size_t index, const Record& record) override
    {
        requireWritable();
        requireRecord(index);
        const auto [pos, slot] = locate(index);
        Cached& b = block(chain_[pos]);
        std::uint8_t* rec = b.bytes.data() + kBlockHeaderSize + slot * recordSize_;
        const std::uint32_t autoInc = encode(record, index, rec, scratch_);
        std::memcpy(rec, scratch_.data(), recordSize_);
        // A replaced record goes to the file at once, so other readers of the table see it;
        // a block still holding appended records goes out whole on flush.
        if (b.dirty) {
            changed_ = true;
        } else {
            file_.writeAt(blockOffset(b.number) + kBlockHeaderSize + slot * recordSize_, rec, recordSize_);
        }
        if (autoInc != autoInc_) {
            autoInc_ = autoInc;
            changed_ = true;
        }
    }

    void append(const Record& record) override
    {
        requireWritable();
        if (recordCount_ >= std::numeric_limits<std::uint32_t>::max())
            throw TableError("The table " + path_ + " is full");
        const std::uint32_t autoInc = encode(record, recordCount_, nullptr, scratch_);
        if (chain_.empty() || counts_.back() >= perBlock_)
            addBlock();
        autoInc_ = autoInc;
        Cached& b = block(chain_.back());
        std::memcpy(b.bytes.data() + kBlockHeaderSize + counts_.back() * recordSize_, scratch_.data(), recordSize_);
        b.dirty = true;
        ++counts_.back();
        ++recordCount_;
        changed_ = true;
    }

    void remove(std::size_t index) override
    {
        requireWritable();
        requireRecord(index);
        auto [pos, slot] = locate(index);
        Cached& b = block(chain_[pos]);
        std::uint8_t* base = b.bytes.data() + kBlockHeaderSize;
        const std::size_t n = counts_[pos];
        std::memmove(base + slot * recordSize_, base + (slot + 1) * recordSize_, (n - slot - 1) * recordSize_);
        std::memset(base + (n - 1) * recordSize_, 0, recordSize_);
        b.dirty = true;
        --counts_[pos];
        --recordCount_;
        changed_ = true;
        if (counts_[pos] == 0)
            dropEmptyBlock(pos);
        rebuildStarts();
        // Like a replaced record, a removal reaches the file at once.
        flush();
    }

    void flush() override
    {
        if (readOnly_ || !changed_)
            return;
        for (Cached& c : cache_)
            if (c.number != 0 && c.dirty)
                writeBack(c);
        for (const std::uint32_t number : staleHeaders_) {
            std::uint8_t head[kBlockHeaderSize];
            blockHeader(number, head);
            file_.writeAt(blockOffset(number), head, sizeof head);
        }
        staleHeaders_.clear();
        put32(&header_[kRecordCountAt], static_cast<std::uint32_t>(recordCount_));
        put16(&header_[kUsedBlocksAt], usedBlocks_);
        put16(&header_[kFileBlocksAt], fileBlocks_);
        put16(&header_[kFirstBlockAt], chain_.empty() ? 0 : chain_.front());
        put16(&header_[kLastBlockAt], chain_.empty() ? 0 : chain_.back());
        put16(&header_[kMaxBlocksAt], fileBlocks_);
        put16(&header_[kFirstFreeBlockAt], firstFree_);
        put32(&header_[kAutoIncAt], autoInc_);
        file_.writeAt(0, header_.data(), kCommonHeaderSize);
        changed_ = false;
    }

private:
    struct Cached {
        std::uint32_t number = 0;  // 0: slot unused
        bool dirty = false;
        std::uint64_t lastUse = 0;
        std::vector<std::uint8_t> bytes;
    };

    [[noreturn]] void damaged(const std::string& what) const
    {
        throw TableError("The Paradox table " + path_ + " is damaged: " + what);
    }
    [[noreturn]] void foreign(const std::string& what) const
    {
        throw TableError("The file " + path_ + " is not a Paradox table: " + what);
    }
    [[noreturn]] void refuse(std::size_t field, std::size_t index, const std::string& why) const
    {
        throw TableError("Cannot store the value of field " + fields_[field].name + " in " + recordLabel(index) +
                         " of " + path_ + ": " + why);
    }

    [[noreturn]] void wrongType(std::size_t field, std::size_t index, const Value& v) const
    {
        refuse(field, index, std::string(typeName(v)) + " does not fit a field of this type");
    }

    void requireWritable() const
    {
        if (readOnly_)
            throw TableError("The table " + path_ + " is read-only");
    }
    void requireRecord(std::size_t index) const
    {
        if (index >= recordCount_)
            throw TableError("The table " + path_ + " has no " + recordLabel(index) + " (it has " +
                             std::to_string(recordCount_) + " records)");
    }

    std::uint64_t blockOffset(std::uint32_t number) const
    {
        return headerSize_ + static_cast<std::uint64_t>(number - 1) * blockSize_;
    }

    // ---- header -------------------------------------------------------------------------

    void load()
    {
        const std::uint64_t fileSize = file_.size();
        if (fileSize < kCommonHeaderSize)
            foreign("it is too short (" + std::to_string(fileSize) + " bytes) for a table header");
        header_.resize(kCommonHeaderSize);
        file_.readExact(0, header_.data(), kCommonHeaderSize);

        const std::uint8_t fileType = header_[kFileTypeAt];
        const std::uint8_t version = header_[kVersionAt];
        const std::uint8_t blockCode = header_[kBlockSizeCodeAt];
        if (fileType != kFileTypeKeyed && fileType != kFileTypeUnkeyed) {
            if (fileType <= 8)
                foreign("it is a Paradox index file, not a table");
            foreign("unknown file type " + std::to_string(fileType));
        }
        if (version < 3 || version > kVersion7)
            foreign("unknown file version " + std::to_string(version));
        if (blockCode < 1 || blockCode > 32)
            foreign("unknown block size code " + std::to_string(blockCode));

        recordSize_ = get16(&header_[kRecordSizeAt]);
        headerSize_ = get16(&header_[kHeaderSizeAt]);
        blockSize_ = blockCode * 1024u;
        const bool hasDataHeader = version >= 5;
        const std::size_t fieldInfoAt = hasDataHeader ? kFullHeaderSize : kCommonHeaderSize;
        const std::size_t fieldCount = get16(&header_[kFieldCountAt]);
        if (recordSize_ == 0)
            damaged("the record size is zero");
        if (recordSize_ + kBlockHeaderSize > blockSize_)
            damaged("records of " + std::to_string(recordSize_) + " bytes do not fit in blocks of " +
                    std::to_string(blockSize_) + " bytes");
        if (fieldCount == 0 || fieldCount > kMaxFields)
            damaged("it declares " + std::to_string(fieldCount) + " fields");
        if (headerSize_ < fieldInfoAt)
            damaged("the header size " + std::to_string(headerSize_) + " is too small");
        if (headerSize_ > fileSize)
            throw TableError("The file " + path_ + " is truncated (its header needs " + std::to_string(headerSize_) +
                             " bytes, the file has " + std::to_string(fileSize) + ")");

        std::vector<std::uint8_t> head(headerSize_);
        file_.readExact(0, head.data(), head.size());
        if (hasDataHeader) {
            const std::uint32_t enc1 = get32(&head[kEncryption1At]);
            const std::uint32_t enc2 = get32(&head[kEncryption2At]);
            if ((enc1 != 0 && enc1 != kNoEncryption) || (enc1 == kNoEncryption && enc2 != 0))
                throw TableError("The Paradox table " + path_ + " is password-protected and cannot be read");
            const int declared = get16(&head[kCodePageAt]);
            codePage_ = declared != 0 && isSupportedCodePage(declared) ? declared : kDefaultCodePage;
        } else {
            const std::uint32_t enc1 = get32(&head[kEncryption1At]);
            if (enc1 != 0 && enc1 != kNoEncryption)
                throw TableError("The Paradox table " + path_ + " is password-protected and cannot be read");
            codePage_ = kDefaultCodePage;
        }

        // Field types and sizes, then the table name and the field names.
        std::size_t at = fieldInfoAt;
        if (at + 2 * fieldCount > head.size())
            damaged("the field list runs past the header");
        layout_.resize(fieldCount);
        std::uint32_t offset = 0;
        for (std::size_t f = 0; f < fieldCount; ++f) {
            Layout& l = layout_[f];
            l.type = head[at + 2 * f];
            const std::uint8_t declared = head[at + 2 * f + 1];
            l.size = l.type == kBcd ? 17 : declared;
            if (!validSize(l.type, l.size))
                damaged("field " + std::to_string(f + 1) + " of type " + std::to_string(l.type) + " has the size " +
                        std::to_string(l.size));
            l.offset = offset;
            offset += l.size;
        }
        if (offset != recordSize_)
            damaged("the fields take " + std::to_string(offset) + " bytes, the records " + std::to_string(recordSize_));
        at += 2 * fieldCount + 4 + 4 * fieldCount + (version >= kVersion7 ? kTableNameLength7 : kTableNameLengthOld);
        fields_.resize(fieldCount);
        for (std::size_t f = 0; f < fieldCount; ++f) {
            if (at >= head.size())
                damaged("the field names run past the header");
            const auto* start = head.data() + at;
            const auto* end = static_cast<const std::uint8_t*>(std::memchr(start, 0, head.size() - at));
            if (!end)
                damaged("the field names run past the header");
            FieldInfo& info = fields_[f];
            info.name = decodeText(std::string_view(reinterpret_cast<const char*>(start),
                                                    static_cast<std::size_t>(end - start)),
                                   codePage_);
            info.storage = storageOf(layout_[f].type);
            info.size = static_cast<int>(layout_[f].size);
            info.width = displayWidth(layout_[f].type, layout_[f].size);
            at += static_cast<std::size_t>(end - start) + 1;
        }

        // Keyed tables keep a primary index in a separate file that changes here would leave
        // stale; they, and write-protected tables, are opened for reading only.
        if (fileType == kFileTypeKeyed || head[kWriteProtectedAt] != 0)
            readOnly_ = true;
        autoInc_ = get32(&head[kAutoIncAt]);
        firstFree_ = get16(&head[kFirstFreeBlockAt]);
        usedBlocks_ = get16(&head[kUsedBlocksAt]);
        perBlock_ = (blockSize_ - kBlockHeaderSize) / recordSize_;
        loadChain(fileSize, get16(&head[kFileBlocksAt]), get16(&head[kFirstBlockAt]));
        if (recordCount_ != get32(&head[kRecordCountAt]))
            changed_ = true;  // the blocks are what counts; the header is put right on flush
        scratch_.resize(recordSize_);
        for (Cached& c : cache_)
            c.bytes.reserve(blockSize_);
    }

    // Follows the chain of data blocks from the first, checking every block against the file
    // before trusting it.
    void loadChain(std::uint64_t fileSize, std::uint32_t declaredBlocks, std::uint32_t first)
    {
        const std::uint64_t room = fileSize - headerSize_;
        const std::uint64_t present = (room + blockSize_ - 1) / blockSize_;  // a last block may be short
        if (declaredBlocks > present)
            throw TableError("The file " + path_ + " is truncated (it declares " + std::to_string(declaredBlocks) +
                             " blocks, has room for " + std::to_string(present) + ")");
        fileBlocks_ = declaredBlocks;
        std::vector<bool> seen(static_cast<std::size_t>(present) + 1, false);
        std::uint32_t number = first;
        while (number != 0) {
            if (number > present)
                damaged("the block chain points to block " + std::to_string(number) + " beyond the end of the file");
            if (seen[number])
                damaged("the block chain loops back to block " + std::to_string(number));
            seen[number] = true;
            std::uint8_t head[kBlockHeaderSize];
            file_.readExact(blockOffset(number), head, sizeof head);
            const auto last = static_cast<std::int16_t>(get16(head + 4));
            if (last < -static_cast<int>(recordSize_) || last % static_cast<int>(recordSize_) != 0 ||
                last / static_cast<int>(recordSize_) + 1 > static_cast<int>(perBlock_))
                damaged("block " + std::to_string(number) + " declares a bad record offset " + std::to_string(last));
            const std::uint32_t count = static_cast<std::uint32_t>(last / static_cast<int>(recordSize_) + 1);
            if (blockOffset(number) + kBlockHeaderSize + static_cast<std::uint64_t>(count) * recordSize_ > fileSize)
                throw TableError("The file " + path_ + " is truncated (block " + std::to_string(number) +
                                 " ends beyond the end of the file)");
            chain_.push_back(number);
            counts_.push_back(count);
            recordCount_ += count;
            fileBlocks_ = std::max(fileBlocks_, number);
            number = get16(head);
        }
        position_.assign(fileBlocks_ + 1, kNoPosition);
        for (std::size_t p = 0; p < chain_.size(); ++p)
            position_[chain_[p]] = p;
        rebuildStarts();
    }

    void rebuildStarts()
    {
        starts_.resize(counts_.size());
        std::size_t start = 0;
        for (std::size_t p = 0; p < counts_.size(); ++p) {
            starts_[p] = start;
            start += counts_[p];
        }
        lastPos_ = 0;
    }

    // Chain position and slot of a record; sequential access stays on the same or next block.
    std::pair<std::size_t, std::size_t> locate(std::size_t index)
    {
        auto inside = [&](std::size_t p) { return index >= starts_[p] && index < starts_[p] + counts_[p]; };
        std::size_t p = lastPos_;
        if (p >= chain_.size() || !inside(p)) {
            if (p + 1 < chain_.size() && inside(p + 1))
                ++p;
            else
                p = static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), index) -
                                             starts_.begin()) -
                    1;
        }
        lastPos_ = p;
        return {p, index - starts_[p]};
    }

    // ---- block cache --------------------------------------------------------------------

    void blockHeader(std::uint32_t number, std::uint8_t* out) const
    {
        const std::size_t p = number < position_.size() ? position_[number] : kNoPosition;
        if (p == kNoPosition)
            return;
        put16(out, p + 1 < chain_.size() ? chain_[p + 1] : 0);
        put16(out + 2, p > 0 ? chain_[p - 1] : 0);
        put16(out + 4, static_cast<std::uint16_t>((static_cast<int>(counts_[p]) - 1) * static_cast<int>(recordSize_)));
    }

    void writeBack(Cached& c)
    {
        blockHeader(c.number, c.bytes.data());
        file_.writeAt(blockOffset(c.number), c.bytes.data(), blockSize_);
        staleHeaders_.erase(c.number);
        c.dirty = false;
    }

    Cached& block(std::uint32_t number, bool fresh = false)
    {
        ++useClock_;
        Cached* victim = &cache_[0];
        for (Cached& c : cache_) {
            if (c.number == number) {
                c.lastUse = useClock_;
                return c;
            }
            if (c.number == 0 || (victim->number != 0 && c.lastUse < victim->lastUse))
                victim = &c;
        }
        if (victim->number != 0 && victim->dirty)
            writeBack(*victim);
        victim->number = 0;
        victim->bytes.assign(blockSize_, 0);
        if (!fresh) {
            const std::uint64_t at = blockOffset(number);
            if (at < file_.size())
                file_.readSome(at, victim->bytes.data(),
                               static_cast<std::size_t>(std::min<std::uint64_t>(blockSize_, file_.size() - at)));
        }
        victim->number = number;
        victim->dirty = fresh;
        victim->lastUse = useClock_;
        return *victim;
    }

    void forget(std::uint32_t number)
    {
        for (Cached& c : cache_)
            if (c.number == number) {
                c.number = 0;
                c.dirty = false;
            }
        staleHeaders_.erase(number);
    }

    // The block's links changed: its header is rewritten on flush.
    void relinked(std::uint32_t number)
    {
        for (Cached& c : cache_)
            if (c.number == number) {
                c.dirty = true;
                return;
            }
        staleHeaders_.insert(number);
    }

    void addBlock()
    {
        if (fileBlocks_ >= kMaxBlockNumber)
            throw TableError("The table " + path_ + " is full (" + std::to_string(kMaxBlockNumber) + " blocks)");
        const std::uint32_t number = fileBlocks_ + 1;
        block(number, true);
        fileBlocks_ = number;
        usedBlocks_ = static_cast<std::uint16_t>(std::min<std::uint32_t>(usedBlocks_ + 1u, kMaxBlockNumber));
        if (!chain_.empty())
            relinked(chain_.back());
        const std::size_t start = starts_.empty() ? 0 : starts_.back() + counts_.back();
        chain_.push_back(number);
        counts_.push_back(0);
        starts_.push_back(start);
        position_.resize(fileBlocks_ + 1, kNoPosition);
        position_[number] = chain_.size() - 1;
        changed_ = true;
    }

    // A block emptied by a removal leaves the chain. The first block of the chain is kept by
    // moving the next block's records into it, so the chain keeps starting at the same block.
    void dropEmptyBlock(std::size_t pos)
    {
        if (pos == 0 && chain_.size() > 1) {
            Cached& next = block(chain_[1]);
            const std::vector<std::uint8_t> moved(next.bytes.begin() + kBlockHeaderSize,
                                                  next.bytes.begin() + kBlockHeaderSize + counts_[1] * recordSize_);
            Cached& first = block(chain_[0]);
            std::copy(moved.begin(), moved.end(), first.bytes.begin() + kBlockHeaderSize);
            first.dirty = true;
            counts_[0] = counts_[1];
            counts_[1] = 0;
            pos = 1;
        }
        const std::uint32_t number = chain_[pos];
        chain_.erase(chain_.begin() + static_cast<std::ptrdiff_t>(pos));
        counts_.erase(counts_.begin() + static_cast<std::ptrdiff_t>(pos));
        position_[number] = kNoPosition;
        for (std::size_t p = pos; p < chain_.size(); ++p)
            position_[chain_[p]] = p;
        if (pos > 0)
            relinked(chain_[pos - 1]);
        if (pos < chain_.size())
            relinked(chain_[pos]);
        releaseBlock(number);
    }

    // Gives a block that left the chain back: the file shrinks by one block, the last block
    // moving into the freed place when it is in use. A file whose last block is on the free
    // list of another program gets the block onto that list instead.
    void releaseBlock(std::uint32_t number)
    {
        const std::uint32_t last = fileBlocks_;
        forget(number);
        if (number != last) {
            const std::size_t lastPos = position_[last];
            if (lastPos == kNoPosition) {
                std::uint8_t head[kBlockHeaderSize];
                put16(head, firstFree_);
                put16(head + 2, 0);
                put16(head + 4, static_cast<std::uint16_t>(-static_cast<int>(recordSize_)));
                file_.writeAt(blockOffset(number), head, sizeof head);
                firstFree_ = static_cast<std::uint16_t>(number);
                usedBlocks_ = usedBlocks_ > 0 ? usedBlocks_ - 1 : 0;
                return;
            }
            const std::vector<std::uint8_t> bytes = block(last).bytes;
            forget(last);
            Cached& moved = block(number, true);
            moved.bytes = bytes;
            chain_[lastPos] = number;
            position_[number] = lastPos;
            position_[last] = kNoPosition;
            if (lastPos > 0)
                relinked(chain_[lastPos - 1]);
            if (lastPos + 1 < chain_.size())
                relinked(chain_[lastPos + 1]);
        }
        file_.truncate(blockOffset(last));
        --fileBlocks_;
        usedBlocks_ = usedBlocks_ > 0 ? usedBlocks_ - 1 : 0;
        position_.resize(fileBlocks_ + 1);
    }

    // ---- values -------------------------------------------------------------------------

    Value decode(std::size_t f, const std::uint8_t* p) const
    {
        const Layout& l = layout_[f];
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
            std::size_t n = std::min<std::size_t>(get32(p + leader + 4), leader);
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

    static const char* typeName(const Value& v)
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

    // Encodes a whole record into `out` (recordSize_ bytes) before anything is stored, so a
    // refused value leaves the table as it was. `old` is the record being replaced, if any:
    // fields of types that are only read keep their bytes when their value is unchanged.
    // Returns the table's automatic number after the record.
    std::uint32_t encode(const Record& record, std::size_t index, const std::uint8_t* old,
                         std::vector<std::uint8_t>& out) const
    {
        if (record.size() != layout_.size())
            throw TableError("A record for " + path_ + " needs " + std::to_string(layout_.size()) + " values, got " +
                             std::to_string(record.size()));
        std::fill(out.begin(), out.end(), 0);
        std::uint32_t nextAutoInc = autoInc_;
        for (std::size_t f = 0; f < layout_.size(); ++f) {
            const Layout& l = layout_[f];
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
                put32(p + leader + 4, static_cast<std::uint32_t>(bytes->size()));
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

    BinaryFile file_;
    std::string path_;
    bool readOnly_;
    std::vector<std::uint8_t> header_;  // the common header, patched and rewritten on flush
    std::vector<FieldInfo> fields_;
    std::vector<Layout> layout_;
    int codePage_ = kDefaultCodePage;
    std::uint32_t recordSize_ = 0;
    std::uint32_t headerSize_ = 0;
    std::uint32_t blockSize_ = 0;
    std::uint32_t perBlock_ = 0;
    std::uint32_t fileBlocks_ = 0;
    std::uint16_t usedBlocks_ = 0;
    std::uint16_t firstFree_ = 0;
    std::uint32_t autoInc_ = 0;

    std::vector<std::uint32_t> chain_;   // block numbers in record order
    std::vector<std::uint32_t> counts_;  // records in each block of the chain
    std::vector<std::size_t> starts_;    // index of the first record of each block
    std::vector<std::size_t> position_;  // chain position of each block number
    std::size_t recordCount_ = 0;
    std::size_t lastPos_ = 0;
    bool changed_ = false;

    std::array<Cached, 4> cache_;
    std::uint64_t useClock_ = 0;
    std::unordered_set<std::uint32_t> staleHeaders_;
    std::vector<std::uint8_t> scratch_;
};

// ---- creating -----------------------------------------------------------------------------

struct NewField {
    std::string nameBytes;  // GBK
    std::uint8_t type = 0;
    std::uint8_t size = 0;
};

std::vector<NewField> checkFields(const std::string& path, const std::vector<FieldDef>& defs)
{
    auto fail = [&](const std::string& what) { throw TableError("Cannot create the table " + path + ": " + what); };
    if (defs.empty())
        fail("a table needs at least one field");
    if (defs.size() > kMaxFields)
        fail("a Paradox table holds at most " + std::to_string(kMaxFields) + " fields");
    std::vector<NewField> out;
    std::unordered_set<std::string> seen;
    std::size_t recordSize = 0;
    for (const FieldDef& def : defs) {
        if (def.name.empty() || def.name.find_first_not_of(' ') == std::string::npos)
            fail("a field name is empty");
        for (unsigned char c : def.name)
            if (c < 0x20 || c == 0x7F)
                fail("the field name '" + def.name + "' contains a control character");
        const auto bytes = encodeText(def.name, kDefaultCodePage);
        if (!bytes)
            fail("the field name '" + def.name + "' cannot be written in GBK");
        if (bytes->size() > kMaxFieldNameBytes)
            fail("the field name '" + def.name + "' takes " + std::to_string(bytes->size()) +
                 " bytes; Paradox allows " + std::to_string(kMaxFieldNameBytes));
        if (!seen.insert(asciiLower(def.name)).second)
            fail("the field name '" + def.name + "' appears twice");
        NewField nf;
        nf.nameBytes = *bytes;
        switch (def.kind) {
        case FieldKind::Char:
            if (def.size < 1 || def.size > 255)
                fail("the text field '" + def.name + "' has the size " + std::to_string(def.size) +
                     "; Paradox allows 1 to 255");
            nf.type = kAlpha;
            nf.size = static_cast<std::uint8_t>(def.size);
            break;
        case FieldKind::Integer:
            nf.type = kLong;
            nf.size = 4;
            break;
        case FieldKind::Float:
            nf.type = kNumber;
            nf.size = 8;
            break;
        case FieldKind::Date:
            nf.type = kDate;
            nf.size = 4;
            break;
        case FieldKind::Boolean:
            nf.type = kLogical;
            nf.size = 1;
            break;
        }
        recordSize += nf.size;
        out.push_back(std::move(nf));
    }
    if (recordSize + kBlockHeaderSize > 32u * 1024u)
        fail("the records would take " + std::to_string(recordSize) + " bytes, more than a Paradox block holds");
    return out;
}

// The header of an empty Paradox 7 table, the same bytes for the same fields: it holds no
// time of day, and the pointers Paradox keeps in memory are written as offsets.
std::vector<std::uint8_t> newHeader(const std::string& path, const std::vector<NewField>& fields)
{
    const std::size_t n = fields.size();
    std::size_t recordSize = 0;
    std::size_t nameBytes = 0;
    for (const NewField& f : fields) {
        recordSize += f.size;
        nameBytes += f.nameBytes.size() + 1;
    }
    static constexpr char kSortOrder[] = "ANSIINTL";
    const std::size_t contentSize =
        kFullHeaderSize + 2 * n + 4 + 4 * n + kTableNameLength7 + nameBytes + 2 * n + sizeof kSortOrder;
    const std::size_t headerSize = (contentSize + 0x7FF) / 0x800 * 0x800;
    // Blocks of 16 KB hold some 340 records of six numbers, so a table of a million such
    // records stays well within the 65535 blocks a table can have.
    const std::uint8_t blockCode = recordSize + kBlockHeaderSize > 16u * 1024u ? 32 : 16;

    std::vector<std::uint8_t> h(headerSize, 0);
    put16(&h[kRecordSizeAt], static_cast<std::uint32_t>(recordSize));
    put16(&h[kHeaderSizeAt], static_cast<std::uint32_t>(headerSize));
    h[kFileTypeAt] = kFileTypeUnkeyed;
    h[kBlockSizeCodeAt] = blockCode;
    put16(&h[kFieldCountAt], static_cast<std::uint32_t>(n));
    put32(&h[kEncryption1At], kNoEncryption);
    h[kSortOrderAt] = 0x62;
    h[kChangeCount1At] = 2;
    h[kChangeCount2At] = 1;
    put32(&h[kTableNamePtrPtrAt], static_cast<std::uint32_t>(kFullHeaderSize + 2 * n));
    put32(&h[kFieldInfoPtrAt], static_cast<std::uint32_t>(kFullHeaderSize));
    h[kVersionAt] = kVersion7;
    h[kUnknown3EAt] = 0x1F;
    h[kUnknown3EAt + 1] = 0x0F;
    put16(&h[kRealHeaderSizeAt],
          static_cast<std::uint32_t>(kFullHeaderSize + 8 * n + 4 + kTableNameLength7 + nameBytes + 9));
    h[kUnknown56At] = 0x20;
    put16(&h[kFileVersion3At], 0x0100 | kVersion7);
    put16(&h[kFileVersion4At], 0x0100 | kVersion7);
    put16(&h[kHiFieldIdAt], static_cast<std::uint32_t>(n + 1));
    put16(&h[kHiFieldIdInfoAt], static_cast<std::uint32_t>(0x20 + 6 * n + 4 + kTableNameLength7 + nameBytes));
    put16(&h[kCodePageAt], kDefaultCodePage);
    h[kUnknown6CAt] = 1;
    h[kUnknown6CAt + 1] = 1;
    put16(&h[kUnknown6CAt + 2], static_cast<std::uint32_t>(0x18 + 8 * n + 4 + kTableNameLength7 + nameBytes + 8));

    std::size_t at = kFullHeaderSize;
    for (const NewField& f : fields) {
        h[at++] = f.type;
        h[at++] = f.size;
    }
    const std::size_t tableNameAt = at + 4 + 4 * n;
    put32(&h[at], static_cast<std::uint32_t>(tableNameAt));
    at += 4;
    std::size_t nameAt = tableNameAt + kTableNameLength7;
    for (const NewField& f : fields) {
        put32(&h[at], static_cast<std::uint32_t>(nameAt));
        at += 4;
        nameAt += f.nameBytes.size() + 1;
    }
    // The table name is the file's name, as far as it can be written and fits.
    const auto tableName = encodeText(baseName(path), kDefaultCodePage);
    if (tableName)
        std::memcpy(&h[at], tableName->data(), std::min(tableName->size(), kTableNameLength7 - 1));
    at += kTableNameLength7;
    for (const NewField& f : fields) {
        std::memcpy(&h[at], f.nameBytes.data(), f.nameBytes.size());
        at += f.nameBytes.size() + 1;
    }
    for (std::size_t i = 1; i <= n; ++i) {
        put16(&h[at], static_cast<std::uint32_t>(i));
        at += 2;
    }
    std::memcpy(&h[at], kSortOrder, sizeof kSortOrder);
    return h;
}

}  // namespace

std::unique_ptr<TableFile> open(const std::string& path, bool readOnly)
{
    return std::make_unique<ParadoxTable>(BinaryFile::openExisting(path, !readOnly), readOnly);
}

CreateResult create(const std::string& path, const std::vector<FieldDef>& fields)
{
    const std::vector<NewField> checked = checkFields(path, fields);
    if (fileExists(path))
        throw TableError("Cannot create the table " + path + ": the file exists");
    const std::vector<std::uint8_t> header = newHeader(path, checked);
    {
        BinaryFile file = BinaryFile::createNew(path);
        try {
            file.writeAt(0, header.data(), header.size());
        } catch (...) {
            file.close();
            std::remove(path.c_str());
            throw;
        }
    }
    CreateResult result;
    result.table = open(path, false);
    return result;
}

}  // namespace zandor::tables::paradox
