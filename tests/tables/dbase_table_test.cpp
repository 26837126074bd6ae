// dBase III and Visual FoxPro tables: every writable type round-trips, values that cannot be
// held are refused, names are shortened, deleted records are hidden.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <ostream>
#include <sstream>

#include "tables/codepage.h"
#include "tables/dbase.h"
#include "tables/table_error.h"

namespace {

namespace fs = std::filesystem;
using namespace zandor::tables;

class ScratchDir {
public:
    ScratchDir()
    {
        const char* env = std::getenv("ZANDOR_TEST_TMP");
        fs::path root = env && *env ? fs::path(env) : fs::temp_directory_path();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("dbase-") + info->test_suite_name() + "-" + info->name() + "-" +
                           std::to_string(::getpid());
        for (char& c : name)
            if (c == '/')
                c = '_';
        dir_ = root / name;
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    ~ScratchDir() { fs::remove_all(dir_); }
    std::string file(const std::string& name) const { return (dir_ / name).string(); }

private:
    fs::path dir_;
};

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeAll(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::vector<FieldDef> allKinds()
{
    return {{"地区", FieldKind::Char, 20, false},
            {"年龄", FieldKind::Integer, 0, false},
            {"人口", FieldKind::Float, 0, false},
            {"日期", FieldKind::Date, 0, false},
            {"城镇", FieldKind::Boolean, 0, false}};
}

struct FormatCase {
    TableFormat format;
    std::int64_t minInteger;
    std::int64_t maxInteger;
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << formatName(c.format); }

class DbaseFormats : public ::testing::TestWithParam<FormatCase> {
protected:
    ScratchDir scratch;
    std::string path = scratch.file("人口表.dbf");
    bool fox() const { return GetParam().format == TableFormat::FoxPro; }
};

INSTANTIATE_TEST_SUITE_P(Formats, DbaseFormats,
                         ::testing::Values(FormatCase{TableFormat::DBase, -9'999'999'999, 99'999'999'999},
                                           FormatCase{TableFormat::FoxPro, std::numeric_limits<std::int32_t>::min(),
                                                      std::numeric_limits<std::int32_t>::max()}),
                         [](const auto& info) { return info.param.format == TableFormat::FoxPro ? "FoxPro" : "dBase"; });

TEST_P(DbaseFormats, EveryTypeRoundTripsWithNullsAndLimits)
{
    const std::vector<Record> records = {
        {std::string("北京市东城区和平里街"), std::int64_t{0}, 1234.5678, Date{2020, 11, 1}, true},
        {std::string("abc  leading kept"), GetParam().maxInteger, 1.234567890123e-99, Date{1, 1, 1}, false},
        {std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{}},
        {std::string("12345678901234567890"), GetParam().minInteger, -987654321098765.0, Date{9999, 12, 31}, true},
        {std::string("年"), std::int64_t{-1}, 0.1 + 0.2, Date{2000, 2, 29}, std::monostate{}},
    };
    {
        CreateResult created = dbase::create(path, allKinds(), GetParam().format);
        EXPECT_TRUE(created.remarks.empty());
        for (const Record& r : records)
            created.table->append(r);
        EXPECT_EQ(created.table->recordCount(), records.size());
        Record back;
        created.table->read(3, back);  // still in the append buffer
        EXPECT_EQ(back[1], records[3][1]);
    }
    auto table = dbase::open(path, true);
    EXPECT_EQ(table->format(), GetParam().format);
    ASSERT_EQ(table->fields().size(), 5u);
    const std::vector<std::string> names = {"地区", "年龄", "人口", "日期", "城镇"};
    const std::vector<StorageType> storages = {StorageType::Alpha, StorageType::LongInt, StorageType::Number,
                                               StorageType::Date, StorageType::Logical};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(table->fields()[i].name, names[i]);
        EXPECT_EQ(table->fields()[i].storage, storages[i]) << i;
    }
    EXPECT_EQ(table->fields()[0].size, 20);
    ASSERT_EQ(table->recordCount(), records.size());
    for (std::size_t r = 0; r < records.size(); ++r) {
        Record back;
        table->read(r, back);
        ASSERT_EQ(back.size(), 5u);
        for (std::size_t f = 0; f < 5; ++f) {
            if (f == 2 && std::holds_alternative<double>(records[r][f])) {
                ASSERT_TRUE(std::holds_alternative<double>(back[f])) << r;
                const double want = std::get<double>(records[r][f]);
                const double got = std::get<double>(back[f]);
                if (fox())
                    EXPECT_EQ(std::memcmp(&want, &got, sizeof want), 0) << r;
                else
                    EXPECT_LE(std::fabs(got - want), 5e-13 * std::fabs(want)) << r;
                continue;
            }
            EXPECT_EQ(back[f], records[r][f]) << "record " << r << " field " << f;
        }
    }
}

TEST_P(DbaseFormats, FloatBitsSurviveInFoxProAndThirteenDigitsInDbase)
{
    const std::vector<double> values = {-0.0, 5e-324, 1.7976931348623157e308, 0.1, 1.0 / 3.0, -2.5e-7,
                                        123456789.123456789, 1e15};
    {
        CreateResult created = dbase::create(path, {{"x", FieldKind::Float, 0, false}}, GetParam().format);
        for (double v : values)
            created.table->append({v});
        created.table->flush();
    }
    auto table = dbase::open(path, true);
    Record back;
    for (std::size_t i = 0; i < values.size(); ++i) {
        table->read(i, back);
        const double got = std::get<double>(back[0]);
        if (fox())
            EXPECT_EQ(std::memcmp(&got, &values[i], sizeof got), 0) << values[i];
        else
            EXPECT_LE(std::fabs(got - values[i]), 5e-13 * std::fabs(values[i])) << values[i];
    }
}

struct Refusal {
    const char* what;
    std::size_t field;
    Value value;
    bool dbase;
    bool foxPro;
};

void PrintTo(const Refusal& r, std::ostream* os) { *os << r.what; }

class DbaseRefusals : public ::testing::TestWithParam<std::tuple<TableFormat, Refusal>> {};

TEST_P(DbaseRefusals, NameFileFieldAndRecordAndStoreNothing)
{
    const auto& [format, refusal] = GetParam();
    const bool expected = format == TableFormat::FoxPro ? refusal.foxPro : refusal.dbase;
    ScratchDir scratch;
    const std::string path = scratch.file("t.dbf");
    {
        CreateResult created = dbase::create(path, allKinds(), format);
        Record ok = {std::string("x"), std::int64_t{1}, 1.0, Date{2000, 1, 1}, true};
        created.table->append(ok);
        created.table->append(ok);
        Record bad = ok;
        bad[refusal.field] = refusal.value;
        if (!expected) {
            EXPECT_NO_THROW(created.table->append(bad));
            return;
        }
        try {
            created.table->append(bad);
            FAIL() << "accepted " << refusal.what;
        } catch (const TableError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(path), std::string::npos) << message;
            EXPECT_NE(message.find(created.table->fields()[refusal.field].name), std::string::npos) << message;
            EXPECT_NE(message.find("record 3"), std::string::npos) << message;
        }
        EXPECT_EQ(created.table->recordCount(), 2u);
        EXPECT_THROW(created.table->write(1, bad), TableError);
    }
    auto table = dbase::open(path, true);
    EXPECT_EQ(table->recordCount(), 2u);
    Record back;
    table->read(1, back);
    EXPECT_EQ(back[1], Value(std::int64_t{1}));
}

const Refusal kRefusals[] = {
    {"text one byte too long", 0, std::string("123456789012345678901"), true, true},
    {"Chinese text one byte too long", 0, std::string("一二三四五六七八九十a"), true, true},
    {"text outside GBK", 0, std::string("😀"), true, true},
    {"integer above N(11,0)", 1, std::int64_t{100'000'000'000}, true, true},
    {"integer below N(11,0)", 1, std::int64_t{-10'000'000'000}, true, true},
    {"integer above 32 bits", 1, std::int64_t{2'147'483'648}, false, true},
    {"fraction into an integer field", 1, 1.5, true, true},
    {"NaN", 2, std::numeric_limits<double>::quiet_NaN(), true, false},
    {"infinity", 2, std::numeric_limits<double>::infinity(), true, false},
    {"digits lost at 1e-100", 2, -1.2345678901234e-100, true, false},
    {"invalid date", 3, Date{2001, 2, 29}, true, true},
    {"text into a date", 3, std::string("2001-01-01"), true, true},
    {"number into a logical", 4, std::int64_t{1}, true, true},
};

INSTANTIATE_TEST_SUITE_P(Values, DbaseRefusals,
                         ::testing::Combine(::testing::Values(TableFormat::DBase, TableFormat::FoxPro),
                                            ::testing::ValuesIn(kRefusals)),
                         [](const auto& info) {
                             std::string name = std::string(formatName(std::get<0>(info.param))) + "_" +
                                                std::get<1>(info.param).what;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

TEST(DbaseNames, LongNamesAreShortenedAtCharacterBoundariesAndKeptUnique)
{
    ScratchDir scratch;
    const std::vector<FieldDef> fields = {
        {"年龄别生育率", FieldKind::Float, 0, false},     // 12 bytes
        {"年龄别生育率合计", FieldKind::Float, 0, false}, // same first 10 bytes
        {"ABCDEFGHIJKL", FieldKind::Integer, 0, false},
        {"abcdefghijk", FieldKind::Integer, 0, false},    // same as the previous, but for case
        {"a年龄别生育率", FieldKind::Char, 4, false},      // 13 bytes: the cut falls inside a character
        {"年龄别生1", FieldKind::Char, 4, false},          // a short name a suffix must avoid
        {"short", FieldKind::Boolean, 0, false},
    };
    for (TableFormat format : {TableFormat::DBase, TableFormat::FoxPro}) {
        const std::string path = scratch.file(format == TableFormat::DBase ? "a.dbf" : "b.dbf");
        CreateResult created = dbase::create(path, fields, format);
        const std::vector<std::string> expected = {"年龄别生育", "年龄别生2", "ABCDEFGHIJ", "abcdefghi1",
                                                   "a年龄别生", "年龄别生1", "short"};
        ASSERT_EQ(created.table->fields().size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(created.table->fields()[i].name, expected[i]);
        const std::vector<std::string> remarks = {"年龄别生育率 → 年龄别生育", "年龄别生育率合计 → 年龄别生2",
                                                  "ABCDEFGHIJKL → ABCDEFGHIJ", "abcdefghijk → abcdefghi1",
                                                  "a年龄别生育率 → a年龄别生"};
        EXPECT_EQ(created.remarks, remarks);
        created.table.reset();
        auto reopened = dbase::open(path, true);
        EXPECT_EQ(reopened->fields()[1].name, "年龄别生2");
    }
}

struct BadDefinition {
    const char* what;
    std::vector<FieldDef> fields;
};

void PrintTo(const BadDefinition& d, std::ostream* os) { *os << d.what; }

class DbaseBadDefinitions : public ::testing::TestWithParam<BadDefinition> {};

TEST_P(DbaseBadDefinitions, AreRefusedBeforeAnythingIsWritten)
{
    ScratchDir scratch;
    const std::string path = scratch.file("t.dbf");
    for (TableFormat format : {TableFormat::DBase, TableFormat::FoxPro}) {
        EXPECT_THROW(dbase::create(path, GetParam().fields, format), TableError) << GetParam().what;
        EXPECT_FALSE(fs::exists(path));
        EXPECT_FALSE(fs::exists(scratch.file("t.cpg")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Definitions, DbaseBadDefinitions,
    ::testing::Values(BadDefinition{"no fields", {}},
                      BadDefinition{"empty name", {{"", FieldKind::Float, 0, false}}},
                      BadDefinition{"blank name", {{"  ", FieldKind::Float, 0, false}}},
                      BadDefinition{"duplicate", {{"Age", FieldKind::Float, 0, false}, {"AGE", FieldKind::Integer, 0, false}}},
                      BadDefinition{"outside GBK", {{"x😀", FieldKind::Float, 0, false}}},
                      BadDefinition{"text size 0", {{"a", FieldKind::Char, 0, false}}},
                      BadDefinition{"text size 255", {{"a", FieldKind::Char, 255, false}}},
                      BadDefinition{"256 fields", [] {
                                        std::vector<FieldDef> many;
                                        for (int i = 0; i < 256; ++i)
                                            many.push_back({std::string("f").append(std::to_string(i)), FieldKind::Float, 0, false});
                                        return many;
                                    }()}),
    [](const auto& info) {
        std::string n = info.param.what;
        for (char& c : n)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return n;
    });

TEST(DbaseCreate, RefusesAnExistingFileAndOtherFormats)
{
    ScratchDir scratch;
    const std::string path = scratch.file("t.dbf");
    writeAll(path, "keep");
    EXPECT_THROW(dbase::create(path, allKinds(), TableFormat::DBase), TableError);
    EXPECT_EQ(readAll(path), "keep");
    EXPECT_THROW(dbase::create(scratch.file("u.dbf"), allKinds(), TableFormat::Paradox), TableError);
}

TEST(DbaseCreate, HeadersAreDeterministicApartFromTheDate)
{
    ScratchDir scratch;
    for (TableFormat format : {TableFormat::DBase, TableFormat::FoxPro}) {
        const std::string a = scratch.file(format == TableFormat::DBase ? "a.dbf" : "fa.dbf");
        const std::string b = scratch.file(format == TableFormat::DBase ? "b.dbf" : "fb.dbf");
        dbase::create(a, allKinds(), format);
        dbase::create(b, allKinds(), format);
        std::string x = readAll(a), y = readAll(b);
        ASSERT_EQ(x.size(), y.size());
        x.replace(1, 3, "---");
        y.replace(1, 3, "---");
        EXPECT_EQ(x, y);
        const auto* h = reinterpret_cast<const unsigned char*>(x.data());
        const std::size_t fields = format == TableFormat::FoxPro ? 6 : 5;  // with _NullFlags
        const std::size_t headerLength = 32 + 32 * fields + 1 + (format == TableFormat::FoxPro ? 263 : 0);
        EXPECT_EQ(h[0], format == TableFormat::FoxPro ? 0x30 : 0x03);
        EXPECT_EQ(h[29], 0x7A);  // code page 936
        EXPECT_EQ(h[8] | (h[9] << 8), headerLength);
        EXPECT_EQ(x.size(), headerLength + 1);
        EXPECT_EQ(h[headerLength], 0x1A);
    }
    EXPECT_EQ(readAll(scratch.file("a.cpg")), "936");
    EXPECT_FALSE(fs::exists(scratch.file("fa.cpg")));
}

TEST_P(DbaseFormats, HeaderCountsRecordsAndTheFileEndsWithTheEndMark)
{
    {
        CreateResult created = dbase::create(path, allKinds(), GetParam().format);
        for (int i = 0; i < 3; ++i)
            created.table->append({std::string("a"), std::int64_t{i}, 1.0, Date{2000, 1, 1}, true});
        created.table->flush();
        const std::string bytes = readAll(path);
        const auto* h = reinterpret_cast<const unsigned char*>(bytes.data());
        EXPECT_EQ(h[4], 3);
        const std::size_t headerLength = h[8] | (h[9] << 8);
        const std::size_t recordLength = h[10] | (h[11] << 8);
        EXPECT_EQ(bytes.size(), headerLength + 3 * recordLength + 1);
        EXPECT_EQ(bytes.back(), '\x1A');
        created.table->append({std::string("b"), std::int64_t{9}, 2.0, Date{2000, 1, 2}, false});
    }  // closing flushes
    const std::string bytes = readAll(path);
    EXPECT_EQ(static_cast<unsigned char>(bytes[4]), 4);
    EXPECT_EQ(bytes.back(), '\x1A');
    EXPECT_EQ(dbase::open(path, true)->recordCount(), 4u);
}

TEST_P(DbaseFormats, DeletedRecordsAreHiddenAndStayHidden)
{
    {
        CreateResult created = dbase::create(path, allKinds(), GetParam().format);
        for (int i = 0; i < 10; ++i)
            created.table->append({std::string("r") + std::to_string(i), std::int64_t{i}, 0.5, Date{2000, 1, 1}, true});
        created.table->flush();
        created.table->remove(3);  // r3
        created.table->remove(0);  // r0
        EXPECT_EQ(created.table->recordCount(), 8u);
        Record back;
        created.table->read(0, back);
        EXPECT_EQ(back[1], Value(std::int64_t{1}));
        created.table->read(2, back);
        EXPECT_EQ(back[1], Value(std::int64_t{4}));
        created.table->append({std::string("r10"), std::int64_t{10}, 0.5, Date{2000, 1, 1}, true});
        created.table->remove(8);  // r10, still in the append buffer
        created.table->append({std::string("r11"), std::int64_t{11}, 0.5, Date{2000, 1, 1}, true});
    }
    auto table = dbase::open(path, false);
    ASSERT_EQ(table->recordCount(), 9u);
    std::vector<std::int64_t> seen;
    Record back;
    for (std::size_t i = 0; i < table->recordCount(); ++i) {
        table->read(i, back);
        seen.push_back(std::get<std::int64_t>(back[1]));
    }
    EXPECT_EQ(seen, (std::vector<std::int64_t>{1, 2, 4, 5, 6, 7, 8, 9, 11}));
    EXPECT_THROW(table->read(9, back), TableError);
    table->write(2, {std::string("改"), std::int64_t{40}, std::monostate{}, std::monostate{}, false});
    table.reset();
    table = dbase::open(path, true);
    table->read(2, back);
    EXPECT_EQ(back[0], Value(std::string("改")));
    EXPECT_EQ(back[1], Value(std::int64_t{40}));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(back[2]));
    EXPECT_EQ(back[4], Value(false));
}

// Enough records to pass the append buffer, the read-ahead block and the block in which
// deletion flags are scanned: every record still reads back as written.
TEST_P(DbaseFormats, LargeTablesReadBackAcrossBufferBoundaries)
{
    const std::size_t count = 230'000;  // 20 (dBase) or 10 (FoxPro) bytes a record
    {
        CreateResult created = dbase::create(path, {{"v", FieldKind::Float, 0, false}}, GetParam().format);
        for (std::size_t i = 0; i < count; ++i)
            created.table->append({static_cast<double>(i) + 0.25});
    }
    auto table = dbase::open(path, false);
    ASSERT_EQ(table->recordCount(), count);
    Record r;
    table->read(count - 1, r);
    table->read(70'000, r);                  // loads the block around it
    table->write(70'001, {-1.5});            // changes the loaded block as well as the file
    table->remove(count - 2);
    table->remove(10);
    table.reset();
    table = dbase::open(path, true);
    ASSERT_EQ(table->recordCount(), count - 2);
    for (std::size_t i = 0; i < table->recordCount(); ++i) {
        table->read(i, r);
        const std::size_t original = i < 10 ? i : i + 1 < count - 2 ? i + 1 : i + 2;
        const double expected = original == 70'001 ? -1.5 : static_cast<double>(original) + 0.25;
        ASSERT_EQ(r[0], Value(expected)) << i;
    }
}

TEST_P(DbaseFormats, ReadOnlyTablesRefuseEveryChange)
{
    {
        CreateResult created = dbase::create(path, allKinds(), GetParam().format);
        created.table->append({std::string("a"), std::int64_t{1}, 1.0, Date{2000, 1, 1}, true});
    }
    const std::string before = readAll(path);
    auto table = dbase::open(path, true);
    EXPECT_TRUE(table->readOnly());
    const Record r = {std::string("b"), std::int64_t{2}, 2.0, Date{2000, 1, 1}, true};
    for (auto change : {+[](TableFile& t, const Record& x) { t.append(x); },
                        +[](TableFile& t, const Record& x) { t.write(0, x); },
                        +[](TableFile& t, const Record&) { t.remove(0); }}) {
        try {
            change(*table, r);
            ADD_FAILURE() << "a read-only table accepted a change";
        } catch (const TableError& e) {
            EXPECT_NE(std::string(e.what()).find("is read-only"), std::string::npos) << e.what();
        }
    }
    table->flush();
    table.reset();
    EXPECT_EQ(readAll(path), before);
}

// ---- files made by other programs --------------------------------------------------------

// Builds a table file byte by byte, as other programs write them.
struct ForeignField {
    std::string name;  // bytes
    char type;
    int length;
    int decimals = 0;
    unsigned char flags = 0;
};

std::string foreignTable(unsigned char version, unsigned char languageDriver, const std::vector<ForeignField>& fields,
                         const std::vector<std::string>& records, bool dbase7 = false)
{
    const std::size_t desc = dbase7 ? 48 : 32;
    const std::size_t start = dbase7 ? 68 : 32;
    const bool vfp = version == 0x30;
    std::size_t recordLength = 1;
    for (const auto& f : fields)
        recordLength += static_cast<std::size_t>(f.length);
    const std::size_t headerLength = start + desc * fields.size() + 1 + (vfp ? 263 : 0);
    std::string h(headerLength, '\0');
    h[0] = static_cast<char>(version);
    h[1] = 124;
    h[2] = 1;
    h[3] = 1;
    h[4] = static_cast<char>(records.size());
    h[8] = static_cast<char>(headerLength & 0xFF);
    h[9] = static_cast<char>(headerLength >> 8);
    h[10] = static_cast<char>(recordLength & 0xFF);
    h[11] = static_cast<char>(recordLength >> 8);
    h[29] = static_cast<char>(languageDriver);
    std::size_t pos = start;
    for (const auto& f : fields) {
        std::memcpy(&h[pos], f.name.data(), f.name.size());
        h[pos + (dbase7 ? 32 : 11)] = f.type;
        h[pos + (dbase7 ? 33 : 16)] = static_cast<char>(f.length);
        h[pos + (dbase7 ? 34 : 17)] = static_cast<char>(f.decimals);
        if (!dbase7)
            h[pos + 18] = static_cast<char>(f.flags);
        pos += desc;
    }
    h[pos] = 0x0D;
    for (const auto& r : records) {
        EXPECT_EQ(r.size(), recordLength);
        h += r;
    }
    return h + '\x1A';
}

std::string le32(std::uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }
std::string le64(std::uint64_t v) { return le32(static_cast<std::uint32_t>(v)) + le32(static_cast<std::uint32_t>(v >> 32)); }
std::string be32(std::uint32_t v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }
std::string be64(std::uint64_t v) { return be32(static_cast<std::uint32_t>(v >> 32)) + be32(static_cast<std::uint32_t>(v)); }
std::uint64_t bits(double d)
{
    std::uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    return u;
}

TEST(DbaseForeign, VisualFoxProTypesReadAsTheirValues)
{
    ScratchDir scratch;
    const std::string path = scratch.file("vfp.dbf");
    const std::vector<ForeignField> fields = {{"N_INT", 'I', 4},      {"N_DBL", 'B', 8},  {"N_CUR", 'Y', 8},
                                              {"WHEN", 'T', 8},       {"NOTES", 'M', 4},  {"VC", 'V', 6, 0, 0x02},
                                              {"N52", 'N', 5, 2},     {"_NullFlags", '0', 1, 0, 0x05}};
    // 2451545 is the Julian day of 2000-01-01; 45296000 ms is 12:34:56.
    const std::string r1 = std::string(" ") + le32(static_cast<std::uint32_t>(-42)) + le64(bits(-2.5)) +
                           le64(123456) + le32(2451545) + le32(45296000) + le32(7) + std::string("ab\0\0\0\2", 6) + " 1.25" + '\x01';
    // VC null (its null bit is bit 1, after its length bit 0).
    const std::string r2 = std::string(" ") + le32(0) + le64(0) + le64(0) + le32(0) + le32(0) + le32(0) +
                           std::string(6, ' ') + "     " + '\x02';
    writeAll(path, foreignTable(0x30, 0x03, fields, {r1, r2}));
    auto table = dbase::open(path, true);
    EXPECT_EQ(table->format(), TableFormat::FoxPro);
    ASSERT_EQ(table->fields().size(), 7u);  // _NullFlags is hidden
    EXPECT_EQ(table->fields()[0].storage, StorageType::LongInt);
    EXPECT_EQ(table->fields()[1].storage, StorageType::Number);
    EXPECT_EQ(table->fields()[2].storage, StorageType::Currency);
    EXPECT_EQ(table->fields()[3].storage, StorageType::Timestamp);
    EXPECT_EQ(table->fields()[4].storage, StorageType::Memo);
    EXPECT_EQ(table->fields()[6].storage, StorageType::Number);
    Record r;
    table->read(0, r);
    EXPECT_EQ(r[0], Value(std::int64_t{-42}));
    EXPECT_EQ(r[1], Value(-2.5));
    EXPECT_EQ(r[2], Value(12.3456));
    EXPECT_EQ(r[3], Value(std::string("2000-01-01 12:34:56")));
    EXPECT_EQ(r[4], Value(std::string("7")));
    EXPECT_EQ(r[5], Value(std::string("ab")));
    EXPECT_EQ(r[6], Value(1.25));
    table->read(1, r);
    EXPECT_EQ(r[0], Value(std::int64_t{0}));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(r[3]));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(r[4]));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(r[5]));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(r[6]));

    // Writing back: types this program only reads keep their bytes when unchanged; a narrow
    // N field holds what its decimals allow.
    table.reset();
    table = dbase::open(path, false);
    table->read(0, r);
    r[6] = 3.14159;
    table->write(0, r);
    r[4] = std::string("8");
    EXPECT_THROW(table->write(0, r), TableError);
    r[4] = std::string("7");
    r[6] = 1234.5;
    EXPECT_THROW(table->write(0, r), TableError);  // "1234.50" is wider than 5
    table->read(0, r);
    EXPECT_EQ(r[6], Value(3.14));
    EXPECT_EQ(r[3], Value(std::string("2000-01-01 12:34:56")));
}

TEST(DbaseForeign, Dbase7TypesReadAsTheirValues)
{
    ScratchDir scratch;
    const std::string path = scratch.file("d7.dbf");
    const std::vector<ForeignField> fields = {{"LONGNAME_OF_DBASE7_FIELD", 'I', 4}, {"DBL", 'O', 8}, {"AUTO", '+', 4},
                                              {"STAMP", '@', 8}};
    auto flipDouble = [](double d) {
        std::uint64_t u = bits(d);
        return be64((u & 0x8000000000000000ull) ? ~u : (u | 0x8000000000000000ull));
    };
    // Day 730120 after 0001-01-01 (day 1) is 2000-01-01.
    const double stamp = 730120.0 * 86400000.0;
    const std::string r1 = std::string(" ") + be32(static_cast<std::uint32_t>(-7) ^ 0x80000000u) + flipDouble(-0.375) +
                           be32(5u ^ 0x80000000u) + flipDouble(stamp);
    writeAll(path, foreignTable(0x04, 0x00, fields, {r1}, true));
    auto table = dbase::open(path, true);
    EXPECT_EQ(table->fields()[0].name, "LONGNAME_OF_DBASE7_FIELD");
    EXPECT_EQ(table->fields()[2].storage, StorageType::AutoInc);
    Record r;
    table->read(0, r);
    EXPECT_EQ(r[0], Value(std::int64_t{-7}));
    EXPECT_EQ(r[1], Value(-0.375));
    EXPECT_EQ(r[2], Value(std::int64_t{5}));
    EXPECT_EQ(r[3], Value(std::string("2000-01-01 00:00:00")));

    // Integers and doubles are written back in the same flipped big-endian form.
    table.reset();
    table = dbase::open(path, false);
    table->write(0, {std::int64_t{123456}, 1e-300, std::int64_t{5}, r[3]});
    r[1] = std::monostate{};
    r[0] = std::int64_t{-2147483647};
    EXPECT_THROW(table->append(r), TableError);  // a timestamp is only read, never written
    r[3] = std::monostate{};
    table->append(r);
    table.reset();
    table = dbase::open(path, true);
    ASSERT_EQ(table->recordCount(), 2u);
    table->read(0, r);
    EXPECT_EQ(r[0], Value(std::int64_t{123456}));
    EXPECT_EQ(r[1], Value(1e-300));
    table->read(1, r);
    EXPECT_EQ(r[0], Value(std::int64_t{-2147483647}));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(r[1]));
}

struct CodePageCase {
    const char* what;
    unsigned char languageDriver;
    const char* cpg;  // nullptr: no .cpg file
    std::string bytes;
    std::string utf8;
};

void PrintTo(const CodePageCase& c, std::ostream* os) { *os << c.what; }

class DbaseCodePages : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(DbaseCodePages, TextIsDecodedInTheDeclaredCodePage)
{
    ScratchDir scratch;
    const std::string path = scratch.file("cp.dbf");
    const auto& c = GetParam();
    std::string text = c.bytes;
    text.resize(8, ' ');
    std::string name = c.bytes.substr(0, 10);
    writeAll(path, foreignTable(0x03, c.languageDriver, {{name, 'C', 8}}, {" " + text}));
    if (c.cpg)
        writeAll(scratch.file("cp.cpg"), c.cpg);
    auto table = dbase::open(path, true);
    EXPECT_EQ(table->fields()[0].name, c.utf8);
    Record r;
    table->read(0, r);
    EXPECT_EQ(r[0], Value(c.utf8));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DbaseCodePages,
    ::testing::Values(CodePageCase{"driver_936", 0x7A, "UTF-8", "\xC8\xCB\xBF\xDA", "人口"},
                      CodePageCase{"driver_1252_wins_over_cpg", 0x03, "936", "caf\xE9", "café"},
                      CodePageCase{"cpg_utf8", 0x00, "UTF-8\r\n", "\xE4\xBA\xBA\xE5\x8F\xA3", "人口"},
                      CodePageCase{"cpg_ansi_1251", 0x00, "ANSI 1251", "\xEC\xE8\xF0", "мир"},
                      CodePageCase{"no_declaration_is_gbk", 0x00, nullptr, "\xC8\xCB\xBF\xDA", "人口"},
                      CodePageCase{"system_ansi_is_gbk", 0x57, nullptr, "\xC8\xCB\xBF\xDA", "人口"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(DbaseCodePages, CpgTexts)
{
    EXPECT_EQ(dbase::codePageFromCpg("936"), 936);
    EXPECT_EQ(dbase::codePageFromCpg("GBK"), 936);
    EXPECT_EQ(dbase::codePageFromCpg("utf-8\n"), 65001);
    EXPECT_EQ(dbase::codePageFromCpg("ANSI 1252"), 1252);
    EXPECT_EQ(dbase::codePageFromCpg("88591"), 28591);
    EXPECT_EQ(dbase::codePageFromCpg("8859-5"), 28595);
    EXPECT_EQ(dbase::codePageFromCpg("nonsense"), 0);
    EXPECT_EQ(dbase::codePageFromCpg(""), 0);
}

}  // namespace
