// Writing and reading a population-sized table through the table store: 1,000,000 records of
// six floating-point fields, in each format the store writes (Paradox, dBase, FoxPro); and
// zandor-cli import of a CSV file of 1,000,000 rows and seven fields into each format.
//
// The files go to $ZANDOR_BENCH_TMP (or the system's temporary folder) and are removed at
// the end. Reads use a file written once per format before the first read iteration.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "cli/cli.h"
#include "stop_latency.h"
#include "tables/batch_move.h"
#include "tables/field_calculator.h"
#include "tables/table.h"
#include "tables/table_file.h"
#include "tables/table_import.h"

namespace {

using zandor::tables::FieldDef;
using zandor::tables::FieldKind;
using zandor::tables::Record;
using zandor::tables::TableFormat;

constexpr int kFields = 6;

std::filesystem::path benchFolder()
{
    static const std::filesystem::path folder = [] {
        const char* root = std::getenv("ZANDOR_BENCH_TMP");
        std::filesystem::path base = root && *root ? std::filesystem::path(root)
                                                   : std::filesystem::temp_directory_path();
        auto path = base / ("zandor-table-io-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

std::string extensionOf(TableFormat format)
{
    return format == TableFormat::Paradox ? ".db" : ".dbf";
}

std::vector<FieldDef> sixFloatFields()
{
    // The shape of a prepared single-region table without its age field.
    return {FieldDef{"男性人口", FieldKind::Float},   FieldDef{"女性人口", FieldKind::Float},
            FieldDef{"男性死亡率", FieldKind::Float}, FieldDef{"女性死亡率", FieldKind::Float},
            FieldDef{"生育率", FieldKind::Float},     FieldDef{"迁移率", FieldKind::Float}};
}

void fillRecord(Record& record, std::size_t i)
{
    // Values with a few decimals, as population counts and rates are typed.
    const double base = static_cast<double>(i % 100000);
    record[0] = base * 3.5 + 1000.0;
    record[1] = base * 3.25 + 998.0;
    record[2] = static_cast<double>(i % 997) / 10000.0;
    record[3] = static_cast<double>(i % 991) / 10000.0;
    record[4] = static_cast<double>(i % 83) / 1000.0;
    record[5] = -static_cast<double>(i % 13) / 100.0;
}

void writeTable(const std::string& path, TableFormat format, std::size_t records)
{
    std::filesystem::remove(path);
    auto created = zandor::tables::createTableFile(path, format, sixFloatFields());
    Record record(kFields);
    for (std::size_t i = 0; i < records; ++i) {
        fillRecord(record, i);
        created.table->append(record);
    }
    created.table->flush();
}

// A written table per format and size, made once.
const std::string& tableToRead(TableFormat format, std::size_t records)
{
    static std::map<std::pair<TableFormat, std::size_t>, std::string> written;
    auto key = std::make_pair(format, records);
    auto it = written.find(key);
    if (it == written.end()) {
        const std::string path = (benchFolder() / ("read-" + std::string(zandor::tables::formatName(format))
                                                   + "-" + std::to_string(records) + extensionOf(format)))
                                     .string();
        writeTable(path, format, records);
        it = written.emplace(key, path).first;
    }
    return it->second;
}

void BM_Write(benchmark::State& state, TableFormat format)
{
    const auto records = static_cast<std::size_t>(state.range(0));
    const std::string path =
        (benchFolder() / ("write-" + std::string(zandor::tables::formatName(format)) + extensionOf(format)))
            .string();
    for (auto _ : state)
        writeTable(path, format, records);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(records));
    state.counters["bytes_on_disk"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
}

// Record by record through TableFile::read, as dump and the batch copy read.
void BM_Read(benchmark::State& state, TableFormat format)
{
    const auto records = static_cast<std::size_t>(state.range(0));
    const std::string& path = tableToRead(format, records);
    double sum = 0;
    for (auto _ : state) {
        auto file = zandor::tables::openTableFile(path, /*readOnly=*/true);
        Record record;
        for (std::size_t i = 0; i < file->recordCount(); ++i) {
            file->read(i, record);
            sum += std::get<double>(record[0]);
        }
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(records));
}

// Through the cursor, one field by name per record, as the analyses read a table.
void BM_ReadCursor(benchmark::State& state, TableFormat format)
{
    const auto records = static_cast<std::size_t>(state.range(0));
    const std::string& path = tableToRead(format, records);
    double sum = 0;
    for (auto _ : state) {
        auto table = zandor::tables::Table::open(path, /*readOnly=*/true);
        for (table.first(); !table.eof(); table.next())
            sum += table.asFloat("男性人口") + table.asFloat("生育率");
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(records));
}

// A CSV file of `records` rows: an age, two counts, three rates and a region name.
const std::string& csvToImport(std::size_t records)
{
    static std::map<std::size_t, std::string> written;
    auto it = written.find(records);
    if (it == written.end()) {
        const std::string path = (benchFolder() / ("import-" + std::to_string(records) + ".csv")).string();
        std::FILE* out = std::fopen(path.c_str(), "wb");
        std::fputs("年龄,男性人口,女性人口,男性死亡率,女性死亡率,年龄别生育率,地区\n", out);
        for (std::size_t i = 0; i < records; ++i)
            std::fprintf(out, "%zu,%.1f,%.2f,%.6f,%.6f,%.5f,%s\n", i % 101, static_cast<double>(i % 100000) * 3.5,
                         static_cast<double>(i % 99991) * 3.25, static_cast<double>(i % 997) / 10000.0,
                         static_cast<double>(i % 991) / 10000.0, static_cast<double>(i % 83) / 1000.0,
                         i % 2 ? "城镇" : "农村");
        std::fclose(out);
        it = written.emplace(records, path).first;
    }
    return it->second;
}

// Both passes of the import: the field types chosen from every value, then every record written.
void BM_Import(benchmark::State& state, TableFormat format)
{
    const auto records = static_cast<std::size_t>(state.range(0));
    const std::string& csv = csvToImport(records);
    const std::string target =
        (benchFolder() / ("import-" + std::string(zandor::tables::formatName(format)) + extensionOf(format))).string();
    std::FILE* sink = std::fopen("/dev/null", "w");
    for (auto _ : state) {
        std::filesystem::remove(target);
        if (zandor::cli::runCli({"import", csv, target}, zandor::cli::Streams{sink, sink}) != 0)
            state.SkipWithError("import failed");
    }
    std::fclose(sink);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(records));
    state.counters["csv_bytes"] = static_cast<double>(std::filesystem::file_size(csv));
    std::filesystem::remove(target);
}

// How soon "停止" ends the long table work the windows start, as they check it: every 4096
// records computed, read or written (the stop requested 10 ms after the first report).
const auto kStopAfter = std::chrono::milliseconds(10);

void everyRecords(const zandor::Feedback& feedback, std::size_t done)
{
    if (done % 4096 == 0) {
        feedback.progress(0, 0, {});
        feedback.throwIfStopped();
    }
}

void BM_StopCompute(benchmark::State& state)
{
    const std::string path = (benchFolder() / "compute.db").string();
    writeTable(path, TableFormat::Paradox, static_cast<std::size_t>(state.range(0)));
    zandor::tables::FieldCalculation calculation;
    calculation.target = "迁移率";
    calculation.first = "男性人口";
    calculation.second = "女性人口";
    bench_support::measureStop(state, [&](const zandor::Feedback& feedback) {
        auto table = zandor::tables::Table::open(path);
        zandor::tables::computeField(table, calculation, [&](std::size_t n) { everyRecords(feedback, n); });
    }, std::chrono::milliseconds(state.range(1)));
}

void BM_StopImport(benchmark::State& state)
{
    const std::string& csv = csvToImport(static_cast<std::size_t>(state.range(0)));
    const std::string target = (benchFolder() / "stopped-import.db").string();
    bench_support::measureStop(state, [&](const zandor::Feedback& feedback) {
        std::filesystem::remove(target);
        zandor::tables::importCsv(csv, target, [&](std::size_t n) { everyRecords(feedback, n); },
                                  [&](std::size_t n) { everyRecords(feedback, n); });
    }, kStopAfter);
}

void BM_StopConvert(benchmark::State& state)
{
    const std::string& source = tableToRead(TableFormat::Paradox, static_cast<std::size_t>(state.range(0)));
    const std::string target = (benchFolder() / "stopped-convert.dbf").string();
    bench_support::measureStop(state, [&](const zandor::Feedback& feedback) {
        std::filesystem::remove(target);
        zandor::tables::copyTable(source, target, TableFormat::DBase,
                                  [&](std::size_t n) { everyRecords(feedback, n); });
    }, kStopAfter);
}

constexpr std::int64_t kRecords = 1'000'000;

BENCHMARK_CAPTURE(BM_Write, Paradox, TableFormat::Paradox)->Arg(kRecords)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Write, DBase, TableFormat::DBase)->Arg(kRecords)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Write, FoxPro, TableFormat::FoxPro)->Arg(kRecords)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Read, Paradox, TableFormat::Paradox)->Arg(kRecords)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Read, DBase, TableFormat::DBase)->Arg(kRecords)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Read, FoxPro, TableFormat::FoxPro)->Arg(kRecords)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ReadCursor, Paradox, TableFormat::Paradox)->Arg(kRecords)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ReadCursor, DBase, TableFormat::DBase)->Arg(kRecords)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ReadCursor, FoxPro, TableFormat::FoxPro)->Arg(kRecords)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Import, Paradox, TableFormat::Paradox)->Arg(kRecords)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Import, DBase, TableFormat::DBase)->Arg(kRecords)->Unit(benchmark::kMillisecond)->UseRealTime();
// Stopped while the rows are computed (10 ms in), and while the table is rewritten (150 ms).
BENCHMARK(BM_StopCompute)->Args({kRecords, 10})->Args({kRecords, 150})->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_StopImport)->Arg(kRecords)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_StopConvert)->Arg(kRecords)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(benchFolder(), ignored);
    return 0;
}
