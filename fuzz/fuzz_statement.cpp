// Feeds arbitrary text to the statement parser (Create table, alter table ... add/drop): it
// must give a statement or throw TableError, and never crash or hang. Nothing is run.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tables/statements.h"
#include "tables/table_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const auto statement = zandor::tables::parseStatement(text);
        if (const auto* create = std::get_if<zandor::tables::CreateStatement>(&statement))
            if (create->fields.empty())
                __builtin_trap();  // a Create table always has a field
    } catch (const zandor::tables::TableError&) {
    }
    try {
        zandor::tables::parseFieldDef(text);
    } catch (const zandor::tables::TableError&) {
    }
    return 0;
}
