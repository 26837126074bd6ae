// The structure of a table as the structure grids show it (number, name, type name, width)
// and the field records the restructure dialog compares against.
#pragma once

#include <string>
#include <vector>

#include "tables/field.h"

namespace zandor::ui {

// One row of a structure grid: the four cell texts.
struct StructureRow {
    std::string number;    // 1-based field number
    std::string name;
    std::string typeName;  // "Integer", "Float", "Char", "Boolean" or "Date"
    std::string width;     // display width, for "Char" only
};

// A field of a structure being edited: flag 0 none, 1 to add, 2 present on both sides,
// -1 to drop.
struct FieldRecord {
    std::string name;
    std::string typeName;
    int width = 0;  // for "Char", else 0
    int flag = 0;
};

std::vector<StructureRow> structureRows(const std::vector<tables::FieldInfo>& fields);

// The snapshot taken when the restructure dialog opens: one record per grid row, flag 0,
// width read back from the width cell of "Char" rows.
std::vector<FieldRecord> structureSnapshot(const std::vector<StructureRow>& rows);

// A row's field definition in a statement: name, one space, the type text, and for "Char"
// (or "char") the width in parentheses. A type text other than the five names, in capitalised
// or lower case, gives the empty definition.
std::string fieldDefinition(const StructureRow& row);

// The field list of a Create table statement: "(" + the definitions joined by "," + ")".
std::string createFieldList(const std::vector<StructureRow>& rows);

// What applying an edited structure to a table does: fields are matched by name (as the
// table store compares names), so a changed type or width of a kept name changes nothing,
// and a renamed field is dropped with its data and added anew, empty.
struct RestructurePlan {
    std::vector<std::string> additions;  // definitions, in grid order
    std::vector<std::string> drops;      // names of the old fields, in table order
};
RestructurePlan planRestructure(const std::vector<FieldRecord>& old, const std::vector<StructureRow>& edited);

}  // namespace zandor::ui
