// zandor-cli project-batch MANIFEST.csv --out DIR: one single-region projection per manifest
// row, run on several threads, each through the same code as `project`; a result file per run
// and a summary in manifest order. The outputs depend only on the manifest: not on the number
// of threads, nor on how the rows are shared out between machines with --shard.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "cli/cli.h"
#include "cli/commands.h"
#include "cli/table_output.h"
#include "cli/project_output.h"
#include "tables/output_file.h"
#include "text/csv_reader.h"
#include "text/refusal.h"

namespace zandor::cli {

namespace {

namespace fs = std::filesystem;

// One run of the manifest: its name, its line, and the words of its `project` command line
// (or why the row cannot make one).
struct BatchRun {
    std::string name;
    std::size_t line = 0;
    std::vector<std::string> words;
    std::string usageProblem;
};

struct RunOutcome {
    std::string status;  // ok, refused, failed, usage
    std::string message;
    ProjectTotals totals;
};

const char* const kSummaryName = "summary";

[[noreturn]] void manifestError(const std::string& path, std::size_t line, const std::string& what)
{
    throw std::runtime_error(path + ", line " + std::to_string(line) + ": " + what);
}

// Whether a run name can be a file name in DIR: not empty, not "." or "..", no slash and no
// NUL, and not the summary's own name.
std::optional<std::string> badName(const std::string& name)
{
    if (name.empty())
        return "the run has no name";
    if (name == "." || name == "..")
        return "'" + name + "' is not a file name";
    if (name.find('/') != std::string::npos || name.find('\0') != std::string::npos)
        return "the name '" + name + "' holds a slash";
    if (name == kSummaryName)
        return "the name 'summary' is taken by summary.csv";
    return std::nullopt;
}

// Reads the manifest whole and checks its header and names before anything runs.
std::vector<BatchRun> readManifest(const std::string& path)
{
    const CommandSpec& project = projectCommand();
    std::map<std::string, const OptionSpec*> options;
    // Every run writes its rows to DIR/NAME.csv; a workbook beside it is not a manifest column.
    for (const OptionSpec& option : project.options)
        if (option.name != "xlsx")
            options[option.name] = &option;

    auto reader = text::CsvReader::openFile(path);
    std::vector<std::string> header;
    if (!reader->next(header))
        manifestError(path, 1, "the manifest is empty");
    for (std::string& column : header) {
        while (!column.empty() && (column.back() == ' ' || column.back() == '\r'))
            column.pop_back();
        while (!column.empty() && column.front() == ' ')
            column.erase(column.begin());
    }
    std::set<std::string> seen;
    for (const std::string& column : header) {
        if (column != "name" && column != "table" && !options.contains(column))
            manifestError(path, 1, "unknown column '" + column + "' (the columns are name, table and the long "
                                   "options of project without the dashes)");
        if (!seen.insert(column).second)
            manifestError(path, 1, "the column '" + column + "' appears twice");
    }
    for (const char* required : {"name", "table"})
        if (!seen.contains(required))
            manifestError(path, 1, std::string("the manifest has no column '") + required + "'");

    const fs::path folder = fs::path(path).parent_path();
    std::vector<BatchRun> runs;
    std::set<std::string> names;
    std::vector<std::string> fields;
    while (reader->next(fields)) {
        const std::size_t line = reader->line();
        if (std::all_of(fields.begin(), fields.end(), [](const std::string& f) { return f.empty(); }))
            continue;
        if (fields.size() != header.size())
            manifestError(path, line, std::to_string(fields.size()) + " values for " + std::to_string(header.size())
                                          + " columns");
        BatchRun run;
        run.line = line;
        std::vector<std::string> optionWords;
        std::string table;
        for (std::size_t i = 0; i < header.size(); ++i) {
            const std::string& column = header[i];
            const std::string& cell = fields[i];
            if (column == "name") {
                run.name = cell;
            } else if (column == "table" || column == "schedule") {
                // Files named in the manifest are found from the manifest's folder.
                if (cell.empty())
                    continue;
                const std::string file = fs::path(cell).is_absolute() ? cell : (folder / cell).string();
                if (column == "table")
                    table = file;
                else
                    optionWords.insert(optionWords.end(), {"--schedule", file});
            } else if (options.at(column)->takesValue) {
                if (!cell.empty())
                    optionWords.insert(optionWords.end(), {"--" + column, cell});
            } else if (cell == "1") {
                optionWords.push_back("--" + column);
            } else if (!cell.empty() && cell != "0" && run.usageProblem.empty()) {
                run.usageProblem = "the column '" + column + "' takes 1 or 0, not '" + cell + "'";
            }
        }
        if (auto problem = badName(run.name))
            manifestError(path, line, *problem);
        if (!names.insert(run.name).second)
            manifestError(path, line, "the name '" + run.name + "' is given twice");
        if (table.empty() && run.usageProblem.empty())
            run.usageProblem = "the run names no table";
        // The options, then the table after "--", so that no table path is read as an option.
        run.words = std::move(optionWords);
        run.words.insert(run.words.end(), {"--", table});
        runs.push_back(std::move(run));
    }
    return runs;
}

// Runs one manifest row as `project` and adds DIR/NAME.csv to the files of the batch.
RunOutcome runOne(const BatchRun& run, const fs::path& dir, tables::OutputFileGroup& files)
{
    RunOutcome outcome;
    try {
        if (!run.usageProblem.empty())
            throw UsageError(run.usageProblem);
        const ParsedArgs args = parseArgs(projectCommand(), run.words);
        char* data = nullptr;
        std::size_t size = 0;
        std::FILE* out = open_memstream(&data, &size);
        if (!out)
            throw std::bad_alloc();
        try {
            outcome.totals = writeProjectOutput(args, out);
        } catch (...) {
            std::fclose(out);
            std::free(data);
            throw;
        }
        std::fclose(out);
        const std::string bytes(data, size);
        std::free(data);
        files.add((dir / (run.name + ".csv")).string(), bytes);
        outcome.status = "ok";
    } catch (const UsageError& e) {
        outcome = {"usage", e.what(), {}};
    } catch (const Refusal& e) {
        outcome = {"refused", e.what(), {}};
    } catch (const std::bad_alloc&) {
        outcome = {"failed", "out of memory", {}};
    } catch (const std::exception& e) {
        outcome = {"failed", e.what(), {}};
    }
    return outcome;
}

int positiveNumber(const std::string& text, const std::string& option)
{
    std::size_t used = 0;
    int value = 0;
    try {
        value = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size() || value < 0)
        throw UsageError("--" + option + " takes a whole number, not '" + text + "'");
    return value;
}

// "--shard I/N": this machine's share of the rows, 0 <= I < N.
std::pair<int, int> shardOption(const std::string& text)
{
    const auto slash = text.find('/');
    if (slash == std::string::npos)
        throw UsageError("--shard takes I/N (for example 0/4), not '" + text + "'");
    const int index = positiveNumber(text.substr(0, slash), "shard");
    const int count = positiveNumber(text.substr(slash + 1), "shard");
    if (count < 1 || index >= count)
        throw UsageError("--shard I/N needs 0 <= I < N, not '" + text + "'");
    return {index, count};
}

// The progress line on a terminal: runs done of all, the rate and the time left.
void showProgress(std::FILE* err, std::size_t done, std::size_t total, double seconds, bool last)
{
    const double rate = seconds > 0 ? static_cast<double>(done) / seconds : 0;
    char line[160];
    if (rate > 0 && done < total)
        std::snprintf(line, sizeof line, "\r%zu/%zu runs, %.0f runs/s, about %.0f s left   ", done, total, rate,
                      static_cast<double>(total - done) / rate);
    else
        std::snprintf(line, sizeof line, "\r%zu/%zu runs, %.0f runs/s   ", done, total, rate);
    std::fputs(line, err);
    if (last)
        std::fputc('\n', err);
    std::fflush(err);
}

int runProjectBatch(const ParsedArgs& args, Streams& io)
{
    int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    if (auto text = args.value("threads")) {
        threads = positiveNumber(*text, "threads");
        if (threads < 1)
            throw UsageError("--threads takes at least 1");
    }
    std::pair<int, int> shard{0, 1};
    if (auto text = args.value("shard"))
        shard = shardOption(*text);

    const std::vector<BatchRun> manifest = readManifest(args.positional(0));
    std::vector<const BatchRun*> runs;
    for (std::size_t i = 0; i < manifest.size(); ++i)
        if (static_cast<int>(i % static_cast<std::size_t>(shard.second)) == shard.first)
            runs.push_back(&manifest[i]);

    const fs::path dir = *args.value("out");
    std::error_code error;
    fs::create_directories(dir, error);
    if (!fs::is_directory(dir))
        throw std::runtime_error(dir.string() + ": cannot make the output folder"
                                 + (error ? " (" + error.message() + ")" : std::string()));
    tables::requireWritableOutput((dir / "summary.csv").string());

    // Workers take the next row until none is left; each outcome has its own slot, so the
    // summary keeps the manifest's order whoever ran what.
    // The result files are written as the runs end and put in place together with the summary,
    // with one sync to disk for all of them.
    tables::OutputFileGroup files;
    std::vector<RunOutcome> outcomes(runs.size());
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> done{0};
    std::mutex doneLock;
    std::condition_variable allDone;
    const auto work = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < runs.size();) {
            outcomes[i] = runOne(*runs[i], dir, files);
            if (done.fetch_add(1) + 1 == runs.size()) {
                std::lock_guard guard(doneLock);
                allDone.notify_all();
            }
        }
    };
    const bool terminal = isatty(fileno(io.err)) == 1;
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    {
        std::vector<std::jthread> workers;
        const std::size_t count = std::min(runs.size(), static_cast<std::size_t>(threads));
        for (std::size_t t = 0; t < count; ++t)
            workers.emplace_back(work);
        if (terminal) {
            std::unique_lock lock(doneLock);
            while (!allDone.wait_for(lock, std::chrono::milliseconds(250), [&] { return done.load() == runs.size(); }))
                showProgress(io.err, done.load(), runs.size(), elapsed(), false);
        }
    }
    if (terminal)
        showProgress(io.err, runs.size(), runs.size(), elapsed(), true);

