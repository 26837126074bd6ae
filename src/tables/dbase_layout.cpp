#include "tables/dbase_layout.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <optional>

#include "tables/binary_file.h"
#include "tables/byte_order.h"
#include "tables/codepage.h"
#include "tables/dbase.h"
#include "tables/dbase_codec.h"
#include "tables/table_error.h"

namespace zandor::tables::dbase {
namespace {

[[noreturn]] void damaged(const std::string& path, const std::string& what)
{
    throw TableError("The file " + path + " is not a valid dBase table: " + what);
}

// ---- code pages --------------------------------------------------------------------------

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

void todayInto(unsigned char* yymmdd)
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    yymmdd[0] = static_cast<unsigned char>(std::clamp(local.tm_year, 0, 255));
    yymmdd[1] = static_cast<unsigned char>(local.tm_mon + 1);
    yymmdd[2] = static_cast<unsigned char>(local.tm_mday);
}

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
    L.recordCount = getLe32(head + 4);
    L.headerLength = getLe16(head + 8);
    L.recordLength = getLe16(head + 10);

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
    // Whole records beyond the count would be lost by the next rewrite: the table is refused
    // (checked once the record length has been checked against the fields).
    if (dataBytes / L.recordLength > L.recordCount)
        throw TableError("The dBase table " + path + " is damaged: its header counts " +
                         std::to_string(L.recordCount) + " records, but the file holds " +
                         std::to_string(dataBytes / L.recordLength) + " records of " +
                         std::to_string(L.recordLength) + " bytes");
    return L;
}

std::vector<std::uint8_t> newHeader(const std::string& path, const std::vector<FieldDef>& fields,
                                    TableFormat format, std::vector<std::string>& remarks)
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

    const std::vector<StoredName> names = storedNames(path, fields, remarks);

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
            putLe32(d.data() + 12, offset);
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
        putLe32(d.data() + 12, offset);
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
    std::vector<std::uint8_t> bytes(headerLength + 1, 0);
    bytes[0] = fox ? 0x30 : 0x03;
    todayInto(bytes.data() + 1);
    putLe32(bytes.data() + 4, 0);
    putLe16(bytes.data() + 8, static_cast<std::uint32_t>(headerLength));
    putLe16(bytes.data() + 10, offset);
    bytes[29] = kGbkLanguageDriver;
    std::size_t pos = kHeaderSize;
    for (const auto& d : descriptors) {
        std::memcpy(bytes.data() + pos, d.data(), d.size());
        pos += d.size();
    }
    bytes[pos] = kTerminator;
    bytes[headerLength] = kEndOfFile;
    return bytes;
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

}  // namespace zandor::tables::dbase
