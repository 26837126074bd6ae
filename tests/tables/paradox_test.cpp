// Paradox tables: values of every writable type survive a write and a read, records can be
// appended, replaced and removed across data blocks, values that cannot be held are refused
// without changing the file, and tables as older versions and other programs write them read
// with the right values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <random>

#include "tables/paradox.h"
#include "tables/table_error.h"
#include "paradox_fixture.h"

namespace zandor::tables::paradox {
namespace {

using namespace testing;

// A test name from a case's description: "text outside GBK" -> "TextOutsideGBK".
template <typename Case>
std::string caseName(const ::testing::TestParamInfo<Case>& info)
{
    std::string name;
    bool upper = true;
    for (const char c : std::string(info.param.what)) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
            upper = false;
        } else {
            upper = true;
        }
    }
    return name + "_" + std::to_string(info.index);
}

bool sameValue(const Value& a, const Value& b)
{
    const auto* x = std::get_if<double>(&a);
    const auto* y = std::get_if<double>(&b);
    if (x && y)
        return std::memcmp(x, y, sizeof(double)) == 0;
    return a == b;
}

std::string show(const Value& v)
{
    if (std::holds_alternative<std::monostate>(v))
        return "<null>";
    if (const auto* d = std::get_if<double>(&v)) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.17g%s", *d, std::signbit(*d) ? " (sign set)" : "");
        return buffer;
    }
    return toText(v);
}

void expectRecord(const Record& actual, const Record& expected, const std::string& where)
{
    ASSERT_EQ(actual.size(), expected.size()) << where;
    for (std::size_t f = 0; f < expected.size(); ++f)
        EXPECT_TRUE(sameValue(actual[f], expected[f]))
            << where << ", field " << f << ": read " << show(actual[f]) << ", expected " << show(expected[f]);
}

std::vector<Record> readAllRecords(TableFile& t)
{
    std::vector<Record> out(t.recordCount());
    for (std::size_t i = 0; i < out.size(); ++i)
        t.read(i, out[i]);
    return out;
}

std::uint16_t le16(const Bytes& b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8)); }

// Walks the block chain of a table file on its own and checks it against the header: links
// both ways, record counts, block count and file length.
void expectSoundChain(const std::string& path, std::size_t records)
{
    const Bytes b = readAll(path);
    ASSERT_GE(b.size(), 0x78u);
    const std::size_t headerSize = le16(b, 2);
    const std::size_t blockSize = b[5] * 1024u;
    const std::size_t recordSize = le16(b, 0);
    const unsigned fileBlocks = le16(b, 0x0C);
    EXPECT_EQ(b[6] | (b[7] << 8) | (b[8] << 16) | (b[9] << 24), static_cast<int>(records));
    EXPECT_EQ(b.size(), headerSize + fileBlocks * blockSize);
    EXPECT_EQ(le16(b, 0x0A), fileBlocks);
    unsigned block = le16(b, 0x0E), prev = 0, visited = 0;
    std::size_t counted = 0;
    if (fileBlocks > 0) {
        EXPECT_EQ(block, 1u) << "the chain starts at the first block";
    }
    while (block != 0 && visited <= fileBlocks) {
        ASSERT_LE(block, fileBlocks);
        const std::size_t at = headerSize + (block - 1) * blockSize;
        EXPECT_EQ(le16(b, at + 2), prev) << "back link of block " << block;
        const auto last = static_cast<std::int16_t>(le16(b, at + 4));
        EXPECT_EQ(last % static_cast<int>(recordSize), 0);
        EXPECT_GE(last, 0) << "an empty block " << block << " is left in the chain";
        counted += static_cast<std::size_t>(last / static_cast<int>(recordSize) + 1);
        prev = block;
        block = le16(b, at);
        ++visited;
    }
    EXPECT_EQ(visited, fileBlocks) << "every block is in the chain";
    EXPECT_EQ(le16(b, 0x10), prev) << "last block";
    EXPECT_EQ(counted, records);
}

const std::vector<FieldDef> kAllKinds = {
    {"名称", FieldKind::Char, 255, false}, {"年龄", FieldKind::Integer, 0, false},
    {"人口", FieldKind::Float, 0, false},  {"日期", FieldKind::Date, 0, false},
    {"已婚", FieldKind::Boolean, 0, false}, {"Code", FieldKind::Char, 1, false},
};