    char* data = nullptr;
    std::size_t size = 0;
    std::FILE* summary = open_memstream(&data, &size);
    if (!summary)
        throw std::bad_alloc();
    bool allOk = true;
    try {
        TableOutput csv(summary);
        for (const char* column : {"name", "status", "message", "total_first", "total_last"})
            csv.text(column);
        csv.endRow();
        for (std::size_t i = 0; i < runs.size(); ++i) {
            const RunOutcome& outcome = outcomes[i];
            allOk = allOk && outcome.status == "ok";
            csv.text(runs[i]->name);
            csv.text(outcome.status);
            csv.text(outcome.message);
            for (const std::optional<double>& total : {outcome.totals.first, outcome.totals.last}) {
                if (total)
                    csv.number(*total);
                else
                    csv.empty();
            }
            csv.endRow();
        }
        csv.finish();
    } catch (...) {
        std::fclose(summary);
        std::free(data);
        throw;
    }
    std::fclose(summary);
    const std::string bytes(data, size);
    std::free(data);
    files.add((dir / "summary.csv").string(), bytes);
    files.commit();
    return allOk ? kExitOk : kExitRefused;
}

}  // namespace

const CommandSpec& projectBatchCommand()
{
    static const CommandSpec command{
        .name = "project-batch",
        .summary = "many single-region projections from a manifest, on every core",
        .usage = "project-batch MANIFEST.csv --out DIR [--threads N] [--shard I/N]",
        .help =
            "Runs one single-region projection per row of the manifest, each exactly as\n"
            "'zandor-cli project' runs it, several at a time.\n"
            "\n"
            "MANIFEST.csv: a header line, then one line per run. Columns: name (the run's\n"
            "name, which names its result file: not empty, no slash, not '.', '..' or\n"
            "'summary', each name once), table, and any long option of project without the\n"
            "dashes (male-pop, female-pop, male-rates, female-rates, fertility, base-year,\n"
            "end-year, schedule, urban-share, migrants, migrant-stock, survival-male,\n"
            "survival-female, exact, variants, listing, ages). An empty cell leaves the option\n"
            "out; the columns without a value (migrants, exact, variants, ages) take 1 or 0.\n"
            "A relative table or schedule path is read from the manifest's folder.\n"
            "\n"
            "  --out DIR      the folder of the results (made when missing): DIR/NAME.csv per\n"
            "                 run that succeeds (what project prints) and DIR/summary.csv with\n"
            "                 name,status,message,total_first,total_last, one row per run in\n"
            "                 manifest order. status is ok, refused (the program's own\n"
            "                 message), failed (unreadable file, table store error) or usage\n"
            "                 (a bad option value in the row); total_first and total_last are\n"
            "                 the total population of the first and last projected year (of\n"
            "                 中方案 with variants). The files are put in place together when\n"
            "                 every run has ended, each whole; an interrupted batch leaves the\n"
            "                 folder's files as they were.\n"
            "  --threads N    runs at a time (default: one per core)\n"
            "  --shard I/N    runs only the rows whose position (0-based, header not counted)\n"
            "                 modulo N is I, so that N machines share one manifest; give each\n"
            "                 shard its own DIR, and the union of the shards' files is the\n"
            "                 unsharded output\n"
            "\n"
            "The outputs are the same, byte for byte, whatever the number of threads and\n"
            "however the manifest is sharded. A failing run does not stop the others. On a\n"
            "terminal, standard error shows the runs done, the rate and the time left.\n"
            "Exit status 0 when every run succeeded, 2 when any did not (see summary.csv);\n"
            "a manifest that cannot be read, an unknown column, or a bad or repeated name\n"
            "exits with 1 before anything runs.\n",
        .example = "project-batch 县区.csv --out 结果 --threads 2\n"
                   "  with 县区.csv:\n"
                   "    name,table,male-pop,female-pop,male-rates,female-rates,fertility,base-year,end-year,variants\n"
                   "    甲县,甲县.DB,男性人口,女性人口,男性死亡率,女性死亡率,年龄别生育率,2020,2050,1\n"
                   "    乙县,乙县.DB,男性人口,女性人口,男性死亡率,女性死亡率,年龄别生育率,2020,2050,0",
        .positionals = {"MANIFEST"},
        .options = {{"out", true}, {"threads", true}, {"shard", true}},
        .requiredOptions = {"out"},
        .run = runProjectBatch,
    };
    return command;
}

}  // namespace zandor::cli
