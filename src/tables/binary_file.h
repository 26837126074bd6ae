// A table file on disk, read and written at byte offsets. Every read is checked against the
// file's size, so a damaged header never makes a reader look beyond the end of the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zandor::tables {

class BinaryFile {
public:
    BinaryFile() = default;
    BinaryFile(BinaryFile&& other) noexcept;
    BinaryFile& operator=(BinaryFile&& other) noexcept;
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;
    ~BinaryFile();

    // Throw TableError naming the path and the system's reason.
    static BinaryFile openExisting(const std::string& path, bool writable);
    static BinaryFile createNew(const std::string& path);  // fails when the file exists

    const std::string& path() const { return path_; }
    bool writable() const { return writable_; }
    std::uint64_t size() const { return size_; }

    // Reads exactly n bytes at offset; throws TableError ("... is truncated") when the file
    // ends before.
    void readExact(std::uint64_t offset, void* buffer, std::size_t n) const;
    // Reads up to n bytes; returns how many were read (fewer only at the end of the file).
    std::size_t readSome(std::uint64_t offset, void* buffer, std::size_t n) const;
    void writeAt(std::uint64_t offset, const void* buffer, std::size_t n);
    void truncate(std::uint64_t size);
    void sync();
    void close();

private:
    int fd_ = -1;
    std::string path_;
    bool writable_ = false;
    std::uint64_t size_ = 0;
};

bool fileExists(const std::string& path);

// Refuses (TableError naming the path) anything at `path` but a regular file: a named pipe,
// a device, a folder. Nothing there is accepted too. Never opens the path, so never blocks.
void requireRegularOrMissing(const std::string& path);

}  // namespace zandor::tables
