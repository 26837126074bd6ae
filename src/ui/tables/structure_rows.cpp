#include "ui/tables/structure_rows.h"

#include <charconv>

namespace zandor::ui {

std::vector<StructureRow> structureRows(const std::vector<tables::FieldInfo>& fields)
{
    std::vector<StructureRow> rows;
    rows.reserve(fields.size());
    int number = 0;
    for (const auto& field : fields) {
        StructureRow row;
        row.number = std::to_string(++number);
        row.name = field.name;
        // Small, long and auto-increment integers are not alike here: only the first two
        // are shown as "Integer"; every type without a name of its own shows as "Char".
        const tables::FieldKind kind = field.kind();
        row.typeName = std::string(tables::kindName(kind));
        if (kind == tables::FieldKind::Char)
            row.width = std::to_string(field.width);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<FieldRecord> structureSnapshot(const std::vector<StructureRow>& rows)
{
    std::vector<FieldRecord> records;
    records.reserve(rows.size());
    for (const auto& row : rows) {
        FieldRecord record;
        record.name = row.name;
        record.typeName = row.typeName;
        if (row.typeName == "Char") {
            const char* begin = row.width.data();
            std::from_chars(begin, begin + row.width.size(), record.width);
        }
        records.push_back(std::move(record));
    }
    return records;
}

}  // namespace zandor::ui