std::vector<Record> allKindRows()
{
    const double inf = std::numeric_limits<double>::infinity();
    const double doubles[] = {0.0,
                              -0.0,
                              0.1,
                              -1.5,
                              std::numeric_limits<double>::max(),
                              std::numeric_limits<double>::lowest(),
                              std::numeric_limits<double>::denorm_min(),
                              -std::numeric_limits<double>::denorm_min(),
                              std::numeric_limits<double>::min(),
                              inf,
                              -inf,
                              std::numeric_limits<double>::quiet_NaN(),
                              1e-300,
                              123456789.123456789};
    std::string longText;  // 255 bytes in GBK: 127 characters of two bytes and one of one
    for (int i = 0; i < 127; ++i)
        longText += "人";
    longText += "x";
    const std::string texts[] = {"北京市", longText, "mixed ABC 中文 123", "trailing  ", "年龄别生育率"};
    const std::int64_t integers[] = {0, 1, -1, 2147483647, -2147483647, 65536, -32768};
    const Date dates[] = {{2000, 2, 29}, {1, 1, 1}, {9999, 12, 31}, {1970, 1, 1}, {2026, 12, 8}};
    std::vector<Record> rows;
    for (std::size_t i = 0; i < std::size(doubles); ++i)
        rows.push_back({texts[i % std::size(texts)], integers[i % std::size(integers)], doubles[i],
                        dates[i % std::size(dates)], i % 2 == 0, std::string(1, static_cast<char>('A' + i))});
    rows.push_back({std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{},
                    std::monostate{}});
    rows.push_back({std::monostate{}, std::int64_t{7}, std::monostate{}, Date{1999, 12, 31}, std::monostate{},
                    std::monostate{}});
    return rows;
}

TEST(ParadoxRoundTrip, EveryWritableTypeKeepsItsValues)
{
    ScratchDir dir;
    const std::string path = dir.path("人口.db");
    const auto rows = allKindRows();
    {
        auto created = create(path, kAllKinds);
        ASSERT_TRUE(created.table);
        for (const auto& r : rows)
            created.table->append(r);
        EXPECT_EQ(created.table->recordCount(), rows.size());
        // Read back before closing: the records come from the block cache.
        for (std::size_t i = 0; i < rows.size(); ++i) {
            Record r;
            created.table->read(i, r);
            expectRecord(r, rows[i], "before closing, record " + std::to_string(i));
        }
    }
    auto table = open(path, true);
    const struct { const char* name; StorageType storage; int size; int width; } expected[] = {
        {"名称", StorageType::Alpha, 255, 255}, {"年龄", StorageType::LongInt, 4, 11},
        {"人口", StorageType::Number, 8, 20},   {"日期", StorageType::Date, 4, 10},
        {"已婚", StorageType::Logical, 1, 5},   {"Code", StorageType::Alpha, 1, 1},
    };
    ASSERT_EQ(table->fields().size(), std::size(expected));
    for (std::size_t f = 0; f < std::size(expected); ++f) {
        EXPECT_EQ(table->fields()[f].name, expected[f].name);
        EXPECT_EQ(table->fields()[f].storage, expected[f].storage) << f;
        EXPECT_EQ(table->fields()[f].size, expected[f].size) << f;
        EXPECT_EQ(table->fields()[f].width, expected[f].width) << f;
    }
    EXPECT_EQ(table->format(), TableFormat::Paradox);
    ASSERT_EQ(table->recordCount(), rows.size());
    const auto read = readAllRecords(*table);
    for (std::size_t i = 0; i < rows.size(); ++i)
        expectRecord(read[i], rows[i], "record " + std::to_string(i));
    EXPECT_TRUE(std::signbit(std::get<double>(read[1][2])));
}

TEST(ParadoxRoundTrip, EmptyTextIsStoredAsNull)
{
    // Paradox has no empty text apart from the empty value.
    ScratchDir dir;
    const std::string path = dir.path("t.db");
    auto t = create(path, {{"名称", FieldKind::Char, 10, false}}).table;
    t->append({std::string()});
    Record r;
    t->read(0, r);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(r[0]));
}

