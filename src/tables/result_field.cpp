#include "tables/result_field.h"

#include <cmath>

#include "tables/table_error.h"
#include "text/refusal.h"

namespace zandor::tables {

void refuseExistingNames(const Table& current, const std::vector<std::string>& names)
{
    for (const std::string& name : names)
        for (const FieldInfo& field : current.fields())
            if (sameFieldName(field.name, name))
                throw Refusal(name + "变量已存在，请输入新的变量名.");
}

namespace {

void checkColumn(const Table& current, const std::vector<ResultColumn>& columns, std::size_t k)
{
    const ResultColumn& column = columns[k];
    const std::string& name = column.name;
    if (name.empty() || name.find_first_of(" \t\r\n") != std::string::npos)
        throw TableError("The field name '" + name + "' must be one word without blanks");
    for (std::size_t j = 0; j < k; ++j)
        if (sameFieldName(columns[j].name, name))
            throw TableError("The field name " + name + " is given twice");
    if (column.values.size() > current.recordCount())
        throw TableError("There are " + std::to_string(column.values.size()) + " values for the field " + name +
                         " but only " + std::to_string(current.recordCount()) + " rows in " + current.path());
    // A value no table can hold is found before the table changes, not half way through it.
    for (std::size_t i = 0; i < column.values.size(); ++i)
        if (!std::isfinite(column.values[i]))
            throw TableError("The value for row " + std::to_string(i + 1) + " of the field " + name +
                             " is not a number that a table can hold");
}

}  // namespace

std::vector<std::string> addResultFields(Table& current, const std::vector<ResultColumn>& columns,
                                         const RecordHook& afterRecord)
{
    if (!current.isOpen())
        throw TableError("No table is open to add the field " + (columns.empty() ? std::string() : columns[0].name) +
                         " to");
    std::vector<std::string> names;
    for (const ResultColumn& column : columns)
        names.push_back(column.name);
    refuseExistingNames(current, names);
    if (current.readOnly())
        throw TableError("The table " + current.path() + " is read-only; the field " + names.at(0) +
                         " cannot be added");
    for (std::size_t k = 0; k < columns.size(); ++k)
        checkColumn(current, columns, k);

    std::vector<FieldWithValues> fields;
    for (const ResultColumn& column : columns)
        fields.push_back(FieldWithValues{FieldDef{column.name, FieldKind::Float}, column.values});
    const std::string path = current.path();
    current.close();
    std::vector<std::string> remarks;
    try {
        remarks = addFields(path, fields, afterRecord);
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
    return remarks;
}

std::vector<std::string> addResultField(Table& current, const std::string& name, const std::vector<double>& values)
{
    return addResultFields(current, {ResultColumn{name, values}});
}

}  // namespace zandor::tables
