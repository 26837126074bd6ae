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

}  // namespace zandor::ui