TEST(ParadoxRoundTrip, SameInputGivesTheSameBytesInAParadox7Header)
{
    ScratchDir dir;
    const std::string path = dir.path("same.db");
    const auto rows = allKindRows();
    auto make = [&] {
        std::filesystem::remove(path);
        auto t = create(path, kAllKinds).table;
        for (const auto& r : rows)
            t->append(r);
        t->flush();
        return readAll(path);
    };
    const Bytes first = make();
    const Bytes second = make();
    EXPECT_EQ(first, second);
    ASSERT_GT(first.size(), 0x78u);
    EXPECT_EQ(first[0x39], 12) << "file version id of Paradox 7";
    EXPECT_EQ(le16(first, 0x6A), 936) << "declared code page";
    EXPECT_EQ(first[4], 2) << "unkeyed table";
    EXPECT_EQ(le16(first, 2) % 0x800, 0) << "header size";
    // The field names are in GBK.
    const Bytes gbkName = {0xC4, 0xEA, 0xC1, 0xE4};  // 年龄
    EXPECT_NE(std::search(first.begin(), first.end(), gbkName.begin(), gbkName.end()), first.end());
}

// ---- blocks ---------------------------------------------------------------------------------

// Records of 1024 bytes: fifteen to a 16 KB block.
const std::vector<FieldDef> kWide = {
    {"甲", FieldKind::Char, 255, false}, {"乙", FieldKind::Char, 255, false}, {"丙", FieldKind::Char, 255, false},
    {"丁", FieldKind::Char, 255, false}, {"号", FieldKind::Integer, 0, false},
};

Record wideRecord(std::int64_t id)
{
    const std::string tag = "记录" + std::to_string(id);
    return {tag, std::string(200, static_cast<char>('a' + id % 26)), std::monostate{}, tag + "末", id};
}

void expectModel(TableFile& t, const std::vector<std::int64_t>& model, const std::string& when)
{
    ASSERT_EQ(t.recordCount(), model.size()) << when;
    Record r;
    for (std::size_t i = 0; i < model.size(); ++i) {
        t.read(i, r);
        ASSERT_TRUE(sameValue(r[4], Value(model[i])))
            << when << ": record " << i << " holds " << show(r[4]) << ", expected " << model[i];
        expectRecord(r, wideRecord(model[i]), when + ", record " + std::to_string(i));
    }
}

TEST(ParadoxBlocks, RemovingEmptiesAndReleasesBlocksKeepingTheChainSound)
{
    ScratchDir dir;
    const std::string path = dir.path("wide.db");
    std::vector<std::int64_t> model;
    {
        auto t = create(path, kWide).table;
        for (std::int64_t id = 0; id < 60; ++id) {  // four full blocks
            t->append(wideRecord(id));
            model.push_back(id);
        }
        t->flush();
        expectSoundChain(path, model.size());
        EXPECT_EQ(readAll(path).size(), 0x800u + 4 * 16384u);

        // The whole first block, from its front: the chain must still start at block 1.
        for (int i = 0; i < 15; ++i) {
            t->remove(0);
            model.erase(model.begin());
        }
        // The last record of the (new) second block, then the rest of that block.
        t->remove(29);
        model.erase(model.begin() + 29);
        for (int i = 0; i < 14; ++i) {
            t->remove(15);
            model.erase(model.begin() + 15);
        }
        t->flush();
        expectModel(*t, model, "after emptying two blocks");
        expectSoundChain(path, model.size());
        EXPECT_EQ(readAll(path).size(), 0x800u + 2 * 16384u);

        // Appending fills the last block before adding one.
        for (std::int64_t id = 100; id < 110; ++id) {
            t->append(wideRecord(id));
            model.push_back(id);
        }
        t->flush();
        expectSoundChain(path, model.size());
        EXPECT_EQ(readAll(path).size(), 0x800u + 3 * 16384u);
    }
    {
        auto t = open(path, false);
        expectModel(*t, model, "after reopening");
        while (t->recordCount() > 0) {
            t->remove(t->recordCount() / 2);
            model.erase(model.begin() + static_cast<std::ptrdiff_t>(model.size() / 2));
        }
        t->flush();
        expectSoundChain(path, 0);
        EXPECT_EQ(readAll(path).size(), 0x800u);
        t->append(wideRecord(5));
        model.push_back(5);
    }
    auto t = open(path, true);
    expectModel(*t, model, "after emptying and refilling");
    expectSoundChain(path, 1);
}

