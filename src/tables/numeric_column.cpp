#include "tables/numeric_column.h"

#include "tables/table.h"

namespace zandor::tables {

std::vector<double> readNumericColumn(Table& table, std::string_view name)
{
    std::vector<double> values;
    values.reserve(table.recordCount());
    for (table.first(); !table.eof(); table.next())
        values.push_back(table.asFloat(name));
    return values;
}

}  // namespace zandor::tables
