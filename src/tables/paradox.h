// Paradox tables (.db): reads versions 3 to 7, writes Paradox 7 tables.
//
// A Paradox table is a header (field types, names, code page) followed by data blocks of a
// fixed size. The blocks form a doubly linked chain; each holds whole records one after the
// other. Numbers are stored big-endian with the sign bit flipped so that the bytes sort like
// the values; a field of all zero bytes is empty (null).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tables/table_file.h"

namespace zandor::tables::paradox {

// Opens an existing Paradox table. A damaged, truncated or foreign file throws TableError
// naming the file and what is wrong.
std::unique_ptr<TableFile> open(const std::string& path, bool readOnly);

// Creates an empty Paradox 7 table (code page 936) with the given fields: Char as alpha,
// Integer as long integer, Float as number, Date as date, Boolean as logical. Throws
// TableError, before anything is written, when the file exists or a field cannot be made
// (empty, duplicate or over-long name, a name not representable in GBK, a bad Char size).
CreateResult create(const std::string& path, const std::vector<FieldDef>& fields);

// Longest field name, in GBK bytes.
inline constexpr std::size_t kMaxFieldNameBytes = 25;
// Most fields in a table.
inline constexpr std::size_t kMaxFields = 255;

}  // namespace zandor::tables::paradox
