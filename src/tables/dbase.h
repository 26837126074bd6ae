// dBase and FoxPro tables (.dbf).
//
// Reading covers dBase III/IV/5, dBase 7, FoxPro 2 and Visual FoxPro files, chosen by the
// version byte. Text is decoded in the code page the file declares: the language-driver
// (code-page mark) byte of the header, else a .cpg file beside the table, else GBK.
//
// Writing produces two layouts:
//   * dBase III+ (version 0x03): C, N, D and L fields, language driver 0x7A (code page 936)
//     and a .cpg file holding "936" beside the table. Integer fields are N(11,0); Float
//     fields are N(19,15), each value written in the form that keeps the most significant
//     digits in 19 characters (fixed, else scientific such as "1.234567890123E-99"), never
//     fewer than 13.
//   * Visual FoxPro (version 0x30): C, I, B, D and L fields, code-page mark 0x7A and the
//     263-byte backlink area. Every field is nullable (a hidden _NullFlags field holds one
//     bit per field), so null reads back as null for every type.
// The last-update date in the header is today's date (local time) when the table is created
// or changed; every other header byte depends only on the fields and the record count.
//
// Values read: text (C, V, memo block numbers, other types) as UTF-8 with trailing blanks
// removed, a text of blanks only as null (the file cannot tell the two apart); N with no
// decimals and width up to 18, I and + as integers; other N, F, B, O and Y as doubles; D as
// dates; L as true/false, '?' or blank as null; T and @ timestamps as "YYYY-MM-DD hh:mm:ss"
// text. Types this program only reads (memo references, timestamps) may be written back
// unchanged but not altered.
//
// Record numbers count live records only: records marked deleted ('*') are skipped.
// Messages name records from 1, as a person counts them.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tables/table_file.h"

namespace zandor::tables::dbase {

// Opens a .dbf table. Throws TableError naming the file and what is wrong when it is no
// dBase or FoxPro table, is truncated or its header does not agree with itself.
std::unique_ptr<TableFile> open(const std::string& path, bool readOnly);

// Creates an empty table (format DBase or FoxPro). Field names longer than 10 bytes in GBK
// are shortened at a character boundary (a digit suffix keeps them unique); each shortened
// name gives one remark "LONG → SHORT". Throws TableError, before anything is written, when
// the file exists or a name is empty, duplicate or has no GBK form, or a size is out of range.
CreateResult create(const std::string& path, const std::vector<FieldDef>& fields, TableFormat format);

// Width and decimals of the N fields that hold Float and Integer values.
inline constexpr int kFloatWidth = 19;
inline constexpr int kFloatDecimals = 15;
inline constexpr int kIntegerWidth = 11;

// The text a Float value is stored as in an N field of `width` characters: the form (fixed
// or scientific) that keeps the most significant digits, at most 17 (enough to read back the
// same double), at least 13. Nothing when the value is not finite or cannot keep 13 digits.
std::optional<std::string> numericText(double value, int width = kFloatWidth);

// The code page a .cpg file's text names ("936", "GBK", "UTF-8", "ANSI 1252", ...); 0 when
// it names none this program knows.
int codePageFromCpg(const std::string& text);

// The code page of a dBase language-driver / FoxPro code-page mark byte; 0 when unknown.
int codePageFromLanguageDriver(unsigned char id);

}  // namespace zandor::tables::dbase
