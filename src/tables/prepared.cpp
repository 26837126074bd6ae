#include "tables/prepared.h"

#include <cstdint>
#include <cstdio>

#include "tables/binary_file.h"
#include "tables/statements.h"
#include "tables/table.h"
#include "text/refusal.h"

namespace zandor::tables {
namespace {

constexpr int kLastAge = 80;

// A table just created by us, removed again (with a dBase table's .cpg) unless kept.
class NewTableGuard {
public:
    explicit NewTableGuard(std::string path) : path_(std::move(path)) {}
    NewTableGuard(const NewTableGuard&) = delete;
    NewTableGuard& operator=(const NewTableGuard&) = delete;
    ~NewTableGuard()
    {
        if (keep_)
            return;
        std::remove(path_.c_str());
        const auto slash = path_.find_last_of('/');
        const auto dot = path_.find_last_of('.');
        if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
            for (const char* extension : {".cpg", ".CPG"})
                std::remove((path_.substr(0, dot) + extension).c_str());
    }
    void keep() { keep_ = true; }

private:
    std::string path_;
    bool keep_ = false;
};

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
    result.remarks = runStatement(populationCreateStatement(result.path, schema));
    NewTableGuard guard(result.path);
    if (edition == Edition::Full) {
        Table table = Table::open(result.path);
        const int fieldCount = table.fieldCount();
        for (int age = 0; age <= kLastAge; ++age) {
            table.append();
            table.setValue(0, std::int64_t{age});
            for (int f = 1; f < fieldCount; ++f)
                table.setValue(f, 0.0);
            table.post();
        }
        table.close();
    }
    guard.keep();
    return result;
}

}  // namespace zandor::tables