TEST(ParadoxBlocks, RandomEditsMatchAModelAcrossReopening)
{
    ScratchDir dir;
    const std::string path = dir.path("random.db");
    std::mt19937 random(20240611);
    std::vector<std::int64_t> model;
    std::int64_t nextId = 0;
    create(path, kWide);
    for (int round = 0; round < 6; ++round) {
        auto t = open(path, false);
        expectModel(*t, model, "round " + std::to_string(round) + " start");
        for (int op = 0; op < 120; ++op) {
            const unsigned kind = random() % 10;
            if (kind < 5 || model.empty()) {
                t->append(wideRecord(nextId));
                model.push_back(nextId++);
            } else if (kind < 8) {
                const std::size_t i = random() % model.size();
                t->remove(i);
                model.erase(model.begin() + static_cast<std::ptrdiff_t>(i));
            } else {
                const std::size_t i = random() % model.size();
                t->write(i, wideRecord(nextId));
                model[i] = nextId++;
            }
        }
        expectModel(*t, model, "round " + std::to_string(round) + " end");
        t->flush();
        expectSoundChain(path, model.size());
    }
}

TEST(ParadoxBlocks, WriteReplacesInPlaceAcrossBlocks)
{
    ScratchDir dir;
    const std::string path = dir.path("write.db");
    std::vector<std::int64_t> model;
    auto t = create(path, kWide).table;
    for (std::int64_t id = 0; id < 40; ++id) {
        t->append(wideRecord(id));
        model.push_back(id);
    }
    for (std::size_t i : {0u, 14u, 15u, 29u, 30u, 39u}) {
        t->write(i, wideRecord(1000 + static_cast<std::int64_t>(i)));
        model[i] = 1000 + static_cast<std::int64_t>(i);
    }
    t.reset();
    auto again = open(path, true);
    expectModel(*again, model, "after replacing");
}

TEST(ParadoxBlocks, OtherReadersSeeReplacedAndRemovedRecordsAtOnceAndAppendsAfterFlush)
{
    ScratchDir dir;
    const std::string path = dir.path("shared.db");
    std::vector<std::int64_t> model;
    auto writer = create(path, kWide).table;
    for (std::int64_t id = 0; id < 20; ++id) {
        writer->append(wideRecord(id));
        model.push_back(id);
    }
    writer->flush();
    expectModel(*open(path, true), model, "after flush");

    writer->write(3, wideRecord(300));
    model[3] = 300;
    expectModel(*open(path, true), model, "after replacing, without flush");
    writer->remove(16);
    model.erase(model.begin() + 16);
    expectModel(*open(path, true), model, "after removing, without flush");

    writer->append(wideRecord(400));
    writer->write(0, wideRecord(401));  // into a block that also holds a pending append
    model.push_back(400);
    model[0] = 401;
    writer->flush();
    expectModel(*open(path, true), model, "after appending and flush");
}

// ---- refusals -------------------------------------------------------------------------------

struct RefusalCase {
    const char* what;
    std::size_t field;
    Value value;
    const char* reason;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.what; }

class ParadoxRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(ParadoxRefusal, NamesFileFieldAndRecordAndChangesNothing)
{
    const RefusalCase& c = GetParam();
    ScratchDir dir;
    const std::string path = dir.path("refuse.db");
    const std::vector<FieldDef> fields = {{"短名", FieldKind::Char, 5, false},
                                          {"人数", FieldKind::Integer, 0, false},
                                          {"比率", FieldKind::Float, 0, false},
                                          {"生日", FieldKind::Date, 0, false}};
    auto t = create(path, fields).table;
    const Record good = {std::string("ab"), std::int64_t{3}, 0.5, Date{2001, 1, 1}};
    t->append(good);
    t->flush();
    const Bytes before = readAll(path);

    Record bad = good;
    bad[c.field] = c.value;
    for (const bool append : {true, false}) {
        try {
            if (append)
                t->append(bad);
            else
                t->write(0, bad);
            ADD_FAILURE() << c.what << " was stored";
        } catch (const TableError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(path), std::string::npos) << message;
            EXPECT_NE(message.find(fields[c.field].name), std::string::npos) << message;
            EXPECT_NE(message.find(append ? "record 2" : "record 1"), std::string::npos) << message;
            EXPECT_NE(message.find(c.reason), std::string::npos) << message;
        }
    }
    EXPECT_EQ(t->recordCount(), 1u);
    t->flush();
    EXPECT_EQ(readAll(path), before);
    Record r;
    t->read(0, r);
    expectRecord(r, good, c.what);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ParadoxRefusal,
    ::testing::Values(RefusalCase{"text longer than the field in GBK", 0, std::string("一二三"), "6 bytes"},
                      RefusalCase{"text of six ASCII letters", 0, std::string("abcdef"), "6 bytes"},
                      RefusalCase{"text outside GBK", 0, std::string("\xF0\x9F\x98\x80"), "code page 936"},
                      RefusalCase{"integer above 32 bits", 1, std::int64_t{2147483648LL}, "outside the range"},
                      RefusalCase{"the lowest 32-bit integer (the empty value's bytes)", 1,
                                  std::int64_t{-2147483648LL}, "outside the range"},
                      RefusalCase{"a fractional number for an integer", 1, 1.5, "does not fit"},
                      RefusalCase{"a text for a number", 2, std::string("12"), "does not fit"},
                      RefusalCase{"29 February of a common year", 3, Date{2023, 2, 29}, "does not exist"},
                      RefusalCase{"month 13", 3, Date{2023, 13, 1}, "does not exist"},
                      RefusalCase{"year 0", 3, Date{0, 1, 1}, "does not exist"}),
    caseName<RefusalCase>);

