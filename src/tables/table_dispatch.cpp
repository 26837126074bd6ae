// Chooses the codec for a table file by the kind its path names.
#include <cstdio>

#include "tables/ascii_table.h"
#include "tables/binary_file.h"
#include "tables/dbase.h"
#include "tables/paradox.h"
#include "tables/replace.h"
#include "tables/table_error.h"
#include "tables/table_file.h"

namespace zandor::tables {

std::unique_ptr<TableFile> openTableFile(const std::string& path, bool readOnly)
{
    const TableFormat format = formatOfPath(path);
    // A replacement of this table interrupted by a killed process is completed or undone first
    // (and the user told), and a lock file a killed process left is removed.
    for (const std::string& note : tidyTableName(path))
        std::fprintf(stderr, "%s\n", note.c_str());
    if (format == TableFormat::Paradox)
        return paradox::open(path, readOnly);
    return dbase::open(path, readOnly);
}

CreateResult createTableFile(const std::string& path, TableFormat format, const std::vector<FieldDef>& fields)
{
    if (fields.empty())
        throw TableError("A table needs at least one field: " + path);
    switch (format) {
    case TableFormat::Paradox: return paradox::create(path, fields);
    case TableFormat::DBase:
    case TableFormat::FoxPro: return dbase::create(path, fields, format);
    case TableFormat::Ascii: return ascii::create(path, fields);
    }
    throw TableError("Unknown table format for " + path);
}

}  // namespace zandor::tables
