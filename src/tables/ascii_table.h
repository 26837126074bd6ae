// Delimited ASCII tables: a text file (.txt) with a schema file (.sch) beside it, in the
// layout of the desktop database engines' ASCII driver, as a conversion target:
//
//   [POP2020]
//   Filetype=Delimited
//   Delimiter="
//   Separator=,
//   CharSet=china
//   Field1=地区,CHAR,20,00,00
//   Field2=年龄,LONGINT,11,00,20
//   Field3=人口,FLOAT,24,00,31
//
// One record a line (CR LF); text in double quotes (a quote inside is doubled), numbers as
// the shortest text that reads back to the same value, dates as MM/DD/YYYY, logicals T or F,
// an empty value as nothing between the separators. Both files are written in GBK (code
// page 936), which the CharSet line names by the engine's short name "china".
#pragma once

#include <string>
#include <vector>

#include "tables/table_file.h"

namespace zandor::tables::ascii {

// Creates the .txt and .sch pair for `path` (which ends in .txt or has no extension). The
// table appends, reads back and flushes; records cannot be changed or removed. Throws
// TableError when either file exists or a name has no GBK form or contains a comma.
CreateResult create(const std::string& path, const std::vector<FieldDef>& fields);

// The data and schema file names for `path`.
std::string dataPath(const std::string& path);
std::string schemaPath(const std::string& path);

}  // namespace zandor::tables::ascii
