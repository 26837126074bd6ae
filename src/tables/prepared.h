// The prepared population tables: empty tables of the two standard layouts (one region, or
// rural and urban), made ready for typing in the population, mortality and fertility by
// single year of age 0 to 80.
#pragma once

#include <string>
#include <vector>

#include "text/edition.h"

namespace zandor::tables {

enum class PopulationSchema {
    SingleRegion,  // 年龄 and the five columns of one region
    RuralUrban,    // 年龄, the five rural columns, then the five urban ones
};

// The field list as the Create table statement gives it, e.g.
// "年龄 integer,男性人口 float,女性人口 float,男性死亡率 float,女性死亡率 float,年龄别生育率 float".
std::string populationFieldList(PopulationSchema schema);

// Create table "PATH" (LIST)
std::string populationCreateStatement(const std::string& path, PopulationSchema schema);

struct PreparedTable {
    std::string path;                  // the table created (with ".DB" added when it had no extension)
    std::vector<std::string> remarks;  // what the format forced, e.g. shortened dBase names
};

// Creates the table. The full edition refuses an existing file with the message
// " 文件已存在，请输入新文件名." and fills the new table with the ages 0 to 80, every other
// field 0; the target-planning edition creates the empty table (an existing file then fails in
// the table store). A table left incomplete by a failure is removed.
PreparedTable preparePopulationTable(const std::string& path, PopulationSchema schema, Edition edition);

}  // namespace zandor::tables
