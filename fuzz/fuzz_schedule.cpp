// Feeds arbitrary bytes to the projection commands' schedule-file reader as a file: it must
// return lines of known rows with one cell per year, or refuse with std::runtime_error, and
// every cell must parse as a number or be refused, never crash or hang. The first byte
// chooses the year span the file is read for.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <stdexcept>
#include <string>

#include "cli/schedule_file.h"
#include "text/numbers.h"

namespace {

const std::string& scratchPath()
{
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir && *dir ? dir : "/tmp") + "/fuzz_schedule_" + std::to_string(::getpid()) + ".csv";
    }();
    return path;
}

// The row names of the single-region command.
const std::set<std::string>& knownRows()
{
    static const std::set<std::string> rows = [] {
        std::set<std::string> r = {"tfr", "e0_male", "e0_female", "sex_ratio", "new_migrants",
                                   "migrant_birth_rate", "migrant_death_rate"};
        for (int age = 15; age <= 49; ++age)
            r.insert("pattern_" + std::to_string(age));
        return r;
    }();
    return rows;
}

void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const int baseYear = 2000;
    const int endYear = baseYear + 1 + data[0] % 6;
    const std::string& path = scratchPath();
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data + 1, 1, size - 1, f);
        std::fclose(f);
    } else {
        return 0;
    }
    try {
        const auto lines = zandor::cli::readScheduleFile(path, baseYear, endYear,
                                                         [](const std::string& row) { return knownRows().contains(row); });
        for (const auto& line : lines) {
            check(knownRows().contains(line.row));
            check(line.cells.size() == static_cast<std::size_t>(endYear - baseYear));
            for (const std::string& cell : line.cells)
                (void)zandor::text::parseNumber(cell);
        }
    } catch (const std::runtime_error&) {
    }
    std::remove(path.c_str());
    return 0;
}
