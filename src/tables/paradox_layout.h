// The layout of Paradox files: the header (field types, names, code page, block size) read
// and checked, and written for a new table. Used by the table and its record codec only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tables/codepage.h"
#include "tables/field.h"

namespace zandor::tables {
class BinaryFile;
}

namespace zandor::tables::paradox {

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

// Where a field's bytes lie in the record.
struct FieldLayout {
    std::uint8_t type = 0;
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
};

// What the header of a table says.
struct Header {
    std::vector<std::uint8_t> common;  // the common header, kCommonHeaderSize bytes
    std::vector<FieldInfo> fields;
    std::vector<FieldLayout> layout;
    int codePage = kDefaultCodePage;
    std::uint32_t recordSize = 0;
    std::uint32_t headerSize = 0;
    std::uint32_t blockSize = 0;
    bool readOnly = false;  // keyed or write-protected
    std::uint32_t autoInc = 0;
    std::uint16_t firstFree = 0;
    std::uint16_t usedBlocks = 0;
    std::uint32_t fileBlocks = 0;   // as declared
    std::uint32_t firstBlock = 0;
    std::uint32_t recordCount = 0;  // as declared
};

// Reads and checks the header of an open file. A damaged, truncated or foreign file throws
// TableError naming the file and what is wrong.
Header readHeader(const BinaryFile& file);

// The header of an empty Paradox 7 table with the given fields. Throws TableError when a
// field cannot be made (empty, duplicate or over-long name, a name not representable in GBK,
// a bad Char size).
std::vector<std::uint8_t> newTableHeader(const std::string& path, const std::vector<FieldDef>& fields);

}  // namespace zandor::tables::paradox
