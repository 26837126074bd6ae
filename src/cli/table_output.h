// What a command prints as a table: rows of cells to standard output as CSV (text/csv_writer.h
// gives the form), or, when the command was given --xlsx, kept and written at the end as an
// Excel workbook of one sheet instead.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "tables/field.h"
#include "text/csv_writer.h"

namespace zandor::cli {

class TableOutput {
public:
    explicit TableOutput(std::FILE* out, std::size_t bufferSize = std::size_t(1) << 20);
    ~TableOutput();
    TableOutput(const TableOutput&) = delete;
    TableOutput& operator=(const TableOutput&) = delete;

    void text(std::string_view utf8);
    void integer(std::int64_t v);
    void number(double v);
    void date(const tables::Date& d);
    void boolean(bool v);  // "True" / "False"
    void empty();
    // One cell of a table: null as an empty field, the rest by type as above.
    void value(const tables::Value& v);
    void endRow();

    // Writes everything and flushes the stream, or writes the workbook. Throws
    // std::runtime_error when the output cannot be written (disk full, closed pipe).
    void finish();

    // Makes the output keep the rows and write them at finish() as the Excel workbook `path`
    // (one sheet named `sheet`, the first row as its bold, frozen header; numbers as numbers)
    // instead of CSV on the stream. The workbook is written whole or not at all.
    void writeWorkbookInstead(std::string path, std::string sheet);

private:
    struct Workbook;
    std::unique_ptr<Workbook> workbook_;
    text::CsvWriter csv_;
};

struct ParsedArgs;
// When the command was given --xlsx OUT.xlsx: checks OUT.xlsx can be written and makes `output`
// write that workbook (sheet `sheet`) instead of standard output.
void applyWorkbookOption(const ParsedArgs& args, TableOutput& output, const std::string& sheet);
// Checks early, before long work, that the file --xlsx names may be written, and refuses
// --xlsx beside --listing (a text listing is no table).
void checkWorkbookOption(const ParsedArgs& args);

}  // namespace zandor::cli
