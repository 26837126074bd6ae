// Feeds arbitrary bytes to the CSV reader (zandor-cli import, the projection wizard): it must read records to the end or
// throw CsvFormatError naming a line within the text, and never crash or hang. Reading twice
// (as the import does) gives the same records, and so does reading the text as a file in
// small blocks, whatever the block size.
#include <cstddef>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "text/csv_reader.h"

namespace {

std::size_t readAll(zandor::text::CsvReader& reader, std::size_t lines, std::size_t& values)
{
    std::vector<std::string> fields;
    std::size_t records = 0;
    values = 0;
    try {
        while (reader.next(fields)) {
            ++records;
            values += fields.size();
            if (reader.line() < 1 || reader.line() > lines)
                __builtin_trap();
        }
    } catch (const zandor::text::CsvFormatError& e) {
        if (e.line() < 1 || e.line() > lines)
            __builtin_trap();
    }
    return records;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::size_t lines = 1;
    for (char c : text)
        lines += (c == '\n' || c == '\r') ? 1 : 0;
    zandor::text::CsvReader reader(text);
    std::size_t values1 = 0, values2 = 0;
    const std::size_t first = readAll(reader, lines, values1);
    reader.rewind();
    const std::size_t second = readAll(reader, lines, values2);
    if (first != second || values1 != values2)
        __builtin_trap();

    static const std::string path = "/tmp/fuzz_csv_" + std::to_string(::getpid()) + ".csv";
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
        auto blocks = zandor::text::CsvReader::openFile(path, 1 + (size > 0 ? data[0] % 16 : 0));
        std::size_t values3 = 0;
        if (readAll(*blocks, lines, values3) != first || values3 != values1)
            __builtin_trap();
        std::remove(path.c_str());
    }
    return 0;
}
