#include "tables/binary_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

#include "tables/table_error.h"

namespace zandor::tables {
namespace {

[[noreturn]] void fail(const std::string& path, const std::string& what, int err)
{
    throw TableError(what + " " + path + ": " + std::strerror(err));
}

}  // namespace

BinaryFile::BinaryFile(BinaryFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)),
      writable_(other.writable_), size_(other.size_)
{
}

BinaryFile& BinaryFile::operator=(BinaryFile&& other) noexcept
{
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
        writable_ = other.writable_;
        size_ = other.size_;
    }
    return *this;
}

BinaryFile::~BinaryFile() { close(); }

BinaryFile BinaryFile::openExisting(const std::string& path, bool writable)
{
    BinaryFile f;
    f.path_ = path;
    f.writable_ = writable;
    // The kind is checked before opening, and the open never waits (a named pipe with no
    // writer would block it); what was opened is checked again.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        throw TableError("Cannot open " + path + ": not a regular file");
    f.fd_ = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (f.fd_ < 0)
        fail(path, "Cannot open", errno);
    if (::fstat(f.fd_, &st) != 0)
        fail(path, "Cannot read", errno);
    if (!S_ISREG(st.st_mode))
        throw TableError("Cannot open " + path + ": not a regular file");
    ::fcntl(f.fd_, F_SETFL, ::fcntl(f.fd_, F_GETFL) & ~O_NONBLOCK);
    f.size_ = static_cast<std::uint64_t>(st.st_size);
    return f;
}

BinaryFile BinaryFile::createNew(const std::string& path)
{
    BinaryFile f;
    f.path_ = path;
    f.writable_ = true;
    f.fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (f.fd_ < 0)
        fail(path, "Cannot create", errno);
    return f;
}

void BinaryFile::readExact(std::uint64_t offset, void* buffer, std::size_t n) const
{
    if (offset > size_ || n > size_ - offset)
        throw TableError("The file " + path_ + " is truncated (needs " + std::to_string(offset + n) +
                         " bytes, has " + std::to_string(size_) + ")");
    if (readSome(offset, buffer, n) != n)
        throw TableError("The file " + path_ + " is truncated");
}

std::size_t BinaryFile::readSome(std::uint64_t offset, void* buffer, std::size_t n) const
{
    std::size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < n) {
        ssize_t r = ::pread(fd_, out + done, n - done, static_cast<off_t>(offset + done));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            fail(path_, "Cannot read", errno);
        }
        if (r == 0)
            break;
        done += static_cast<std::size_t>(r);
    }
    return done;
}

void BinaryFile::writeAt(std::uint64_t offset, const void* buffer, std::size_t n)
{
    if (!writable_)
        throw TableError("The table " + path_ + " is read-only");
    std::size_t done = 0;
    const auto* in = static_cast<const char*>(buffer);
    while (done < n) {
        ssize_t w = ::pwrite(fd_, in + done, n - done, static_cast<off_t>(offset + done));
        if (w < 0) {
            if (errno == EINTR)
                continue;
            fail(path_, "Cannot write", errno);
        }
        done += static_cast<std::size_t>(w);
    }
    if (offset + n > size_)
        size_ = offset + n;
}

void BinaryFile::truncate(std::uint64_t size)
{
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
        fail(path_, "Cannot write", errno);
    size_ = size;
}

void BinaryFile::sync()
{
    if (fd_ >= 0 && writable_ && ::fsync(fd_) != 0)
        fail(path_, "Cannot write", errno);
}

void BinaryFile::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool fileExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

void requireRegularOrMissing(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        throw TableError("Cannot write " + path + ": not a regular file");
}

}  // namespace zandor::tables
