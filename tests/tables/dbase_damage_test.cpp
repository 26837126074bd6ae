// Damaged, truncated and foreign files: a TableError naming the file, or a valid read;
// never a crash, a hang, a huge allocation or a read beyond the file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <ostream>
#include <sstream>

#include "tables/dbase.h"
#include "tables/table_error.h"

namespace {

namespace fs = std::filesystem;
using namespace zandor::tables;

class DbaseDamage : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* env = std::getenv("ZANDOR_TEST_TMP");
        dir_ = fs::path(env && *env ? env : fs::temp_directory_path().string()) /
               ("dbase-damage-" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string file(const std::string& name) const { return (dir_ / name).string(); }

    // A real table written by this program: every writable type, nulls, a deleted record.
    std::string sampleBytes(TableFormat format)
    {
        const std::string path = file(format == TableFormat::FoxPro ? "sample_fox.dbf" : "sample.dbf");
        {
            CreateResult created = dbase::create(path,
                                                 {{"地区", FieldKind::Char, 12, false},
                                                  {"年龄", FieldKind::Integer, 0, false},
                                                  {"人口", FieldKind::Float, 0, false},
                                                  {"日期", FieldKind::Date, 0, false},
                                                  {"城镇", FieldKind::Boolean, 0, false}},
                                                 format);
            for (int i = 0; i < 40; ++i) {
                Record r = {std::string("区") + std::to_string(i), std::int64_t{i}, i * 1234.5678,
                            Date{2000 + i, 1 + i % 12, 1 + i % 28}, i % 2 == 0};
                if (i % 7 == 3)
                    r = Record(5, std::monostate{});
                created.table->append(r);
            }
            created.table->remove(5);
        }
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // Opens and reads everything; returns the error text, or "" for a valid read.
    std::string openAndReadAll(const std::string& path)
    {
        try {
            auto table = dbase::open(path, true);
            Record r;
            for (std::size_t i = 0; i < table->recordCount(); ++i)
                table->read(i, r);
            return "";
        } catch (const TableError& e) {
            return e.what();
        }
    }

    void write(const std::string& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }

    fs::path dir_;
};

TEST_F(DbaseDamage, MutatedAndTruncatedCopiesGiveTableErrorOrAValidRead)
{
    std::mt19937 random(20240613);
    int errors = 0, reads = 0;
    for (TableFormat format : {TableFormat::DBase, TableFormat::FoxPro}) {
        const std::string original = sampleBytes(format);
        const std::size_t headerLength = static_cast<unsigned char>(original[8]) |
                                         (static_cast<unsigned char>(original[9]) << 8);
        for (int copy = 0; copy < 200; ++copy) {
            std::string bytes = original;
            const int kind = copy % 4;
            if (kind == 3) {
                bytes.resize(std::uniform_int_distribution<std::size_t>(0, original.size() - 1)(random));
            } else {
                // Mostly the header, where the counts and sizes are; sometimes records.
                const std::size_t limit = kind == 2 ? bytes.size() : headerLength;
                const int flips = std::uniform_int_distribution<int>(1, 8)(random);
                for (int f = 0; f < flips; ++f) {
                    const std::size_t at = std::uniform_int_distribution<std::size_t>(0, limit - 1)(random);
                    bytes[at] = static_cast<char>(kind == 0 ? std::uniform_int_distribution<int>(0, 255)(random)
                                                            : bytes[at] ^ (1 << (f % 8)));
                }
            }
            const std::string path = file("copy.dbf");
            write(path, bytes);
            const std::string error = openAndReadAll(path);
            if (error.empty()) {
                ++reads;
            } else {
                ++errors;
                EXPECT_NE(error.find(path), std::string::npos) << error;
            }
        }
    }
    // Both outcomes occur: the mutations are neither all harmless nor all fatal.
    EXPECT_GT(errors, 0);
    EXPECT_GT(reads, 0);
}

struct Damage {
    const char* what;
    std::size_t at;        // byte to change, or the new length for truncations
    int value;             // -1: truncate to `at` bytes
    const char* expected;  // part of the message
};

void PrintTo(const Damage& d, std::ostream* os) { *os << d.what; }

class DbaseDamageCases : public DbaseDamage, public ::testing::WithParamInterface<Damage> {};

TEST_P(DbaseDamageCases, AreNamedInTheMessage)
{
    std::string bytes = sampleBytes(TableFormat::DBase);
    const Damage& d = GetParam();
    if (d.value < 0)
        bytes.resize(d.at);
    else
        bytes[d.at] = static_cast<char>(d.value);
    const std::string path = file("bad.dbf");
    write(path, bytes);
    const std::string error = openAndReadAll(path);
    EXPECT_NE(error.find(path), std::string::npos) << error;
    EXPECT_NE(error.find(d.expected), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DbaseDamageCases,
    ::testing::Values(Damage{"empty", 0, -1, "too short"}, Damage{"ten_bytes", 10, -1, "too short"},
                      Damage{"version", 0, 0x99, "unknown version byte 0x99"},
                      Damage{"record_count", 7, 0x7F, "truncated"},
                      Damage{"header_length", 9, 0x7F, "truncated"},
                      Damage{"record_length", 10, 10, "fields need"},
                      Damage{"field_length", 32 + 16, 0, "length 0"},
                      Damage{"end_mark", 32 + 5 * 32, 'X', "no end mark"},
                      Damage{"cut_in_records", 400, -1, "truncated"},
                      Damage{"bad_number", 32 + 5 * 32 + 1 + 1 + 12 + 10, 'x', "no number"},
                      Damage{"bad_date", 32 + 5 * 32 + 1 + 1 + 12 + 11 + 19 + 2, 'x', "no date"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(DbaseDamage, ForeignFilesAreRefused)
{
    const std::string path = file("foreign.dbf");
    write(path, "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj << /Type /Catalog >> endobj\n");
    EXPECT_NE(openAndReadAll(path).find("unknown version byte"), std::string::npos);
    EXPECT_THROW(dbase::open(file("missing.dbf"), true), TableError);
    fs::create_directories(file("folder.dbf"));
    EXPECT_THROW(dbase::open(file("folder.dbf"), true), TableError);
}

}  // namespace
