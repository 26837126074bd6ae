// CSV output of zandor-cli: UTF-8, comma separated, one record a line ("\n"), a field quoted
// only when it holds a comma, a double quote or a line break (quotes inside are doubled).
// Numbers are written in the round-trip form (std::to_chars, the same text as
// zandor::text::formatRoundTrip). Output goes through a large buffer and leaves in big
// blocks, so dumping a million records costs little more than formatting them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "tables/field.h"

namespace zandor::cli {

class CsvWriter {
public:
    explicit CsvWriter(std::FILE* out, std::size_t bufferSize = std::size_t(1) << 20);
    // What is still buffered is dropped: a command that fails half-way throws past finish(),
    // and a short output then leaves nothing at all on the stream.
    ~CsvWriter();
    CsvWriter(const CsvWriter&) = delete;
    CsvWriter& operator=(const CsvWriter&) = delete;

    void text(std::string_view utf8);
    void integer(std::int64_t v);
    void number(double v);
    void date(const tables::Date& d);
    void boolean(bool v);  // "True" / "False"
    void empty();
    // One cell of a table: null as an empty field, the rest by type as above.
    void value(const tables::Value& v);
    void endRow();

    // Writes everything buffered and flushes the stream. Throws std::runtime_error when the
    // output cannot be written (disk full, closed pipe).
    void finish();

    // Makes the writer keep the rows and write them at finish() as the Excel workbook `path`
    // (one sheet named `sheet`, the first row as its bold, frozen header; numbers as numbers)
    // instead of CSV on the stream. The workbook is written whole or not at all.
    void writeWorkbookInstead(std::string path, std::string sheet);

private:
    void separator();
    void reserve(std::size_t n);
    void drain();
    void put(std::string_view bytes);

    struct Workbook;
    std::unique_ptr<Workbook> workbook_;
    std::FILE* out_;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_;
    std::size_t used_ = 0;
    bool rowStart_ = true;
};

// Whether a field must be quoted.
bool needsQuoting(std::string_view field);

struct ParsedArgs;
// When the command was given --xlsx OUT.xlsx: checks OUT.xlsx can be written and makes `csv`
// write that workbook (sheet `sheet`) instead of standard output.
void applyWorkbookOption(const ParsedArgs& args, CsvWriter& csv, const std::string& sheet);
// Checks early, before long work, that the file --xlsx names may be written.
void checkWorkbookOption(const ParsedArgs& args);

}  // namespace zandor::cli
