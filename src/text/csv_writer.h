// CSV output: UTF-8, comma separated, one record a line ("\n"), a field quoted only when it
// holds a comma, a double quote or a line break (quotes inside are doubled). Numbers are
// written in the round-trip form (std::to_chars, the same text as formatRoundTrip). Output
// goes through a large buffer and leaves in big blocks, so dumping a million records costs
// little more than formatting them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>

namespace zandor::text {

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
    void date(int year, int month, int day);  // YYYY-MM-DD (a year of at least four digits)
    void boolean(bool v);                     // "True" / "False"
    void empty();
    void endRow();

    // Writes everything buffered and flushes the stream. Throws std::runtime_error when the
    // output cannot be written (disk full, closed pipe).
    void finish();

private:
    void separator();
    void reserve(std::size_t n);
    void drain();
    void put(std::string_view bytes);

    std::FILE* out_;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_;
    std::size_t used_ = 0;
    bool rowStart_ = true;
};

// Whether a field must be quoted.
bool needsQuoting(std::string_view field);

}  // namespace zandor::text
