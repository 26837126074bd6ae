// Feeds arbitrary bytes to the Paradox reader as a table file: it must read every record or
// throw TableError, and never crash, hang or read outside the file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "tables/paradox.h"
#include "tables/table_error.h"

namespace {

const std::string& scratchPath()
{
    static const std::string path = [] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir && *dir ? dir : "/tmp") + "/fuzz_paradox_" + std::to_string(::getpid()) + ".db";
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string& path = scratchPath();
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        return 0;
    }
    try {
        auto table = zandor::tables::paradox::open(path, false);
        zandor::tables::Record record;
        for (std::size_t i = 0; i < table->recordCount(); ++i)
            table->read(i, record);
        // Changing the table walks and relinks the chain as well.
        if (!table->readOnly() && table->recordCount() > 0) {
            table->write(0, record.size() == table->fields().size() ? zandor::tables::Record(record.size())
                                                                    : record);
            table->remove(table->recordCount() - 1);
            table->append(zandor::tables::Record(table->fields().size()));
            table->flush();
        }
    } catch (const zandor::tables::TableError&) {
    }
    std::remove(path.c_str());
    return 0;
}
