// Adding a result field to the current table: an analysis writes its results, one value a
// row, into a new Float field at the end of the table the main window has open.
#pragma once

#include <string>
#include <vector>

#include "tables/table.h"

namespace zandor::tables {

// Adds the Float field `name` to the table `current` has open and writes `values` into it
// row by row in row order (rows beyond the values stay null). `current` is closed for the
// rewrite and is open on the new structure afterwards, at its first row.
//
// A name already in the table is refused with zandor::Refusal(name + "变量已存在，请输入新的变量名.")
// and nothing changes; so are more values than rows (TableError). If the table cannot be
// restructured, `current` is reopened on the unchanged table and the error passed on.
// Returns the remarks of the format (a dBase name shortened to 10 bytes).
std::vector<std::string> addResultField(Table& current, const std::string& name, const std::vector<double>& values);

}  // namespace zandor::tables
