// The values of Paradox records: numbers big-endian with the sign bit flipped, dates as day
// numbers, times, time stamps and packed decimals; the decoding and encoding of one record's
// bytes by the table's field layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tables/field.h"
#include "tables/paradox_layout.h"

namespace zandor::tables::paradox {

// "record N", counting from 1.
std::string recordLabel(std::size_t index);

// Reads and writes the records of one table. Messages name the table's path, the field and
// the record.
class RecordCodec {
public:
    RecordCodec(const std::vector<FieldLayout>& layout, const std::vector<FieldInfo>& fields, const int& codePage,
                const std::string& path)
        : layout_(layout), fields_(fields), codePage_(codePage), path_(path)
    {
    }

    // The value of field f, whose bytes start at p.
    Value decode(std::size_t f, const std::uint8_t* p) const;

    // Encodes a whole record into `out` (the record size) before anything is stored, so a
    // refused value leaves the table as it was. `old` is the record being replaced, if any:
    // fields of types that are only read keep their bytes when their value is unchanged.
    // Returns the table's automatic number after the record, given `autoInc` before it.
    std::uint32_t encode(const Record& record, std::size_t index, const std::uint8_t* old,
                         std::vector<std::uint8_t>& out, std::uint32_t autoInc) const;

private:
    [[noreturn]] void refuse(std::size_t field, std::size_t index, const std::string& why) const;
    [[noreturn]] void wrongType(std::size_t field, std::size_t index, const Value& v) const;

    const std::vector<FieldLayout>& layout_;
    const std::vector<FieldInfo>& fields_;
    const int& codePage_;
    const std::string& path_;
};

}  // namespace zandor::tables::paradox
