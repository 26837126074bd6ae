// RFC 4180 reading over text in memory.
#include "cli/csv_reader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace zandor::cli {

CsvReader::CsvReader(std::string_view content) : content_(content)
{
    if (content_.starts_with("\xEF\xBB\xBF"))
        start_ = 3;
    rewind();
}

void CsvReader::rewind()
{
    pos_ = start_;
    currentLine_ = 1;
    recordLine_ = 0;
}

bool CsvReader::next(std::vector<std::string>& fields)
{
    const std::size_t size = content_.size();
    if (pos_ >= size)
        return false;
    recordLine_ = currentLine_;
    std::size_t count = 0;
    auto field = [&]() -> std::string& {
        if (count == fields.size())
            fields.emplace_back();
        std::string& f = fields[count++];
        f.clear();
        return f;
    };

    while (true) {
        std::string& out = field();
        if (pos_ < size && content_[pos_] == '"') {
            const std::size_t openLine = currentLine_;
            ++pos_;
            while (true) {
                const std::size_t quote = content_.find('"', pos_);
                if (quote == std::string_view::npos)
                    throw CsvFormatError("line " + std::to_string(openLine)
                                             + ": a quoted value is not closed",
                                         openLine);
                for (std::size_t i = pos_; i < quote; ++i)
                    if (content_[i] == '\n')
                        ++currentLine_;
                out.append(content_.substr(pos_, quote - pos_));
                pos_ = quote + 1;
                if (pos_ < size && content_[pos_] == '"') {
                    out.push_back('"');
                    ++pos_;
                    continue;
                }
                break;
            }
            if (pos_ < size && content_[pos_] != ',' && content_[pos_] != '\n'
                && content_[pos_] != '\r')
                throw CsvFormatError("line " + std::to_string(currentLine_)
                                         + ": text follows the closing quote of a value",
                                     currentLine_);
        } else {
            std::size_t end = pos_;
            while (end < size) {
                const char c = content_[end];
                if (c == ',' || c == '\n' || c == '\r')
                    break;
                if (c == '"')
                    throw CsvFormatError("line " + std::to_string(currentLine_)
                                             + ": a quote inside a value that is not quoted",
                                         currentLine_);
                ++end;
            }
            out.assign(content_.substr(pos_, end - pos_));
            pos_ = end;
        }

        if (pos_ >= size)
            break;
        const char c = content_[pos_];
        if (c == ',') {
            ++pos_;
            continue;
        }
        // End of the record: CRLF, LF or a lone CR.
        ++pos_;
        if (c == '\r' && pos_ < size && content_[pos_] == '\n')
            ++pos_;
        ++currentLine_;
        break;
    }
    fields.resize(count);
    return true;
}

std::string readWholeFile(const std::string& path)
{
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    errno = 0;
    std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        throw std::runtime_error("cannot open " + path + ": " + std::strerror(errno));
    std::string content;
    char block[1 << 16];
    while (true) {
        const std::size_t n = std::fread(block, 1, sizeof block, file.get());
        content.append(block, n);
        if (n < sizeof block) {
            if (std::ferror(file.get()))
                throw std::runtime_error("cannot read " + path + ": " + std::strerror(errno));
            break;
        }
    }
    return content;
}

}  // namespace zandor::cli