TEST(ParadoxRefusal, RecordOfTheWrongLength)
{
    ScratchDir dir;
    auto t = create(dir.path("n.db"), {{"a", FieldKind::Integer, 0, false}}).table;
    EXPECT_THROW(t->append({std::int64_t{1}, std::int64_t{2}}), TableError);
    EXPECT_EQ(t->recordCount(), 0u);
}

struct CreateCase {
    const char* what;
    std::vector<FieldDef> fields;
    const char* reason;
};

void PrintTo(const CreateCase& c, std::ostream* os) { *os << c.what; }

class ParadoxCreateRefusal : public ::testing::TestWithParam<CreateCase> {};

TEST_P(ParadoxCreateRefusal, WritesNothing)
{
    ScratchDir dir;
    const std::string path = dir.path("new.db");
    try {
        create(path, GetParam().fields);
        ADD_FAILURE() << GetParam().what << " was accepted";
    } catch (const TableError& e) {
        EXPECT_NE(std::string(e.what()).find(GetParam().reason), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

std::vector<FieldDef> manyFields(std::size_t n)
{
    std::vector<FieldDef> out;
    for (std::size_t i = 0; i < n; ++i)
        out.push_back({std::string("f").append(std::to_string(i)), FieldKind::Float, 0, false});
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Names, ParadoxCreateRefusal,
    ::testing::Values(
        CreateCase{"no fields", {}, "at least one field"},
        CreateCase{"empty name", {{"", FieldKind::Float, 0, false}}, "empty"},
        CreateCase{"blank name", {{"   ", FieldKind::Float, 0, false}}, "empty"},
        CreateCase{"names differing in case", {{"Age", FieldKind::Float, 0, false}, {"AGE", FieldKind::Integer, 0, false}},
                   "twice"},
        CreateCase{"repeated Chinese name", {{"年龄", FieldKind::Float, 0, false}, {"年龄", FieldKind::Float, 0, false}},
                   "twice"},
        CreateCase{"26 ASCII letters", {{"abcdefghijklmnopqrstuvwxyz", FieldKind::Float, 0, false}}, "26 bytes"},
        CreateCase{"13 Chinese characters", {{"一二三四五六七八九十百千万", FieldKind::Float, 0, false}}, "26 bytes"},
        CreateCase{"name outside GBK", {{"\xF0\x9F\x98\x80", FieldKind::Float, 0, false}}, "GBK"},
        CreateCase{"control character", {{"a\tb", FieldKind::Float, 0, false}}, "control"},
        CreateCase{"text of size 0", {{"t", FieldKind::Char, 0, false}}, "1 to 255"},
        CreateCase{"text of size 256", {{"t", FieldKind::Char, 256, false}}, "1 to 255"},
        CreateCase{"256 fields", manyFields(256), "at most 255"}),
    caseName<CreateCase>);

TEST(ParadoxCreate, LimitsThemselvesAreAccepted)
{
    ScratchDir dir;
    auto fields = manyFields(254);
    fields.push_back({"一二三四五六七八九十百千x", FieldKind::Char, 255, false});  // 25 bytes
    auto t = create(dir.path("limits.db"), fields).table;
    EXPECT_EQ(t->fields().size(), 255u);
    EXPECT_EQ(t->fields().back().name, "一二三四五六七八九十百千x");
}

TEST(ParadoxCreate, AnExistingFileIsLeftAlone)
{
    ScratchDir dir;
    const std::string path = dir.path("there.db");
    writeAll(path, Bytes{'k', 'e', 'e', 'p'});
    EXPECT_THROW(create(path, {{"a", FieldKind::Float, 0, false}}), TableError);
    EXPECT_EQ(readAll(path), (Bytes{'k', 'e', 'e', 'p'}));
}

TEST(ParadoxReadOnly, EveryChangeIsRefusedAndTheFileStaysAsItWas)
{
    ScratchDir dir;
    const std::string path = dir.path("ro.db");
    create(path, kAllKinds).table->append(allKindRows()[0]);
    const Bytes before = readAll(path);
    auto t = open(path, true);
    EXPECT_TRUE(t->readOnly());
    const Record r = allKindRows()[1];
    auto expectRefused = [&](auto&& change) {
        try {
            change();
            ADD_FAILURE() << "a change was made to a read-only table";
        } catch (const TableError& e) {
            EXPECT_NE(std::string(e.what()).find("is read-only"), std::string::npos) << e.what();
        }
    };
    expectRefused([&] { t->append(r); });
    expectRefused([&] { t->write(0, r); });
    expectRefused([&] { t->remove(0); });
    t->flush();
    t.reset();
    EXPECT_EQ(readAll(path), before);
}

TEST(ParadoxRead, RecordBeyondTheEndIsAnError)
{
    ScratchDir dir;
    auto t = create(dir.path("e.db"), kAllKinds).table;
    Record r;
    EXPECT_THROW(t->read(0, r), TableError);
    EXPECT_THROW(t->remove(0), TableError);
    EXPECT_THROW(t->write(0, allKindRows()[0]), TableError);
}

// ---- tables of other programs -------------------------------------------------------------

Bytes record(const std::vector<ForeignField>& fields, const std::vector<std::function<void(std::uint8_t*)>>& fill)
{
    int size = 0;
    for (const auto& f : fields)
        size += f.recordBytes();
    Bytes out(static_cast<std::size_t>(size), 0);
    int at = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fill[i])
            fill[i](&out[static_cast<std::size_t>(at)]);
        at += fields[i].recordBytes();
    }
    return out;
}

auto text(std::string bytes) { return [bytes](std::uint8_t* p) { std::memcpy(p, bytes.data(), bytes.size()); }; }
auto integer(std::int64_t v, int n) { return [v, n](std::uint8_t* p) { storeInt(p, v, n); }; }
auto number(double v) { return [v](std::uint8_t* p) { storeDouble(p, v); }; }
auto raw(Bytes b) { return [b](std::uint8_t* p) { std::memcpy(p, b.data(), b.size()); }; }

TEST(ParadoxForeign, Version4TableWithDeclaredCodePage1252)
{
    ForeignTable t;
    t.version = 9;
    t.codePage = 1252;
    t.fields = {{0x01, 10, "Name"}, {0x03, 2, "Short"}, {0x05, 8, "Money"}, {0x0C, 15, "Memo"},
                {0x0D, 10, "Pic"},  {0x09, 1, "Flag"},  {0x02, 4, "When"}};
    Bytes memo = {'a', 'b', 'c', 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0};  // inline memo of 3 bytes
    Bytes longMemo = {'s', 't', 'a', 'r', 't', 0, 1, 0, 0, 200, 0, 0, 0, 1, 0};  // 200 bytes, rest in .MB
    Bytes blob = {0, 0x10, 0, 0, 0xFF, 0x20, 0, 0, 0, 0};
    t.blocks = {{1,
                 {record(t.fields, {text("Caf\xE9"), integer(-5, 2), number(12.5), raw(memo), raw(blob),
                                    raw({0x80}), integer(728783, 4)}),
                  record(t.fields, {nullptr, integer(32767, 2), number(-0.25), raw(longMemo), nullptr,
                                    raw({0x81}), nullptr})}}};
    ScratchDir dir;
    const std::string path = dir.path("v4.db");
    writeAll(path, t.build());
    auto table = open(path, true);
    const StorageType types[] = {StorageType::Alpha, StorageType::ShortInt, StorageType::Currency,
                                 StorageType::Memo,  StorageType::Blob,     StorageType::Logical,
                                 StorageType::Date};
    ASSERT_EQ(table->fields().size(), std::size(types));
    for (std::size_t f = 0; f < std::size(types); ++f)
        EXPECT_EQ(table->fields()[f].storage, types[f]) << f;
    const auto rows = readAllRecords(*table);
    ASSERT_EQ(rows.size(), 2u);
    expectRecord(rows[0], {std::string("Café"), std::int64_t{-5}, 12.5, std::string("abc"), std::string(), false,
                           Date{1996, 5, 4}},
                 "first record");
    expectRecord(rows[1], {std::monostate{}, std::int64_t{32767}, -0.25, std::string("start"), std::monostate{},
                           true, std::monostate{}},
                 "second record");
}

TEST(ParadoxForeign, Version7TypesAndEditingThem)
{
    ForeignTable t;
    t.version = 12;
    t.codePage = 936;
    t.fields = {{0x14, 4, "Time"}, {0x15, 8, "Stamp"}, {0x16, 4, "Auto"}, {0x17, 2, "Bcd"}, {0x18, 2, "Raw"},
                {0x01, 8, "\xC8\xCB\xBF\xDA"}};  // 人口
    Bytes bcdPositive(17, 0), bcdNegative(17, 0xFF);
    bcdPositive[0] = 0xC2;  // positive, two decimals: 123.45
    bcdPositive[14] = 0x01;
    bcdPositive[15] = 0x23;
    bcdPositive[16] = 0x45;
    bcdNegative[0] = 0x42;  // negative, two decimals: -0.50
    bcdNegative[16] = 0xAF;
    const double stamp = (730120.0 + 1) * 86400000.0 + ((4 * 60 + 5) * 60 + 6) * 1000.0;  // 2000-01-02 04:05:06
    t.blocks = {{1,
                 {record(t.fields, {integer((13 * 3600 + 45 * 60 + 30) * 1000, 4), number(stamp), integer(7, 4),
                                    raw(bcdPositive), raw({0x0A, 0x0B}), text("\xC8\xCB\xBF\xDA")}),
                  record(t.fields, {integer(0, 4), nullptr, integer(8, 4), raw(bcdNegative), nullptr, nullptr})}}};
    ScratchDir dir;
    const std::string path = dir.path("v7.db");
    Bytes file = t.build();
    file[0x49] = 8;  // the table's last automatic number
    writeAll(path, file);
    {
        auto table = open(path, false);
        EXPECT_EQ(table->fields()[5].name, "人口");
        const auto rows = readAllRecords(*table);
        ASSERT_EQ(rows.size(), 2u);
        expectRecord(rows[0], {std::string("13:45:30"), std::string("2000-01-02 04:05:06"), std::int64_t{7},
                               std::string("123.45"), std::string("0A0B"), std::string("人口")},
                     "first record");
        expectRecord(rows[1], {std::string("00:00:00"), std::monostate{}, std::int64_t{8}, std::string("-0.50"),
                               std::monostate{}, std::monostate{}},
                     "second record");

        // Unchanged packed decimals and bytes are kept; times are written anew.
        Record edited = rows[0];
        edited[0] = std::string("01:02:03");
        edited[1] = std::string("1999-12-31 23:59:59");
        table->write(0, edited);
        Record changedBcd = rows[0];
        changedBcd[3] = std::string("1.00");
        EXPECT_THROW(table->write(0, changedBcd), TableError);
        // An empty automatic number gets the next one.
        table->append({std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{},
                       std::string("新")});
    }
    auto table = open(path, true);
    const auto rows = readAllRecords(*table);
    ASSERT_EQ(rows.size(), 3u);
    expectRecord(rows[0], {std::string("01:02:03"), std::string("1999-12-31 23:59:59"), std::int64_t{7},
                           std::string("123.45"), std::string("0A0B"), std::string("人口")},
                 "edited record");
    EXPECT_TRUE(sameValue(rows[2][2], Value(std::int64_t{9})));
}

TEST(ParadoxForeign, Version3TableFollowsTheChainNotTheFileOrder)
{
    ForeignTable t;
    t.version = 3;
    t.fields = {{0x01, 6, "Area"}, {0x06, 8, "Pop"}};
    auto row = [&](const char* gbk, double v) { return record(t.fields, {text(gbk), number(v)}); };
    // Blocks in record order 2, 1, 3.
    t.blocks = {{2, {row("\xB1\xB1\xBE\xA9", 1), row("b", 2)}},  // 北京
                {1, {row("c", 3)}},
                {3, {row("d", 4), row("e", 5)}}};
    ScratchDir dir;
    const std::string path = dir.path("v3.db");
    writeAll(path, t.build());
    auto table = open(path, false);
    const auto rows = readAllRecords(*table);
    ASSERT_EQ(rows.size(), 5u);
    const char* areas[] = {"北京", "b", "c", "d", "e"};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(std::get<std::string>(rows[i][0]), areas[i]);
        EXPECT_EQ(std::get<double>(rows[i][1]), static_cast<double>(i + 1));
    }
    // Emptying the middle block of the chain gives its place to the last block of the file.
    table->remove(2);
    table->append({std::string("f"), 6.0});
    table->flush();
    const auto after = readAllRecords(*table);
    ASSERT_EQ(after.size(), 5u);
    const char* expected[] = {"北京", "b", "d", "e", "f"};
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(std::get<std::string>(after[i][0]), expected[i]);
    table.reset();
    auto again = open(path, true);
    const auto reread = readAllRecords(*again);
    ASSERT_EQ(reread.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(std::get<std::string>(reread[i][0]), expected[i]);
}

struct DamageCase {
    const char* what;
    std::function<void(Bytes&)> damage;
    const char* reason;
};

void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.what; }

