// Drives the delimited ASCII table pair (.txt with its .sch) with arbitrary bytes: a table of a
// few fields is made, records are appended and flushed, and every record must read back as it
// was written (whole numbers, finite numbers, valid dates, logical values, texts with a GBK
// form). Then bytes of the data file are overwritten with the input's own, and every record
// must still read as values or a TableError, never a crash or a read outside the file.
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tables/ascii_table.h"
#include "tables/codepage.h"
#include "tables/table_error.h"

namespace zt = zandor::tables;

namespace {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::uint64_t bytes(int n)
    {
        std::uint64_t v = 0;
        for (int i = 0; i < n; ++i)
            v = (v << 8) | byte();
        return v;
    }
    std::size_t remaining() const { return pos_ < size_ ? size_ - pos_ : 0; }
    const std::uint8_t* rest() const { return data_ + pos_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

zt::Value valueFor(Input& in, zt::FieldKind kind)
{
    if (in.byte() % 5 == 0)
        return std::monostate{};
    switch (kind) {
    case zt::FieldKind::Integer:
        return static_cast<std::int64_t>(in.bytes(8));
    case zt::FieldKind::Float: {
        const std::uint64_t bits = in.bytes(8);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    case zt::FieldKind::Date:
        return zt::Date{static_cast<int>(in.bytes(2) % 10001), in.byte() % 14, in.byte() % 33};
    case zt::FieldKind::Boolean:
        return (in.byte() & 1) != 0;
    case zt::FieldKind::Char: {
        std::string s(in.byte() % 24, ' ');
        for (char& c : s)
            c = static_cast<char>(in.byte());
        return s;
    }
    }
    return std::monostate{};
}

// Whether a stored value must read back exactly as written (an empty text reads as empty).
bool comparable(const zt::Value& v)
{
    if (const auto* s = std::get_if<std::string>(&v))
        return !s->empty() && zt::encodeText(*s, 936).has_value() &&
               zt::decodeText(*zt::encodeText(*s, 936), 936) == *s;
    return true;
}

void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

const std::string& scratchBase()
{
    static const std::string base = [] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir && *dir ? dir : "/tmp") + "/fuzz_ascii_" + std::to_string(::getpid());
    }();
    return base;
}

void removeScratch()
{
    std::remove(zt::ascii::dataPath(scratchBase()).c_str());
    std::remove(zt::ascii::schemaPath(scratchBase()).c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    removeScratch();
    Input in(data, size);
    std::vector<zt::FieldDef> defs(1 + in.byte() % 5);
    for (std::size_t i = 0; i < defs.size(); ++i) {
        defs[i].name = "F" + std::to_string(i);
        defs[i].kind = static_cast<zt::FieldKind>(in.byte() % 5);
        defs[i].size = 1 + in.byte() % 40;
    }
    try {
        auto created = zt::ascii::create(scratchBase(), defs);
        auto& table = *created.table;
        std::vector<zt::Record> model;
        for (int step = 0; step < 64 && in.remaining() > 8; ++step) {
            if (in.byte() % 8 == 0) {
                table.flush();
                continue;
            }
            zt::Record record(defs.size());
            for (std::size_t f = 0; f < defs.size(); ++f)
                record[f] = valueFor(in, defs[f].kind);
            try {
                table.append(record);
                model.push_back(record);
            } catch (const zt::TableError&) {
                // refused: nothing was appended
            }
            check(table.recordCount() == model.size());
        }
        table.flush();
        zt::Record back;
        for (std::size_t r = 0; r < model.size(); ++r) {
            table.read(r, back);
            check(back.size() == model[r].size());
            for (std::size_t f = 0; f < back.size(); ++f) {
                const zt::Value& want = model[r][f];
                if (const auto* s = std::get_if<std::string>(&want); s && s->empty())
                    check(std::holds_alternative<std::monostate>(back[f]));
                else if (comparable(want))
                    check(back[f] == want);
            }
        }

        // The rest of the input over the data file: a damaged record reads as a TableError.
        if (in.remaining() > 0 && !model.empty()) {
            if (std::FILE* f = std::fopen(zt::ascii::dataPath(scratchBase()).c_str(), "r+b")) {
                std::fseek(f, 0, SEEK_END);
                const long length = std::ftell(f);
                const long at = length > 0 ? static_cast<long>(in.byte()) % length : 0;
                std::fseek(f, at, SEEK_SET);
                const std::size_t n = std::min<std::size_t>(in.remaining(), static_cast<std::size_t>(length - at));
                std::fwrite(in.rest(), 1, n, f);
                std::fclose(f);
            }
            for (std::size_t r = 0; r < model.size(); ++r) {
                try {
                    table.read(r, back);
                    check(back.size() == defs.size());
                } catch (const zt::TableError&) {
                }
            }
        }
    } catch (const zt::TableError&) {
    }
    removeScratch();
    return 0;
}
