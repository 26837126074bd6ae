// RFC 4180 reading over text in memory or a file read block by block.
#include "text/csv_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace zandor::text {

namespace {

[[noreturn]] void refuseKind(const std::string& path, mode_t mode)
{
    const char* kind = S_ISFIFO(mode)                     ? "a named pipe"
                       : S_ISDIR(mode)                    ? "a folder"
                       : S_ISSOCK(mode)                   ? "a socket"
                       : (S_ISCHR(mode) || S_ISBLK(mode)) ? "a device"
                                                          : "not a regular file";
    throw std::runtime_error("cannot read " + path + ": it is " + std::string(kind) + ", not a regular file");
}

}  // namespace

std::FILE* openRegularFile(const std::string& path)
{
    // Anything but a regular file is refused before it is opened (opening a pipe with no
    // writer would wait), and again on the open file, so that what is read is what was checked.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        refuseKind(path, st.st_mode);
    errno = 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        throw std::runtime_error("cannot open " + path + ": " + std::strerror(errno));
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = errno;
        ::close(fd);
        if (S_ISREG(st.st_mode) || st.st_mode == 0)
            throw std::runtime_error("cannot open " + path + ": " + std::strerror(error));
        refuseKind(path, st.st_mode);
    }
    // Reads wait for data again, as on any file.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        const int error = errno;
        ::close(fd);
        throw std::runtime_error("cannot open " + path + ": " + std::strerror(error));
    }
    return file;
}

CsvReader::CsvReader(std::string_view content) : content_(content)
{
    if (content_.starts_with("\xEF\xBB\xBF"))
        start_ = 3;
    rewind();
}

std::unique_ptr<CsvReader> CsvReader::openFile(const std::string& path, std::size_t blockSize)
{
    std::unique_ptr<CsvReader> reader(new CsvReader());
    reader->file_.reset(openRegularFile(path));
    reader->path_ = path;
    reader->block_.resize(blockSize < 1 ? 1 : blockSize);
    reader->rewind();
    return reader;
}

bool CsvReader::nextBlock()
{
    if (!file_)
        return false;
    const std::size_t n = std::fread(block_.data(), 1, block_.size(), file_.get());
    if (n < block_.size() && std::ferror(file_.get()))
        throw std::runtime_error("cannot read " + path_ + ": " + std::strerror(errno));
    content_ = std::string_view(block_.data(), n);
    pos_ = 0;
    return n > 0;
}

void CsvReader::rewind()
{
    currentLine_ = 1;
    recordLine_ = 0;
    if (!file_) {
        pos_ = start_;
        return;
    }
    errno = 0;
    if (std::fseek(file_.get(), 0, SEEK_SET) != 0)
        throw std::runtime_error("cannot read " + path_ + " again: " + std::strerror(errno));
    // The byte order mark is looked for in the first three bytes, whatever the block size.
    char mark[3] = {};
    const std::size_t n = std::fread(mark, 1, sizeof mark, file_.get());
    if (n < sizeof mark && std::ferror(file_.get()))
        throw std::runtime_error("cannot read " + path_ + ": " + std::strerror(errno));
    if (std::string_view(mark, n) != "\xEF\xBB\xBF" && std::fseek(file_.get(), 0, SEEK_SET) != 0)
        throw std::runtime_error("cannot read " + path_ + " again: " + std::strerror(errno));
    content_ = {};
    pos_ = 0;
}

bool CsvReader::next(std::vector<std::string>& fields)
{
    if (!available())
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
        if (available() && content_[pos_] == '"') {
            const std::size_t openLine = currentLine_;
            ++pos_;
            while (true) {
                if (!available())
                    throw CsvFormatError("line " + std::to_string(openLine) + ": a quoted value is not closed",
                                         openLine);
                const std::size_t quote = content_.find('"', pos_);
                const std::size_t end = quote == std::string_view::npos ? content_.size() : quote;
                for (std::size_t i = pos_; i < end; ++i)
                    if (content_[i] == '\n')
                        ++currentLine_;
                out.append(content_.substr(pos_, end - pos_));
                pos_ = end;
                if (quote == std::string_view::npos)
                    continue;  // the value goes on in the next block
                ++pos_;
                if (available() && content_[pos_] == '"') {
                    out.push_back('"');
                    ++pos_;
                    continue;
                }
                break;
            }
            if (available() && content_[pos_] != ',' && content_[pos_] != '\n' && content_[pos_] != '\r')
                throw CsvFormatError("line " + std::to_string(currentLine_)
                                         + ": text follows the closing quote of a value",
                                     currentLine_);
        } else {
            while (available()) {
                const std::size_t size = content_.size();
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
                out.append(content_.substr(pos_, end - pos_));
                pos_ = end;
                if (end < size)
                    break;
            }
        }

        if (!available())
            break;
        const char c = content_[pos_];
        if (c == ',') {
            ++pos_;
            continue;
        }
        // End of the record: CRLF, LF or a lone CR.
        ++pos_;
        if (c == '\r' && available() && content_[pos_] == '\n')
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
    std::unique_ptr<std::FILE, Closer> file(openRegularFile(path));
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

}  // namespace zandor::text
