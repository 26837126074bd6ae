// Damaged Paradox tables: copies of a real table with bytes flipped or cut off must either
// open and read, or fail with a TableError naming the file; never crash, hang or read past
// the file (the sanitizer build catches the last).
#include <gtest/gtest.h>

#include <random>

#include "tables/paradox.h"
#include "tables/table_error.h"
#include "paradox_fixture.h"

namespace zandor::tables::paradox {
namespace {

using namespace testing;

struct Outcome {
    int opened = 0;
    int refused = 0;
};

// Opens the file, reads every record, and when it opens for writing also appends and
// removes a record, which walks the block chain once more.
void tryTable(const std::string& path, bool edit, Outcome& outcome)
{
    try {
        auto t = open(path, !edit);
        Record r;
        for (std::size_t i = 0; i < t->recordCount(); ++i)
            t->read(i, r);
        if (edit && !t->readOnly()) {
            Record fresh(t->fields().size());
            t->append(fresh);
            t->remove(0);
            t->flush();
        }
        ++outcome.opened;
    } catch (const TableError& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        ++outcome.refused;
    }
}

class ParadoxDamage : public ::testing::Test {
protected:
    void SetUp() override
    {
        source_ = dir_.path("source.db");
        auto t = create(source_, {{"地区", FieldKind::Char, 255, false},
                                  {"年龄", FieldKind::Integer, 0, false},
                                  {"人口", FieldKind::Float, 0, false},
                                  {"日期", FieldKind::Date, 0, false},
                                  {"已婚", FieldKind::Boolean, 0, false},
                                  {"备注", FieldKind::Char, 20, false}})
                     .table;
        // 292-byte records, 56 to a block: three blocks.
        for (int i = 0; i < 150; ++i)
            t->append({std::string("地区") + std::to_string(i), std::int64_t{i}, i * 0.5, Date{1990, 1 + i % 12, 1},
                       i % 2 == 0, i % 3 ? Value(std::string("注")) : Value()});
        t.reset();
        original_ = readAll(source_);
        ASSERT_EQ(original_.size(), 0x800u + 3 * 16384u);
    }

    ScratchDir dir_;
    std::string source_;
    Bytes original_;
};

TEST_F(ParadoxDamage, FlippedBytesGiveAnErrorOrAValidRead)
{
    std::mt19937 random(4711);
    const std::string path = dir_.path("flipped.db");
    // The places where a flip matters most: the header, its field list, and the block heads.
    const std::size_t blockStarts[] = {0x800, 0x800 + 16384, 0x800 + 2 * 16384};
    Outcome outcome;
    for (int copy = 0; copy < 400; ++copy) {
        Bytes bytes = original_;
        const int flips = 1 + static_cast<int>(random() % 6);
        for (int k = 0; k < flips; ++k) {
            std::size_t at;
            switch (random() % 4) {
            case 0: at = random() % 0x78; break;                             // common and data header
            case 1: at = 0x78 + random() % 0x200; break;                     // field list and names
            case 2: at = blockStarts[random() % 3] + random() % 6; break;    // a block head
            default: at = random() % bytes.size(); break;                    // anywhere
            }
            bytes[at] ^= static_cast<std::uint8_t>(1u << (random() % 8));
            if (random() % 4 == 0)
                bytes[at] = static_cast<std::uint8_t>(random());
        }
        writeAll(path, bytes);
        tryTable(path, copy % 2 == 1, outcome);
    }
    // Both kinds of outcome occur, so the copies do exercise the checks.
    EXPECT_GT(outcome.opened, 0);
    EXPECT_GT(outcome.refused, 0);
}

TEST_F(ParadoxDamage, TruncatedCopiesGiveAnErrorOrAValidRead)
{
    const std::string path = dir_.path("cut.db");
    std::vector<std::size_t> lengths = {0, 1, 2, 5, 6, 0x20, 0x57, 0x58, 0x59, 0x6B, 0x77, 0x78, 0x79, 0x100, 0x200,
                                        0x7FF};
    for (std::size_t block = 0; block < 3; ++block) {
        const std::size_t start = 0x800 + block * 16384;
        for (std::size_t d : {0, 1, 5, 6, 7, 292, 298, 299, 8000, 16383})
            lengths.push_back(start + d);
    }
    lengths.push_back(original_.size() - 1);
    Outcome outcome;
    for (const std::size_t n : lengths) {
        writeAll(path, Bytes(original_.begin(), original_.begin() + static_cast<std::ptrdiff_t>(n)));
        tryTable(path, false, outcome);
        writeAll(path, Bytes(original_.begin(), original_.begin() + static_cast<std::ptrdiff_t>(n)));
        tryTable(path, true, outcome);
    }
    EXPECT_GT(outcome.refused, 0);
}

}  // namespace
}  // namespace zandor::tables::paradox
