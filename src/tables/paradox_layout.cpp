#include "tables/paradox_layout.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <unordered_set>

#include "tables/binary_file.h"
#include "tables/byte_order.h"
#include "tables/paradox.h"
#include "tables/table_error.h"

namespace zandor::tables::paradox {
namespace {

[[noreturn]] void damaged(const std::string& path, const std::string& what)
{
    throw TableError("The Paradox table " + path + " is damaged: " + what);
}
[[noreturn]] void foreign(const std::string& path, const std::string& what)
{
    throw TableError("The file " + path + " is not a Paradox table: " + what);
}

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
    putLe16(&h[kRecordSizeAt], static_cast<std::uint32_t>(recordSize));
    putLe16(&h[kHeaderSizeAt], static_cast<std::uint32_t>(headerSize));
    h[kFileTypeAt] = kFileTypeUnkeyed;
    h[kBlockSizeCodeAt] = blockCode;
    putLe16(&h[kFieldCountAt], static_cast<std::uint32_t>(n));
    putLe32(&h[kEncryption1At], kNoEncryption);
    h[kSortOrderAt] = 0x62;
    h[kChangeCount1At] = 2;
    h[kChangeCount2At] = 1;
    putLe32(&h[kTableNamePtrPtrAt], static_cast<std::uint32_t>(kFullHeaderSize + 2 * n));
    putLe32(&h[kFieldInfoPtrAt], static_cast<std::uint32_t>(kFullHeaderSize));
    h[kVersionAt] = kVersion7;
    h[kUnknown3EAt] = 0x1F;
    h[kUnknown3EAt + 1] = 0x0F;
    putLe16(&h[kRealHeaderSizeAt],
          static_cast<std::uint32_t>(kFullHeaderSize + 8 * n + 4 + kTableNameLength7 + nameBytes + 9));
    h[kUnknown56At] = 0x20;
    putLe16(&h[kFileVersion3At], 0x0100 | kVersion7);
    putLe16(&h[kFileVersion4At], 0x0100 | kVersion7);
    putLe16(&h[kHiFieldIdAt], static_cast<std::uint32_t>(n + 1));
    putLe16(&h[kHiFieldIdInfoAt], static_cast<std::uint32_t>(0x20 + 6 * n + 4 + kTableNameLength7 + nameBytes));
    putLe16(&h[kCodePageAt], kDefaultCodePage);
    h[kUnknown6CAt] = 1;
    h[kUnknown6CAt + 1] = 1;
    putLe16(&h[kUnknown6CAt + 2], static_cast<std::uint32_t>(0x18 + 8 * n + 4 + kTableNameLength7 + nameBytes + 8));

    std::size_t at = kFullHeaderSize;
    for (const NewField& f : fields) {
        h[at++] = f.type;
        h[at++] = f.size;
    }
    const std::size_t tableNameAt = at + 4 + 4 * n;
    putLe32(&h[at], static_cast<std::uint32_t>(tableNameAt));
    at += 4;
    std::size_t nameAt = tableNameAt + kTableNameLength7;
    for (const NewField& f : fields) {
        putLe32(&h[at], static_cast<std::uint32_t>(nameAt));
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
        putLe16(&h[at], static_cast<std::uint32_t>(i));
        at += 2;
    }
    std::memcpy(&h[at], kSortOrder, sizeof kSortOrder);
    return h;
}

}  // namespace

