// Shared pieces of the Paradox table tests: a scratch folder, whole-file reading, and a
// maker of tables as other programs (and older Paradox versions) write them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace zandor::tables::paradox::testing {

using Bytes = std::vector<std::uint8_t>;

// A folder of its own for each test, removed afterwards.
class ScratchDir {
public:
    ScratchDir()
    {
        const char* base = std::getenv("ZANDOR_TEST_TMP");
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::path(base && *base ? base : "/tmp") /
               ("paradox-" + std::string(info ? info->name() : "test") + "-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    ~ScratchDir() { std::filesystem::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }

private:
    std::filesystem::path dir_;
};

inline Bytes readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeAll(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Record values as Paradox stores them: big-endian, sign bit flipped, zero bytes empty.
inline void bigEndian(std::uint8_t* p, std::uint64_t v, int n)
{
    for (int i = n - 1; i >= 0; --i, v >>= 8)
        p[i] = static_cast<std::uint8_t>(v);
}
inline void storeInt(std::uint8_t* p, std::int64_t v, int n)
{
    const std::uint64_t sign = std::uint64_t{1} << (8 * n - 1);
    bigEndian(p, (static_cast<std::uint64_t>(v) & ((sign << 1) - 1)) ^ sign, n);
}
inline void storeDouble(std::uint8_t* p, double v)
{
    std::uint64_t bits;
    std::memcpy(&bits, &v, 8);
    bigEndian(p, (bits >> 63) ? ~bits : bits | (std::uint64_t{1} << 63), 8);
}

struct ForeignField {
    std::uint8_t type;
    std::uint8_t size;  // as the header gives it (decimals for packed decimals)
    std::string name;   // bytes as stored
    int recordBytes() const { return type == 0x17 ? 17 : size; }
};

// A table file laid out by hand. `blocks` lists the data blocks in record order, each with its
// physical block number and its records; the header's first and last block follow from it.
struct ForeignTable {
    int version = 12;        // file version id: 3/4 = 3.x, 5..9 = 4.x, 10/11 = 5.x, 12 = 7.x
    int fileType = 2;        // 2 unkeyed, 0 keyed
    int codePage = 0;        // 0: none declared
    int blockKb = 1;
    std::vector<ForeignField> fields;
    struct Block {
        int number;
        std::vector<Bytes> records;
    };
    std::vector<Block> blocks;

    int recordSize() const
    {
        int n = 0;
        for (const auto& f : fields)
            n += f.recordBytes();
        return n;
    }

    Bytes build() const
    {
        const int n = static_cast<int>(fields.size());
        const std::size_t headerSize = 0x800;
        const std::size_t blockSize = static_cast<std::size_t>(blockKb) * 1024;
        int fileBlocks = 0;
        std::size_t records = 0;
        for (const auto& b : blocks) {
            fileBlocks = std::max(fileBlocks, b.number);
            records += b.records.size();
        }
        Bytes out(headerSize + static_cast<std::size_t>(fileBlocks) * blockSize, 0);
        auto le16 = [&](std::size_t at, unsigned v) {
            out[at] = static_cast<std::uint8_t>(v);
            out[at + 1] = static_cast<std::uint8_t>(v >> 8);
        };
        auto le32 = [&](std::size_t at, std::uint32_t v) {
            le16(at, v & 0xFFFF);
            le16(at + 2, v >> 16);
        };
        le16(0x00, static_cast<unsigned>(recordSize()));
        le16(0x02, static_cast<unsigned>(headerSize));
        out[0x04] = static_cast<std::uint8_t>(fileType);
        out[0x05] = static_cast<std::uint8_t>(blockKb);
        le32(0x06, static_cast<std::uint32_t>(records));
        le16(0x0A, static_cast<unsigned>(fileBlocks));
        le16(0x0C, static_cast<unsigned>(fileBlocks));
        le16(0x0E, blocks.empty() ? 0 : static_cast<unsigned>(blocks.front().number));
        le16(0x10, blocks.empty() ? 0 : static_cast<unsigned>(blocks.back().number));
        le16(0x21, static_cast<unsigned>(n));
        out[0x39] = static_cast<std::uint8_t>(version);
        std::size_t at = 0x58;
        if (version >= 5) {
            le32(0x25, 0xFF00FF00u);
            le16(0x6A, static_cast<unsigned>(codePage));
            at = 0x78;
        }
        for (const auto& f : fields) {
            out[at++] = f.type;
            out[at++] = f.size;
        }
        at += 4 + 4 * fields.size() + (version >= 12 ? 261 : 79);
        for (const auto& f : fields) {
            std::memcpy(&out[at], f.name.data(), f.name.size());
            at += f.name.size() + 1;
        }
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            const std::size_t base = headerSize + static_cast<std::size_t>(blocks[i].number - 1) * blockSize;
            le16(base, i + 1 < blocks.size() ? static_cast<unsigned>(blocks[i + 1].number) : 0);
            le16(base + 2, i > 0 ? static_cast<unsigned>(blocks[i - 1].number) : 0);
            le16(base + 4, static_cast<unsigned>((static_cast<int>(blocks[i].records.size()) - 1) * recordSize()) & 0xFFFF);
            std::size_t r = base + 6;
            for (const auto& rec : blocks[i].records) {
                std::memcpy(&out[r], rec.data(), rec.size());
                r += rec.size();
            }
        }
        return out;
    }
};

}  // namespace zandor::tables::paradox::testing
