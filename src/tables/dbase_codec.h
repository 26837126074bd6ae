// The values of dBase and FoxPro records: number texts of N fields, and the decoding and
// encoding of one record's bytes by the table's layout.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tables/dbase_layout.h"
#include "tables/field.h"

namespace zandor::tables::dbase {

// Without surrounding (or trailing) blanks and NUL bytes.
std::string_view trimmed(std::string_view s);
std::string_view trimmedRight(std::string_view s);

// "record N", counting from 1.
std::string recordName(std::size_t index);

// Writes the N-field text of `value` into out (room for `width` characters); returns its
// length, 0 when it cannot keep 13 significant digits (or all of them, if fewer).
std::size_t formatNumeric(double value, int width, char* out);

// Reads and writes records of one table. Messages name the table's path and the record.
class RecordCodec {
public:
    RecordCodec(const Layout& layout, const std::string& path) : layout_(layout), path_(path) {}

    Value decode(const std::uint8_t* rec, std::size_t field, std::size_t index) const;
    // Blank contents of every field: what a new record holds before values are set.
    void blankRecord(std::uint8_t* rec) const;
    // Encodes `record` into the record bytes `rec` (which hold the old record unless `fresh`);
    // a value the field cannot hold throws TableError naming the field and record.
    void encodeRecord(const Record& record, std::uint8_t* rec, std::size_t index, bool fresh) const;

private:
    bool nullBitSet(const std::uint8_t* rec, int bit) const;
    void setNullBit(std::uint8_t* rec, int bit, bool on) const;
    [[noreturn]] void badValue(std::size_t field, std::size_t index, const std::string& what) const;
    [[noreturn]] void refuse(std::size_t field, std::size_t index, const std::string& what) const;
    void encode(const Value& v, std::uint8_t* rec, std::size_t field, std::size_t index, bool fresh) const;
    std::int64_t integerOf(const Value& v, std::size_t field, std::size_t index) const;
    double doubleOf(const Value& v, std::size_t field, std::size_t index) const;
    void encodeNumeric(const Value& v, std::uint8_t* p, std::size_t field, std::size_t index) const;

    const Layout& layout_;
    const std::string& path_;
};

}  // namespace zandor::tables::dbase