Header readHeader(const BinaryFile& file)
{
    const std::string& path = file.path();
    Header h;
    const std::uint64_t fileSize = file.size();
    if (fileSize < kCommonHeaderSize)
        foreign(path, "it is too short (" + std::to_string(fileSize) + " bytes) for a table header");
    h.common.resize(kCommonHeaderSize);
    file.readExact(0, h.common.data(), kCommonHeaderSize);

    const std::uint8_t fileType = h.common[kFileTypeAt];
    const std::uint8_t version = h.common[kVersionAt];
    const std::uint8_t blockCode = h.common[kBlockSizeCodeAt];
    if (fileType != kFileTypeKeyed && fileType != kFileTypeUnkeyed) {
        if (fileType <= 8)
            foreign(path, "it is a Paradox index file, not a table");
        foreign(path, "unknown file type " + std::to_string(fileType));
    }
    if (version < 3 || version > kVersion7)
        foreign(path, "unknown file version " + std::to_string(version));
    if (blockCode < 1 || blockCode > 32)
        foreign(path, "unknown block size code " + std::to_string(blockCode));

    h.recordSize = getLe16(&h.common[kRecordSizeAt]);
    h.headerSize = getLe16(&h.common[kHeaderSizeAt]);
    h.blockSize = blockCode * 1024u;
    const bool hasDataHeader = version >= 5;
    const std::size_t fieldInfoAt = hasDataHeader ? kFullHeaderSize : kCommonHeaderSize;
    const std::size_t fieldCount = getLe16(&h.common[kFieldCountAt]);
    if (h.recordSize == 0)
        damaged(path, "the record size is zero");
    if (h.recordSize + kBlockHeaderSize > h.blockSize)
        damaged(path, "records of " + std::to_string(h.recordSize) + " bytes do not fit in blocks of " +
                std::to_string(h.blockSize) + " bytes");
    if (fieldCount == 0 || fieldCount > kMaxFields)
        damaged(path, "it declares " + std::to_string(fieldCount) + " fields");
    if (h.headerSize < fieldInfoAt)
        damaged(path, "the header size " + std::to_string(h.headerSize) + " is too small");
    if (h.headerSize > fileSize)
        throw TableError("The file " + path + " is truncated (its header needs " + std::to_string(h.headerSize) +
                         " bytes, the file has " + std::to_string(fileSize) + ")");

    std::vector<std::uint8_t> head(h.headerSize);
    file.readExact(0, head.data(), head.size());
    if (hasDataHeader) {
        const std::uint32_t enc1 = getLe32(&head[kEncryption1At]);
        const std::uint32_t enc2 = getLe32(&head[kEncryption2At]);
        if ((enc1 != 0 && enc1 != kNoEncryption) || (enc1 == kNoEncryption && enc2 != 0))
            throw TableError("The Paradox table " + path + " is password-protected and cannot be read");
        const int declared = getLe16(&head[kCodePageAt]);
        h.codePage = declared != 0 && isSupportedCodePage(declared) ? declared : kDefaultCodePage;
    } else {
        const std::uint32_t enc1 = getLe32(&head[kEncryption1At]);
        if (enc1 != 0 && enc1 != kNoEncryption)
            throw TableError("The Paradox table " + path + " is password-protected and cannot be read");
        h.codePage = kDefaultCodePage;
    }

    // Field types and sizes, then the table name and the field names.
    std::size_t at = fieldInfoAt;
    if (at + 2 * fieldCount > head.size())
        damaged(path, "the field list runs past the header");
    h.layout.resize(fieldCount);
    std::uint32_t offset = 0;
    for (std::size_t f = 0; f < fieldCount; ++f) {
        FieldLayout& l = h.layout[f];
        l.type = head[at + 2 * f];
        const std::uint8_t declared = head[at + 2 * f + 1];
        l.size = l.type == kBcd ? 17 : declared;
        if (!validSize(l.type, l.size))
            damaged(path, "field " + std::to_string(f + 1) + " of type " + std::to_string(l.type) + " has the size " +
                    std::to_string(l.size));
        l.offset = offset;
        offset += l.size;
    }
    if (offset != h.recordSize)
        damaged(path, "the fields take " + std::to_string(offset) + " bytes, the records " + std::to_string(h.recordSize));
    at += 2 * fieldCount + 4 + 4 * fieldCount + (version >= kVersion7 ? kTableNameLength7 : kTableNameLengthOld);
    h.fields.resize(fieldCount);
    for (std::size_t f = 0; f < fieldCount; ++f) {
        if (at >= head.size())
            damaged(path, "the field names run past the header");
        const auto* start = head.data() + at;
        const auto* end = static_cast<const std::uint8_t*>(std::memchr(start, 0, head.size() - at));
        if (!end)
            damaged(path, "the field names run past the header");
        FieldInfo& info = h.fields[f];
        info.name = decodeText(std::string_view(reinterpret_cast<const char*>(start),
                                                static_cast<std::size_t>(end - start)),
                               h.codePage);
        info.storage = storageOf(h.layout[f].type);
        info.size = static_cast<int>(h.layout[f].size);
        info.width = displayWidth(h.layout[f].type, h.layout[f].size);
        at += static_cast<std::size_t>(end - start) + 1;
    }

    // Keyed tables keep a primary index in a separate file that changes here would leave
    // stale; they, and write-protected tables, are opened for reading only.
    if (fileType == kFileTypeKeyed || head[kWriteProtectedAt] != 0)
        h.readOnly = true;
    h.autoInc = getLe32(&head[kAutoIncAt]);
    h.firstFree = getLe16(&head[kFirstFreeBlockAt]);
    h.usedBlocks = getLe16(&head[kUsedBlocksAt]);
    h.fileBlocks = getLe16(&head[kFileBlocksAt]);
    h.firstBlock = getLe16(&head[kFirstBlockAt]);
    h.recordCount = getLe32(&head[kRecordCountAt]);
    return h;
}

std::vector<std::uint8_t> newTableHeader(const std::string& path, const std::vector<FieldDef>& fields)
{
    return newHeader(path, checkFields(path, fields));
}

}  // namespace zandor::tables::paradox
