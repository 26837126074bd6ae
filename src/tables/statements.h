// The table statements the program builds: Create table, alter table ... add, alter table ...
// drop. Adding or dropping a field rewrites the table beside the old one and puts the new file
// in its place only when it is complete, so a failure half way leaves the old table as it was.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "tables/field.h"
#include "tables/table_file.h"

namespace zandor::tables {

// The widest text field ("char(n)") a table of `format` holds.
int maxCharWidth(TableFormat format);

struct CreateStatement {
    std::string path;
    std::vector<FieldDef> fields;
};
struct AddFieldStatement {
    std::string path;
    FieldDef field;
};
struct DropFieldStatement {
    std::string path;
    std::string name;
};
using Statement = std::variant<CreateStatement, AddFieldStatement, DropFieldStatement>;

// Reads a statement without touching any file. Keywords and type names are taken in any
// case, and extra blanks between the parts are allowed. Throws TableError saying what is
// wrong: unknown type names, missing quotation marks or parentheses, empty definitions,
// duplicate names.
Statement parseStatement(std::string_view statement);

// One "name type" definition, e.g. "名称 char(20)" or "结果 Float".
FieldDef parseFieldDef(std::string_view definition);

// Runs a statement and returns the remarks on what the table format forced (e.g. shortened
// dBase names). Throws TableError naming what prevented it; nothing is changed then.
std::vector<std::string> runStatement(std::string_view statement);

// Called after each record copied into the new table, with the number copied so far. It may
// throw to abandon the rewrite (the tests use it to stop a rewrite half way).
using RecordHook = std::function<void(std::size_t copied)>;

// Adds `field` at the end of the table's fields (null in every record), or drops the field
// named `name`, by rewriting the table; the old table stays intact if anything fails.
std::vector<std::string> addField(const std::string& path, const FieldDef& field,
                                  const RecordHook& afterRecord = {});
// A new field and its values, one a record from the first (null in the records beyond them).
struct FieldWithValues {
    FieldDef def;
    std::span<const double> values = {};
};
// Adds every one of `fields` at the end, in their order, with their values, in one rewrite:
// either the table has all of them or, after any failure, it is exactly as it was.
std::vector<std::string> addFields(const std::string& path, const std::vector<FieldWithValues>& fields,
                                   const RecordHook& afterRecord = {});
std::vector<std::string> dropField(const std::string& path, std::string_view name,
                                   const RecordHook& afterRecord = {});

// Gives the field numbered `field` (0-based) of the table `source` (open at `path`) the
// `values`, one a record from the first (the records beyond them keep theirs), in one
// rewrite: after any failure or a killed process the table is as it was or wholly new. A
// table whose fields a rewrite cannot recreate as they are (binary, memo, or kinds such as
// Paradox short or currency fields) is refused before anything is written. `afterRecord`
// may throw to abandon the rewrite, the table then as it was.
void rewriteFieldValues(TableFile& source, const std::string& path, int field, std::span<const double> values,
                        const RecordHook& afterRecord = {});

}  // namespace zandor::tables
