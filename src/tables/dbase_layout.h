// The layout of dBase and FoxPro files: the header and its field descriptors, read into the
// offsets and codings of each field's bytes, and written for a new table. Used by the table
// and its record codec only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tables/codepage.h"
#include "tables/field.h"
#include "tables/table_file.h"

namespace zandor::tables {
class BinaryFile;
}

namespace zandor::tables::dbase {

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

// Reads and checks the header of an open file. Throws TableError naming the file and what is
// wrong.
Layout readLayout(const BinaryFile& file);

// The header of a new empty table of `format` (DBase or FoxPro), end-of-file mark included.
// Shortened field names give one remark each. Throws TableError before anything is written
// when a field cannot be made.
std::vector<std::uint8_t> newHeader(const std::string& path, const std::vector<FieldDef>& fields,
                                    TableFormat format, std::vector<std::string>& remarks);

// Today's date (local time) as the header's three bytes YY MM DD (years since 1900).
void todayInto(std::uint8_t* yymmdd);

// `path` with its extension replaced: `upper` when the extension is all capitals, else
// `lower` (also when it has none). For the .cpg file beside a table.
std::string withExtension(const std::string& path, const std::string& lower, const std::string& upper);

}  // namespace zandor::tables::dbase
