// What the two projection commands share: the schedule file (cells typed into the dialog's
// grids, by row name and year) and the output of a text listing.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace zandor::cli {

// One line of a schedule file: a row name and one cell text per projected year.
struct ScheduleLine {
    std::string row;
    std::vector<std::string> cells;
};

// Reads a schedule file (CSV): first line "row" and the years baseYear + 1 .. endYear, then
// one line per row. The whole file is checked before anything is returned: an unknown row
// name (knownRow false) or a line with the wrong number of cells throws std::runtime_error
// naming the file and the line. Empty lines are skipped.
std::vector<ScheduleLine> readScheduleFile(const std::string& path, int baseYear, int endYear,
                                           const std::function<bool(const std::string&)>& knownRow);

// The lines of a text listing, each ended by a line break.
void writeLines(const std::vector<std::string>& lines, std::FILE* out);

}  // namespace zandor::cli
