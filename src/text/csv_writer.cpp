// CSV output with a large buffer and std::to_chars for numbers.
#include "text/csv_writer.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <stdexcept>
#include <string>

namespace zandor::text {

namespace {

[[noreturn]] void throwWriteError(int error)
{
    throw std::runtime_error(std::string("cannot write the output: ")
                             + (error ? std::strerror(error) : "write error"));
}

}  // namespace

bool needsQuoting(std::string_view field)
{
    for (char c : field)
        if (c == ',' || c == '"' || c == '\n' || c == '\r')
            return true;
    return false;
}

CsvWriter::CsvWriter(std::FILE* out, std::size_t bufferSize)
    : out_(out), buffer_(new char[bufferSize < 64 ? 64 : bufferSize]),
      capacity_(bufferSize < 64 ? 64 : bufferSize)
{
}

CsvWriter::~CsvWriter() = default;

void CsvWriter::drain()
{
    if (used_ == 0)
        return;
    errno = 0;
    if (std::fwrite(buffer_.get(), 1, used_, out_) != used_)
        throwWriteError(errno);
    used_ = 0;
}

void CsvWriter::reserve(std::size_t n)
{
    if (capacity_ - used_ < n)
        drain();
}

void CsvWriter::put(std::string_view bytes)
{
    if (bytes.size() > capacity_ - used_) {
        drain();
        if (bytes.size() > capacity_) {
            errno = 0;
            if (std::fwrite(bytes.data(), 1, bytes.size(), out_) != bytes.size())
                throwWriteError(errno);
            return;
        }
    }
    std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
    used_ += bytes.size();
}

void CsvWriter::separator()
{
    if (rowStart_) {
        rowStart_ = false;
        return;
    }
    reserve(1);
    buffer_[used_++] = ',';
}

void CsvWriter::text(std::string_view utf8)
{
    separator();
    if (!needsQuoting(utf8)) {
        put(utf8);
        return;
    }
    reserve(1);
    buffer_[used_++] = '"';
    std::size_t start = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] == '"') {
            put(utf8.substr(start, i + 1 - start));  // the quote itself, then its double
            start = i;
        }
    }
    put(utf8.substr(start));
    reserve(1);
    buffer_[used_++] = '"';
}

void CsvWriter::integer(std::int64_t v)
{
    separator();
    reserve(24);
    char* begin = buffer_.get() + used_;
    used_ += std::to_chars(begin, begin + 24, v).ptr - begin;
}

void CsvWriter::number(double v)
{
    separator();
    reserve(32);
    char* begin = buffer_.get() + used_;
    used_ += std::to_chars(begin, begin + 32, v).ptr - begin;
}

void CsvWriter::date(int year, int month, int day)
{
    separator();
    reserve(40);
    char* p = buffer_.get() + used_;
    char* const end = p + 40;
    if (year < 0) {
        *p++ = '-';
        year = -year;
    }
    char digits[16];
    char* digitsEnd = std::to_chars(digits, digits + sizeof digits, year).ptr;
    for (std::ptrdiff_t n = digitsEnd - digits; n < 4; ++n)
        *p++ = '0';
    p = std::copy(digits, digitsEnd, p);
    auto twoDigits = [&](int v) {
        *p++ = '-';
        if (v >= 0 && v < 10)
            *p++ = '0';
        p = std::to_chars(p, end, v).ptr;
    };
    twoDigits(month);
    twoDigits(day);
    used_ = p - buffer_.get();
}

void CsvWriter::boolean(bool v)
{
    separator();
    put(v ? std::string_view("True") : std::string_view("False"));
}

void CsvWriter::empty()
{
    separator();
}

void CsvWriter::endRow()
{
    reserve(1);
    buffer_[used_++] = '\n';
    rowStart_ = true;
}

void CsvWriter::finish()
{
    drain();
    errno = 0;
    if (std::fflush(out_) != 0 || std::ferror(out_))
        throwWriteError(errno);
}

}  // namespace zandor::text