class ParadoxDamagedHeader : public ::testing::TestWithParam<DamageCase> {};

TEST_P(ParadoxDamagedHeader, IsReportedWithTheFileName)
{
    ForeignTable t;
    t.fields = {{0x01, 4, "Area"}, {0x06, 8, "Pop"}};
    auto row = record(t.fields, {text("x"), number(1)});
    t.blocks = {{1, {row}}, {2, {row, row}}, {3, {row}}};
    Bytes file = t.build();
    GetParam().damage(file);
    ScratchDir dir;
    const std::string path = dir.path("bad.db");
    writeAll(path, file);
    try {
        auto table = open(path, false);
        ADD_FAILURE() << GetParam().what << " was not noticed";
    } catch (const TableError& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find(GetParam().reason), std::string::npos) << e.what();
    }
}

constexpr std::size_t kBlock2 = 0x800 + 1024;
constexpr std::size_t kBlock3 = 0x800 + 2048;

INSTANTIATE_TEST_SUITE_P(
    Cases, ParadoxDamagedHeader,
    ::testing::Values(
        DamageCase{"a chain that loops", [](Bytes& b) { b[kBlock3] = 1; }, "loops"},
        DamageCase{"a block beyond the end", [](Bytes& b) { b[kBlock2] = 9; }, "beyond the end"},
        DamageCase{"a record offset that is no multiple", [](Bytes& b) { b[kBlock2 + 4] = 5; }, "record offset"},
        DamageCase{"more blocks than the file holds", [](Bytes& b) { b[0x0C] = 7; }, "truncated"},
        DamageCase{"a record size not matching the fields", [](Bytes& b) { b[0] = 13; }, "the fields take"},
        DamageCase{"a fixed-size type of the wrong size", [](Bytes& b) { b[0x7B] = 4; }, "has the size"},
        DamageCase{"an index file", [](Bytes& b) { b[4] = 1; }, "index file"},
        DamageCase{"an unknown version", [](Bytes& b) { b[0x39] = 14; }, "unknown file version"},
        DamageCase{"password protection", [](Bytes& b) { b[0x5C] = 1; }, "password"},
        DamageCase{"a header size beyond the file", [](Bytes& b) { b[3] = 0x70; }, "truncated"},
        DamageCase{"no fields", [](Bytes& b) { b[0x21] = 0; }, "0 fields"},
        DamageCase{"field names without an end", [](Bytes& b) { std::fill(b.begin() + 0x190, b.begin() + 0x800, 'a'); },
                   "field names"}),
    caseName<DamageCase>);

TEST(ParadoxForeign, KeyedTablesOpenForReadingOnly)
{
    ForeignTable t;
    t.fileType = 0;
    t.fields = {{0x04, 4, "Id"}};
    t.blocks = {{1, {record(t.fields, {integer(1, 4)})}}};
    ScratchDir dir;
    const std::string path = dir.path("keyed.db");
    writeAll(path, t.build());
    auto table = open(path, false);
    EXPECT_TRUE(table->readOnly());
    EXPECT_THROW(table->append({std::int64_t{2}}), TableError);
    Record r;
    table->read(0, r);
    EXPECT_TRUE(sameValue(r[0], Value(std::int64_t{1})));
}

TEST(ParadoxForeign, NotAParadoxFile)
{
    ScratchDir dir;
    const std::string path = dir.path("text.db");
    writeAll(path, Bytes(10, 'x'));
    EXPECT_THROW(open(path, true), TableError);
    EXPECT_THROW(open(dir.path("missing.db"), true), TableError);
}

}  // namespace
}  // namespace zandor::tables::paradox
