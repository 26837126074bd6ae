// One open table file with random access by record number. Each file format (Paradox,
// dBase, FoxPro) implements it; the cursor class Table and the batch tools sit on top.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "tables/field.h"

namespace zandor::tables {

enum class TableFormat { Paradox, DBase, FoxPro, Ascii };

std::string_view formatName(TableFormat format);  // "Paradox", "dBase", "FoxPro", "ASCII"

// The format a path names by its extension: .db Paradox, .dbf dBase (any case).
// A path without extension is taken as Paradox; anything else throws TableError.
TableFormat formatOfPath(const std::string& path);

// ".DB" appended when the file name has no extension (the save dialogs' default).
std::string withDefaultExtension(const std::string& path);

class TableFile {
public:
    virtual ~TableFile() = default;

    virtual TableFormat format() const = 0;
    virtual const std::string& path() const = 0;
    virtual const std::vector<FieldInfo>& fields() const = 0;
    virtual std::size_t recordCount() const = 0;
    virtual bool readOnly() const = 0;

    // Reads record `index` (0-based, < recordCount()) into `out`, one value per field in
    // field order, each of the C++ type that the field's StorageType reads as (see
    // coerceToField). Throws TableError naming the file and record when it is damaged.
    virtual void read(std::size_t index, Record& out) = 0;

    // Replace, append or remove one record. Values must already match the fields
    // (coerceToField). Throws TableError when the table is read-only or a value cannot be
    // stored (the message names the field and the record).
    virtual void write(std::size_t index, const Record& record) = 0;
    virtual void append(const Record& record) = 0;
    virtual void remove(std::size_t index) = 0;

    // Brings the header and every record written so far to disk.
    virtual void flush() = 0;
};

// Opens an existing table by full path; its format comes from the extension, and the
// file's content must agree. Throws TableError naming the file and what is wrong.
std::unique_ptr<TableFile> openTableFile(const std::string& path, bool readOnly = false);

struct CreateResult {
    std::unique_ptr<TableFile> table;
    // Human-readable remarks on what the format forced, for example dBase field names
    // shortened to 10 bytes: "年龄别生育率 → 年龄别生育" (one remark a line).
    std::vector<std::string> remarks;
};

// Creates a new empty table file (replacing nothing: an existing file throws TableError).
// Field names are checked (empty, duplicate, too long for the format) before anything is
// written.
CreateResult createTableFile(const std::string& path, TableFormat format,
                             const std::vector<FieldDef>& fields);

// Converts a value into what `field` stores: text is parsed for numeric fields (a text that
// is no number throws TableError with the number-conversion message), numbers are
// rounded to whole values for integer fields, and so on. Null stays null.
Value coerceToField(const Value& value, const FieldInfo& field);

}  // namespace zandor::tables
