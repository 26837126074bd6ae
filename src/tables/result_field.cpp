#include "tables/result_field.h"

#include <cmath>

#include "tables/statements.h"
#include "tables/table_error.h"
#include "text/refusal.h"

namespace zandor::tables {

std::vector<std::string> addResultField(Table& current, const std::string& name, const std::vector<double>& values)
{
    if (!current.isOpen())
        throw TableError("No table is open to add the field " + name + " to");
    if (name.empty() || name.find_first_of(" \t\r\n") != std::string::npos)
        throw TableError("The field name '" + name + "' must be one word without blanks");
    // Names compare as both table formats treat them: ASCII letters without regard to case
    // ("result" is the field "RESULT"), Chinese and every other character exactly.
    for (const FieldInfo& field : current.fields())
        if (sameFieldName(field.name, name))
            throw Refusal(name + "变量已存在，请输入新的变量名.");
    if (current.readOnly())
        throw TableError("The table " + current.path() + " is read-only; the field " + name + " cannot be added");
    if (values.size() > current.recordCount())
        throw TableError("There are " + std::to_string(values.size()) + " values for the field " + name + " but only " +
                         std::to_string(current.recordCount()) + " rows in " + current.path());

    // A value no table can hold is found before the table changes, not half way through it.
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!std::isfinite(values[i]))
            throw TableError("The value for row " + std::to_string(i + 1) + " of the field " + name +
                             " is not a number that a table can hold");

    const std::string path = current.path();
    current.close();
    std::vector<std::string> remarks;
    try {
        remarks = runStatement("alter table \"" + path + "\" Add " + name + " Float");
    } catch (...) {
        // The table is unchanged; the window goes on showing it.
        try {
            current = Table::open(path);
        } catch (...) {
            // The error that stopped the change is the one to report.
        }
        throw;
    }
    current = Table::open(path);
    // The new field is the last one; a dBase table may hold it under a shortened name.
    const int field = current.fieldCount() - 1;
    current.first();
    for (double v : values) {
        current.edit();
        current.setValue(field, v);
        current.post();
        current.next();
    }
    // The results are on disk when the analysis reports them written.
    current.file().flush();
    current.first();
    return remarks;
}

}  // namespace zandor::tables
