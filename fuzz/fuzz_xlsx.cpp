// Feeds arbitrary bytes to the workbook reader (zandor-cli import of .xlsx): it must list the
// sheets and read every row of each, or throw XlsxError, and never crash, hang or run out of
// memory. Rows come in rising order and cells in rising columns within Excel's limits.
//
// Bytes that start as a zip archive are read as the workbook itself. Other bytes are split at
// "\n@@\n" into the parts of a workbook (the package and workbook relations, the workbook, the
// shared strings, the styles, the first sheet), stored uncompressed in a zip archive made
// here, so the mutations reach the XML of each part rather than dying in the compression.
#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tables/xlsx_reader.h"

namespace {

std::string zipOfParts(std::string_view text)
{
    static const char* const kNames[] = {"_rels/.rels", "xl/_rels/workbook.xml.rels", "xl/workbook.xml",
                                         "xl/sharedStrings.xml", "xl/styles.xml", "xl/worksheets/sheet1.xml"};
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < std::size(kNames)) {
        const std::size_t at = text.find("\n@@\n");
        if (at == std::string_view::npos)
            break;
        parts.push_back(text.substr(0, at));
        text.remove_prefix(at + 4);
    }
    parts.push_back(text);

    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_error_fini(&error);
    if (!buffer)
        return {};
    zip_source_keep(buffer);
    zip_error_init(&error);
    zip_t* zip = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    zip_error_fini(&error);
    if (!zip) {
        zip_source_free(buffer);
        return {};
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        zip_source_t* part = zip_source_buffer(zip, parts[i].data(), parts[i].size(), 0);
        const zip_int64_t index = part ? zip_file_add(zip, kNames[i], part, ZIP_FL_OVERWRITE) : -1;
        if (index < 0) {
            zip_source_free(part);
            continue;
        }
        zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    std::string bytes;
    if (zip_close(zip) != 0) {
        zip_discard(zip);
    } else if (zip_source_open(buffer) == 0) {
        char block[4096];
        zip_int64_t n;
        while ((n = zip_source_read(buffer, block, sizeof block)) > 0)
            bytes.append(block, static_cast<std::size_t>(n));
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string made = input.starts_with("PK") ? std::string(input) : zipOfParts(input);
    try {
        const auto book = zandor::tables::XlsxWorkbook::openBytes(made, "fuzz.xlsx");
        for (std::size_t s = 0; s < book->sheetNames().size(); ++s) {
            const auto sheet = book->openSheet(s);
            zandor::tables::XlsxRow row;
            std::uint32_t lastRow = 0;
            while (sheet->nextRow(row)) {
                if (row.number <= lastRow || row.number > 1048576)
                    __builtin_trap();
                lastRow = row.number;
                std::uint32_t lastColumn = 0;
                for (const zandor::tables::XlsxCell& cell : row.cells) {
                    if (cell.column <= lastColumn || cell.column > 16384)
                        __builtin_trap();
                    lastColumn = cell.column;
                }
            }
            for (const zandor::tables::XlsxMerge& m : sheet->merges())
                if (m.firstRow > m.lastRow || m.firstColumn > m.lastColumn)
                    __builtin_trap();
        }
    } catch (const zandor::tables::XlsxError&) {
    }
    return 0;
}
