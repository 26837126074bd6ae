// Excel workbooks: zandor-cli import of a sheet of 1,000,000 rows and seven columns (the
// columns of the CSV import's benchmark: an age, two counts, three rates, a region name)
// into a Paradox table, and the workbook of a 101-year by 34-indicator projection result.
//
// The files go to $ZANDOR_BENCH_TMP (or the system's temporary folder) and are removed at the
// end. ZANDOR_BENCH_KEEP_XLSX=PATH keeps a copy of the million-row workbook there, for
// measuring peak memory with /usr/bin/time and for other readers on the same file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "cli/cli.h"
#include "tables/xlsx_writer.h"

namespace {

using zandor::tables::Record;
using zandor::tables::XlsxSheetSpec;

std::filesystem::path benchFolder()
{
    static const std::filesystem::path folder = [] {
        const char* root = std::getenv("ZANDOR_BENCH_TMP");
        std::filesystem::path p = root && *root ? root : std::filesystem::temp_directory_path();
        p /= "zandor-xlsx-bench-" + std::to_string(::getpid());
        std::filesystem::create_directories(p);
        return p;
    }();
    return folder;
}

const std::string& workbookToImport(std::size_t records)
{
    static const std::string path = [records] {
        const std::string file = (benchFolder() / "import.xlsx").string();
        XlsxSheetSpec sheet;
        sheet.name = "人口";
        sheet.header = {"年龄", "男性人口", "女性人口", "男性死亡率", "女性死亡率", "年龄别生育率", "地区"};
        std::size_t i = 0;
        sheet.nextRow = [&](Record& row) {
            if (i >= records)
                return false;
            row = {static_cast<std::int64_t>(i % 101), static_cast<double>(i % 100000) * 3.5,
                   static_cast<double>(i % 99991) * 3.25, static_cast<double>(i % 997) / 10000.0,
                   static_cast<double>(i % 991) / 10000.0, static_cast<double>(i % 83) / 1000.0,
                   std::string(i % 2 ? "城镇" : "农村")};
            ++i;
            return true;
        };
        zandor::tables::writeXlsxFile(file, {sheet});
        if (const char* keep = std::getenv("ZANDOR_BENCH_KEEP_XLSX"))
            std::filesystem::copy_file(file, keep, std::filesystem::copy_options::overwrite_existing);
        return file;
    }();
    return path;
}

// Both passes of the import: the field types chosen from every cell, then every record written.
void BM_ImportWorkbook(benchmark::State& state)
{
    const auto records = static_cast<std::size_t>(state.range(0));
    const std::string& workbook = workbookToImport(records);
    const std::string target = (benchFolder() / "import.DB").string();
    std::FILE* sink = std::fopen("/dev/null", "w");
    for (auto _ : state) {
        std::filesystem::remove(target);
        if (zandor::cli::runCli({"import", workbook, target}, zandor::cli::Streams{sink, sink}) != 0)
            state.SkipWithError("import failed");
    }
    std::fclose(sink);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(records));
    state.counters["xlsx_bytes"] = static_cast<double>(std::filesystem::file_size(workbook));
    std::filesystem::remove(target);
}

// The year column and 34 indicators of 101 years, with Chinese headers and shown decimals.
void BM_ExportProjection(benchmark::State& state)
{
    XlsxSheetSpec sheet;
    sheet.name = "人口预测";
    sheet.header.push_back("年份");
    sheet.decimals.push_back(-1);
    for (int k = 0; k < 34; ++k) {
        sheet.header.push_back("指标" + std::to_string(k + 1));
        sheet.decimals.push_back(k % 4);
    }
    const std::string target = (benchFolder() / "projection.xlsx").string();
    for (auto _ : state) {
        int year = 0;
        sheet.nextRow = [&](Record& row) {
            if (year >= 101)
                return false;
            row.assign(1, static_cast<std::int64_t>(2020 + year));
            for (int k = 0; k < 34; ++k)
                row.emplace_back(1234567.0 / (k + 1) + year * 17.25);
            ++year;
            return true;
        };
        zandor::tables::writeXlsxFile(target, {sheet});
    }
    std::filesystem::remove(target);
}

}  // namespace

BENCHMARK(BM_ImportWorkbook)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportProjection)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(benchFolder(), ignored);
    return 0;
}
