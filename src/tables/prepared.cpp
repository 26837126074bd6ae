#include "tables/prepared.h"

#include <cstdint>
#include <functional>

#include "tables/batch_move.h"
#include "tables/binary_file.h"
#include "tables/statements.h"
#include "tables/table_error.h"
#include "text/refusal.h"

namespace zandor::tables {
namespace {

constexpr int kLastAge = 80;

}  // namespace

std::string populationFieldList(PopulationSchema schema)
{
    if (schema == PopulationSchema::SingleRegion)
        return "年龄 integer,男性人口 float,女性人口 float,男性死亡率 float,女性死亡率 float,年龄别生育率 float";
    return "年龄 integer,"
           "农村男性人口 float,农村女性人口 float,农村男性死亡率 float,农村女性死亡率 float,农村年龄别生育率 float,"
           "城镇男性人口 float,城镇女性人口 float,城镇男性死亡率 float,城镇女性死亡率 float,城镇年龄别生育率 float";
}

std::string populationCreateStatement(const std::string& path, PopulationSchema schema)
{
    return "Create table \"" + path + "\" (" + populationFieldList(schema) + ")";
}

PreparedTable preparePopulationTable(const std::string& path, PopulationSchema schema, Edition edition)
{
    PreparedTable result;
    result.path = withDefaultExtension(path);
    if (edition == Edition::Full && fileExists(result.path))
        throw Refusal(" 文件已存在，请输入新文件名.");
    const Statement statement = parseStatement(populationCreateStatement(result.path, schema));
    const auto& create = std::get<CreateStatement>(statement);
    std::function<void(TableFile&)> fill;
    if (edition == Edition::Full) {
        // The ages 0 to 80, every other field 0.
        fill = [](TableFile& table) {
            const auto& fields = table.fields();
            Record record(fields.size());
            for (int age = 0; age <= kLastAge; ++age) {
                record[0] = coerceToField(std::int64_t{age}, fields[0]);
                for (std::size_t f = 1; f < fields.size(); ++f)
                    record[f] = coerceToField(0.0, fields[f]);
                table.append(record);
            }
        };
    }
    // Written beside the name and moved into place when whole, so a failure or a kill leaves
    // no partial table under the name.
    // A table that another program creates at the name meanwhile is kept and this one refused.
    try {
        result.remarks = createTable(create.path, formatOfPath(create.path), create.fields, fill);
    } catch (const TableExists& e) {
        if (edition == Edition::Full)
            throw Refusal(" 文件已存在，请输入新文件名.");
        throw;
    }
    return result;
}

}  // namespace zandor::tables
