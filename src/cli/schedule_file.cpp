// Year options, schedule files and listings of the projection commands.
#include "cli/schedule_file.h"

#include <stdexcept>

#include "text/csv_reader.h"

namespace zandor::cli {

using text::CsvReader;
using text::readWholeFile;

std::vector<ScheduleLine> readScheduleFile(const std::string& path, int baseYear, int endYear,
                                           const std::function<bool(const std::string&)>& knownRow)
{
    const std::string content = readWholeFile(path);
    CsvReader reader(content);
    std::vector<std::string> fields;
    std::vector<std::string> expected = {"row"};
    for (int year = baseYear + 1; year <= endYear; ++year)
        expected.push_back(std::to_string(year));
    if (!reader.next(fields) || fields != expected)
        throw std::runtime_error("schedule file " + path + ": the first line must be 'row' followed by the years "
                                 + std::to_string(baseYear + 1) + " to " + std::to_string(endYear));
    std::vector<ScheduleLine> lines;
    while (reader.next(fields)) {
        if (fields.size() == 1 && fields[0].empty())
            continue;
        const std::string where = "schedule file " + path + ", line " + std::to_string(reader.line());
        if (!knownRow(fields[0]))
            throw std::runtime_error(where + ": unknown row '" + fields[0] + "'");
        if (fields.size() != expected.size())
            throw std::runtime_error(where + ": " + std::to_string(fields.size() - 1) + " cells for "
                                     + std::to_string(expected.size() - 1) + " years");
        lines.push_back({fields[0], std::vector<std::string>(fields.begin() + 1, fields.end())});
    }
    return lines;
}

void writeLines(const std::vector<std::string>& lines, std::FILE* out)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    if (std::fwrite(text.data(), 1, text.size(), out) != text.size() || std::fflush(out) != 0)
        throw std::runtime_error("cannot write the output");
}

}  // namespace zandor::cli
