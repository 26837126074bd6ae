#include "ui/session/structure_rows.h"

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

std::string fieldDefinition(const StructureRow& row)
{
    const std::string& type = row.typeName;
    if (type == "Char" || type == "char")
        return row.name + " " + type + "(" + row.width + ")";
    for (const char* name : {"Float", "float", "Integer", "integer", "Date", "date", "Boolean", "boolean"})
        if (type == name)
            return row.name + " " + type;
    return {};
}

std::string createFieldList(const std::vector<StructureRow>& rows)
{
    std::string list = "(";
    for (std::size_t i = 0; i < rows.size(); ++i)
        list.append(i ? "," : "").append(fieldDefinition(rows[i]));
    return list + ")";
}

RestructurePlan planRestructure(const std::vector<FieldRecord>& old, const std::vector<StructureRow>& edited)
{
    auto named = [](const std::string& name, const auto& items, auto nameOf) {
        for (const auto& item : items)
            if (tables::sameFieldName(nameOf(item), name))
                return true;
        return false;
    };
    RestructurePlan plan;
    for (const StructureRow& row : edited)
        if (!row.name.empty() && !row.typeName.empty()
            && !named(row.name, old, [](const FieldRecord& r) -> const std::string& { return r.name; }))
            plan.additions.push_back(fieldDefinition(row));
    for (const FieldRecord& field : old)
        if (!named(field.name, edited, [](const StructureRow& r) -> const std::string& { return r.name; }))
            plan.drops.push_back(field.name);
    return plan;
}

}  // namespace zandor::ui
