// Drives the dBase and FoxPro writers with arbitrary bytes: a table of a few fields is made,
// records are appended, replaced and removed, the table is flushed, closed and opened again,
// and what it reads back must be what was written (record count, whole numbers, logical
// values, dates, plain ASCII texts and empty values). A refused value (TableError) leaves
// the table as it was.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tables/dbase.h"
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

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

zt::Value valueFor(Input& in, const zt::FieldDef& def)
{
    if (in.byte() % 4 == 0)
        return std::monostate{};
    switch (def.kind) {
    case zt::FieldKind::Integer:
        return std::int64_t{static_cast<std::int32_t>(in.bytes(4))};
    case zt::FieldKind::Float: {
        const std::uint64_t bits = in.bytes(8);
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    case zt::FieldKind::Date:
        return zt::Date{static_cast<int>(in.bytes(2) % 10000), in.byte() % 14, in.byte() % 33};
    case zt::FieldKind::Boolean:
        return (in.byte() & 1) != 0;
    case zt::FieldKind::Char: {
        std::string s(in.byte() % 48, ' ');
        for (char& c : s)
            c = static_cast<char>(in.byte());
        return s;
    }
    }
    return std::monostate{};
}

// Whether the value reads back exactly as written.
bool comparable(const zt::Value& v)
{
    if (const auto* s = std::get_if<std::string>(&v)) {
        if (s->empty() || s->back() == ' ')
            return false;
        for (unsigned char c : *s)
            if (c < 0x21 || c > 0x7E)
                return false;
        return true;
    }
    return !std::holds_alternative<double>(v);
}

void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = "/tmp/fuzz_dbase_write_" + std::to_string(::getpid()) + ".dbf";
    static const std::string cpg = "/tmp/fuzz_dbase_write_" + std::to_string(::getpid()) + ".cpg";
    std::remove(path.c_str());
    std::remove(cpg.c_str());
    Input in(data, size);
    const bool fox = in.byte() & 1;
    std::vector<zt::FieldDef> defs(1 + in.byte() % 6);
    for (std::size_t i = 0; i < defs.size(); ++i) {
        defs[i].name = "F" + std::to_string(i);
        defs[i].kind = static_cast<zt::FieldKind>(in.byte() % 5);
        defs[i].size = 1 + in.byte() % 40;
    }
    std::vector<zt::Record> model;
    try {
        auto created = zt::dbase::create(path, defs, fox ? zt::TableFormat::FoxPro : zt::TableFormat::DBase);
        auto& table = *created.table;
        check(table.fields().size() == defs.size());
        std::vector<zt::FieldInfo> fields = table.fields();
        for (int step = 0; step < 200 && !in.empty(); ++step) {
            const std::uint8_t op = in.byte() % 8;
            zt::Record record(defs.size());
            for (std::size_t f = 0; f < defs.size(); ++f) {
                try {
                    record[f] = zt::coerceToField(valueFor(in, defs[f]), fields[f]);
                } catch (const zt::TableError&) {
                    record[f] = std::monostate{};
                }
            }
            try {
                if (op == 6 && !model.empty()) {
                    const std::size_t at = in.byte() % model.size();
                    table.remove(at);
                    model.erase(model.begin() + static_cast<std::ptrdiff_t>(at));
                } else if (op == 5 && !model.empty()) {
                    const std::size_t at = in.byte() % model.size();
                    table.write(at, record);
                    model[at] = record;
                } else if (op == 4) {
                    table.flush();
                } else {
                    table.append(record);
                    model.push_back(record);
                }
            } catch (const zt::TableError&) {
                // refused: nothing changed
            }
            check(table.recordCount() == model.size());
        }
        table.flush();
    } catch (const zt::TableError&) {
        std::remove(path.c_str());
        std::remove(cpg.c_str());
        return 0;
    }
    auto reopened = zt::dbase::open(path, true);
    check(reopened->recordCount() == model.size());
    zt::Record back;
    for (std::size_t r = 0; r < model.size(); ++r) {
        reopened->read(r, back);
        check(back.size() == model[r].size());
        for (std::size_t f = 0; f < back.size(); ++f)
            if (comparable(model[r][f]))
                check(back[f] == model[r][f]);
    }
    reopened.reset();
    std::remove(path.c_str());
    std::remove(cpg.c_str());
    return 0;
}
