// Reading one field of a table as numbers, as the analyses take their age series.
#pragma once

#include <string_view>
#include <vector>

namespace zandor::tables {

class Table;

// The values of the field `name` in every record, in table order, read as floats (an empty
// value reads as 0). An unknown field name, or a text that is no number, throws TableError
// naming it. The cursor is left at the end of the table.
std::vector<double> readNumericColumn(Table& table, std::string_view name);

}  // namespace zandor::tables
