// libFuzzer target: any bytes as a .dbf file are opened and read through, giving either
// values or a TableError. The scratch table is removed after every input, so none is left
// behind when the run ends.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tables/dbase.h"
#include "tables/table_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir && *dir ? dir : "/tmp") + "/fuzz_dbase_" + std::to_string(::getpid()) + ".dbf";
    }();
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        return 0;
    }
    try {
        auto table = zandor::tables::dbase::open(path, true);
        zandor::tables::Record record;
        for (std::size_t i = 0; i < table->recordCount(); ++i)
            table->read(i, record);
    } catch (const zandor::tables::TableError&) {
    }
    std::remove(path.c_str());
    return 0;
}
