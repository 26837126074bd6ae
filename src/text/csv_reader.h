// CSV input (zandor-cli import and schedule files, the projection wizard's "读取"): RFC 4180
// records (fields in double quotes may hold commas, quotes doubled and line breaks), lines
// ended by LF or CRLF, a UTF-8 byte order mark at the start skipped. Records are read one at a time, from text held in memory or from a file through a
// buffer of one block, so a file of any size can be read twice (once to choose the field
// types, once to write) in the same small memory.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zandor::text {

// A CSV text that breaks the quoting rules; the message names the line.
class CsvFormatError : public std::runtime_error {
public:
    CsvFormatError(const std::string& message, std::size_t line)
        : std::runtime_error(message), line_(line) {}
    std::size_t line() const { return line_; }

private:
    std::size_t line_;
};

class CsvReader {
public:
    // Reads `content`, which must outlive the reader.
    explicit CsvReader(std::string_view content);
    // Reads the file at `path` in blocks of `blockSize` bytes. Throws std::runtime_error
    // naming the file and the system's reason when it cannot be opened or read, or when it is
    // not a regular file (openRegularFile).
    static std::unique_ptr<CsvReader> openFile(const std::string& path, std::size_t blockSize = std::size_t(1) << 16);

    CsvReader(const CsvReader&) = delete;
    CsvReader& operator=(const CsvReader&) = delete;

    // Reads the next record into `fields` (resized to its number of values). Returns false
    // at the end of the text. An empty line is a record of one empty value; the line break
    // at the end of the last record does not start another one.
    bool next(std::vector<std::string>& fields);

    // The line on which the record last read starts (1-based).
    std::size_t line() const { return recordLine_; }

    // Back to the first record (the header).
    void rewind();

private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    CsvReader() = default;
    // Whether a character is left to read: loads the next block of a file once the window
    // over the current one is used up.
    bool available() { return pos_ < content_.size() || nextBlock(); }
    bool nextBlock();

    std::string_view content_;  // the whole text, or the block of the file read last
    std::unique_ptr<std::FILE, FileCloser> file_;
    std::string path_;
    std::string block_;
    std::size_t start_ = 0;
    std::size_t pos_ = 0;
    std::size_t currentLine_ = 1;
    std::size_t recordLine_ = 0;
};

// The whole file as bytes. Throws std::runtime_error naming the file and the system's reason.
std::string readWholeFile(const std::string& path);

// Opens `path` for reading when it is a regular file. A named pipe, a device, a socket or a
// folder is refused at once (std::runtime_error "cannot read PATH: it is a named pipe, not a
// regular file"), never waited on; so is a file that cannot be opened, with the system's reason.
std::FILE* openRegularFile(const std::string& path);

}  // namespace zandor::text
