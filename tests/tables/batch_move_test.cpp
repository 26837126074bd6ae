// Batch move: every pair of writable formats read back with names and values intact,
// replacement of an existing target only when the copy is complete, the refusals, and the
// conversion of kinds a format cannot hold.
#include <gtest/gtest.h>

#include <unistd.h>

#include <stdexcept>

#include "tables/batch_move.h"
#include "tables/statements.h"
#include "tables/table_error.h"
#include "tables/table_file.h"
#include "paradox_fixture.h"
#include "statements_scratch.h"

namespace zandor::tables {
namespace {

using testing::allRecords;
using testing::fileBytes;
using testing::sameValue;
using testing::ScratchFolder;

std::string extensionOf(TableFormat format) { return format == TableFormat::Paradox ? ".DB" : ".dbf"; }

const std::vector<FieldDef> kSampleFields = {
    {"年龄", FieldKind::Integer, 0, false}, {"人口", FieldKind::Float, 0, false},
    {"地区", FieldKind::Char, 12, false},   {"普查日", FieldKind::Date, 0, false},
    {"城镇", FieldKind::Boolean, 0, false},
};

std::vector<Record> sampleRecords()
{
    return {
        {std::int64_t{0}, 12345.678, std::string("北京市"), Date{2020, 11, 1}, true},
        {std::int64_t{1}, std::monostate{}, std::string("Shanghai"), std::monostate{}, false},
        {std::monostate{}, -0.125, std::monostate{}, Date{1953, 6, 30}, std::monostate{}},
        {std::int64_t{-2147483647}, 1e9, std::string("内蒙古自治区"), Date{9999, 12, 31}, true},
    };
}

void makeTable(const std::string& path, TableFormat format, const std::vector<FieldDef>& fields,
               const std::vector<Record>& records)
{
    auto created = createTableFile(path, format, fields);
    for (const Record& r : records) {
        Record coerced;
        for (std::size_t i = 0; i < r.size(); ++i)
            coerced.push_back(coerceToField(r[i], created.table->fields()[i]));
        created.table->append(coerced);
    }
    created.table->flush();
}

void expectSameTable(const std::string& source, const std::string& target)
{
    auto in = openTableFile(source, true);
    auto out = openTableFile(target, true);
    ASSERT_EQ(out->fields().size(), in->fields().size());
    for (std::size_t i = 0; i < in->fields().size(); ++i) {
        const FieldDef a = in->fields()[i].def();
        const FieldDef b = out->fields()[i].def();
        EXPECT_EQ(b.name, a.name);
        EXPECT_EQ(b.kind, a.kind) << a.name;
        EXPECT_EQ(b.size, a.size) << a.name;
    }
    const auto expected = allRecords(source);
    const auto actual = allRecords(target);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t r = 0; r < expected.size(); ++r)
        for (std::size_t i = 0; i < expected[r].size(); ++i)
            EXPECT_TRUE(sameValue(expected[r][i], actual[r][i])) << "record " << r << " field " << i;
}

void expectNoTemporaryFiles(const ScratchFolder& scratch)
{
    for (const std::string& f : scratch.files())
        EXPECT_EQ(f.find("~tmp"), std::string::npos) << f;
}

using FormatPair = std::tuple<TableFormat, TableFormat>;

class BatchMovePair : public ::testing::TestWithParam<FormatPair> {};

INSTANTIATE_TEST_SUITE_P(
    Formats, BatchMovePair,
    ::testing::Combine(::testing::Values(TableFormat::Paradox, TableFormat::DBase, TableFormat::FoxPro),
                       ::testing::Values(TableFormat::Paradox, TableFormat::DBase, TableFormat::FoxPro)),
    [](const auto& info) {
        return std::string(formatName(std::get<0>(info.param))) + "To" + std::string(formatName(std::get<1>(info.param)));
    });

TEST_P(BatchMovePair, ValuesAndNamesReadBackIntact)
{
    const auto [from, to] = GetParam();
    ScratchFolder scratch;
    const std::string source = scratch.path("source" + extensionOf(from));
    const std::string target = scratch.path("target" + extensionOf(to));
    makeTable(source, from, kSampleFields, sampleRecords());

    const auto remarks = copyTable(source, target, to);
    EXPECT_TRUE(remarks.empty()) << remarks.front();
    EXPECT_EQ(openTableFile(target, true)->format(), to);
    expectSameTable(source, target);
    // The values themselves, not only agreement with the source reader.
    const auto records = allRecords(target);
    EXPECT_TRUE(sameValue(std::string("内蒙古自治区"), records[3][2]));
    EXPECT_TRUE(sameValue(12345.678, records[0][1]));
    EXPECT_TRUE(sameValue(Value{}, records[1][1]));
    expectNoTemporaryFiles(scratch);
}

TEST_P(BatchMovePair, ReplacesAnExistingTargetOnlyWhenComplete)
{
    const auto [from, to] = GetParam();
    ScratchFolder scratch;
    const std::string source = scratch.path("source" + extensionOf(from));
    const std::string target = scratch.path("target" + extensionOf(to));
    makeTable(source, from, kSampleFields, sampleRecords());
    makeTable(target, to, {{"旧", FieldKind::Char, 5, false}}, {{std::string("old")}, {std::string("旧值")}});
    const auto files = scratch.files();
    std::vector<std::string> before;
    for (const std::string& f : files)
        before.push_back(fileBytes(scratch.path(f)));

    const auto stopAfterThree = [](std::size_t copied) {
        if (copied == 3)
            throw std::runtime_error("no space left on device");
    };
    EXPECT_THROW(copyTable(source, target, to, stopAfterThree), std::runtime_error);
    ASSERT_EQ(scratch.files(), files);
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(fileBytes(scratch.path(files[i])), before[i]) << files[i];

    copyTable(source, target, to);
    expectSameTable(source, target);
    expectNoTemporaryFiles(scratch);
}

TEST(BatchMove, InterruptedCopyToANewTargetLeavesNothing)
{
    ScratchFolder scratch;
    const std::string source = scratch.path("source.DB");
    makeTable(source, TableFormat::Paradox, kSampleFields, sampleRecords());
    const auto files = scratch.files();
    for (TableFormat to : {TableFormat::Paradox, TableFormat::DBase, TableFormat::FoxPro}) {
        EXPECT_THROW(copyTable(source, scratch.path("new" + extensionOf(to)), to,
                               [](std::size_t) { throw std::runtime_error("stopped"); }),
                     std::runtime_error);
        EXPECT_EQ(scratch.files(), files) << formatName(to);
    }
}

TEST(BatchMove, Refusals)
{
    ScratchFolder scratch;
    const std::string source = scratch.path("source.DB");
    makeTable(source, TableFormat::Paradox, kSampleFields, sampleRecords());
    ASSERT_EQ(::symlink(source.c_str(), scratch.path("link.DB").c_str()), 0);
    const std::string before = fileBytes(source);
    const struct {
        std::string target;
        TableFormat format;
        std::string message;
    } cases[] = {
        {source, TableFormat::Paradox, "cannot be copied onto itself"},
        {scratch.path("./source.DB"), TableFormat::Paradox, "cannot be copied onto itself"},
        {scratch.path("link.DB"), TableFormat::Paradox, "cannot be copied onto itself"},
        {scratch.path("x.dbf"), TableFormat::Paradox, "does not suit a Paradox table: use the extension .db"},
        {scratch.path("x.DB"), TableFormat::DBase, "does not suit a dBase table: use the extension .dbf"},
        {scratch.path("x.txt"), TableFormat::FoxPro, "does not suit a FoxPro table"},
        {scratch.path("x.dbf"), TableFormat::Ascii, "does not suit a ASCII table"},
        {scratch.path("x"), TableFormat::Ascii, "use the extension .txt"},
    };
    for (const auto& c : cases) {
        try {
            copyTable(source, c.target, c.format);
            ADD_FAILURE() << "accepted " << c.target;
        } catch (const TableError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.target << ": " << e.what();
        }
    }
    EXPECT_EQ(fileBytes(source), before);
    EXPECT_EQ(scratch.files(), (std::vector<std::string>{"link.DB", "source.DB"}));
}

TEST(BatchMove, AsciiTextWithItsSchema)
{
    ScratchFolder scratch;
    const std::string source = scratch.path("source.DB");
    makeTable(source, TableFormat::Paradox, kSampleFields, sampleRecords());
    const std::string target = scratch.path("人口.txt");
    EXPECT_THROW(copyTable(source, target, TableFormat::Ascii, [](std::size_t) { throw std::runtime_error("stop"); }),
                 std::runtime_error);
    EXPECT_EQ(scratch.files(), (std::vector<std::string>{"source.DB"}));

    copyTable(source, target, TableFormat::Ascii);
    EXPECT_EQ(scratch.files(), (std::vector<std::string>{"source.DB", "人口.sch", "人口.txt"}));
    // The schema names the table by its own name (in GBK: 人口 is C8 CB BF DA).
    const std::string schema = fileBytes(scratch.path("人口.sch"));
    EXPECT_EQ(schema.rfind("[\xC8\xCB\xBF\xDA]\r\n", 0), 0u) << schema;
    const std::string text = fileBytes(target);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
    EXPECT_NE(text.find("12345.678"), std::string::npos) << text;

    // A second copy replaces both files.
    makeTable(scratch.path("other.DB"), TableFormat::Paradox, {{"x", FieldKind::Integer, 0, false}},
              {{std::int64_t{42}}});
    copyTable(scratch.path("other.DB"), target, TableFormat::Ascii);
    EXPECT_EQ(fileBytes(target), "42\r\n");
    EXPECT_NE(fileBytes(scratch.path("人口.sch")).find("Field1=x,"), std::string::npos);
}

// A table as another program may have made it, with kinds our writers do not produce.
class ForeignTable : public TableFile {
public:
    ForeignTable(std::vector<FieldInfo> fields, std::vector<Record> records)
        : fields_(std::move(fields)), records_(std::move(records))
    {
    }
    TableFormat format() const override { return TableFormat::Paradox; }
    const std::string& path() const override { return path_; }
    const std::vector<FieldInfo>& fields() const override { return fields_; }
    std::size_t recordCount() const override { return records_.size(); }
    bool readOnly() const override { return true; }
    void read(std::size_t index, Record& out) override { out = records_.at(index); }
    void write(std::size_t, const Record&) override { throw TableError("read-only"); }
    void append(const Record&) override { throw TableError("read-only"); }
    void remove(std::size_t) override { throw TableError("read-only"); }
    void flush() override {}

private:
    std::string path_ = "/foreign/source.DB";
    std::vector<FieldInfo> fields_;
    std::vector<Record> records_;
};

FieldInfo info(const std::string& name, StorageType storage, int width)
{
    FieldInfo f;
    f.name = name;
    f.storage = storage;
    f.width = width;
    f.size = width;
    return f;
}

TEST(BatchMove, KindsTheTargetCannotHoldBecomeTheClosest)
{
    const std::string longMemo(60, 'm');      // longer than the memo's leader width
    const std::string chineseMemo = "人口普查资料汇编";  // 16 bytes in GBK
    ForeignTable source({info("备注", StorageType::Memo, 10), info("时刻", StorageType::Time, 0),
                         info("序号", StorageType::AutoInc, 4), info("小", StorageType::ShortInt, 2),
                         info("金额", StorageType::Currency, 8), info("长", StorageType::Alpha, 255)},
                        {{longMemo, std::string("08:30:00"), std::int64_t{1}, std::int64_t{-3}, 2.5, std::string("x")},
                         {chineseMemo, std::monostate{}, std::int64_t{2}, std::int64_t{32767}, std::monostate{},
                          std::string(200, 'y')}});
    const struct {
        TableFormat format;
        std::vector<std::pair<FieldKind, int>> kinds;  // kind and Char width
    } cases[] = {
        {TableFormat::Paradox,
         {{FieldKind::Char, 60}, {FieldKind::Char, 8}, {FieldKind::Integer, 0}, {FieldKind::Integer, 0},
          {FieldKind::Float, 0}, {FieldKind::Char, 255}}},
        {TableFormat::DBase,
         {{FieldKind::Char, 60}, {FieldKind::Char, 8}, {FieldKind::Integer, 0}, {FieldKind::Integer, 0},
          {FieldKind::Float, 0}, {FieldKind::Char, 254}}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> remarks;
        const auto fields = fieldsForFormat(source, c.format, remarks);
        ASSERT_EQ(fields.size(), c.kinds.size());
        for (std::size_t i = 0; i < fields.size(); ++i) {
            EXPECT_EQ(fields[i].source, static_cast<int>(i));
            EXPECT_EQ(fields[i].def.kind, c.kinds[i].first) << formatName(c.format) << " " << fields[i].def.name;
            if (c.kinds[i].first == FieldKind::Char) {
                EXPECT_EQ(fields[i].def.size, c.kinds[i].second) << formatName(c.format) << " " << fields[i].def.name;
            }
        }
        // Every changed kind is remarked on: memo, time, auto-increment, short integer, currency
        // (and the text field narrowed for dBase).
        EXPECT_EQ(remarks.size(), c.format == TableFormat::DBase ? 6u : 5u);
    }
}

TEST(BatchMove, ATextLongerThanTheFormatHoldsIsNotCut)
{
    ForeignTable source({info("备注", StorageType::Memo, 10)}, {{std::string("short")}, {std::string(300, 'z')}});
    std::vector<std::string> remarks;
    try {
        fieldsForFormat(source, TableFormat::DBase, remarks);
        ADD_FAILURE() << "a 300-byte memo was accepted for a dBase text field";
    } catch (const TableError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("备注"), std::string::npos) << message;
        EXPECT_NE(message.find("record 2"), std::string::npos) << message;
        EXPECT_NE(message.find("300 bytes"), std::string::npos) << message;
    }
}

// A Paradox 7 table as another program writes it, with a time, timestamp, automatic number,
// short integer and memo field; the memo is left out when `withMemo` is false.
std::string writeParadoxMadeElsewhere(const ScratchFolder& scratch, const std::string& name, bool withMemo)
{
    using namespace paradox::testing;
    paradox::testing::ForeignTable t;
    t.version = 12;
    t.codePage = 936;
    t.fields = {{0x14, 4, "Time"}, {0x15, 8, "Stamp"}, {0x16, 4, "Auto"}, {0x03, 2, "Short"},
                {0x01, 8, "\xC8\xCB\xBF\xDA"}};  // 人口
    if (withMemo)
        t.fields.push_back({0x0C, 15, "Memo"});
    const auto record = [&](std::int64_t ms, double stamp, std::int64_t autoNumber, std::int64_t shortInt,
                            const std::string& text) {
        Bytes r(static_cast<std::size_t>(t.recordSize()), 0);
        storeInt(&r[0], ms, 4);
        if (stamp != 0)
            storeDouble(&r[4], stamp);
        storeInt(&r[12], autoNumber, 4);
        storeInt(&r[16], shortInt, 2);
        std::memcpy(&r[18], text.data(), text.size());
        if (withMemo) {
            const Bytes memo = {'a', 'b', 'c', 0, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0};  // held in the record
            std::memcpy(&r[26], memo.data(), memo.size());
        }
        return r;
    };
    const double stamp = (730120.0 + 1) * 86400000.0 + ((4 * 60 + 5) * 60 + 6) * 1000.0;  // 2000-01-02 04:05:06
    t.blocks = {{1,
                 {record((13 * 3600 + 45 * 60 + 30) * 1000, stamp, 7, -300, "\xC8\xCB\xBF\xDA"),
                  record(0, 0, 8, 32767, "")}}};
    const std::string path = scratch.path(name);
    Bytes file = t.build();
    file[0x49] = 8;  // the table's last automatic number
    writeAll(path, file);
    return path;
}

TEST(BatchMove, ParadoxTimesAndMemosBecomeText)
{
    ScratchFolder scratch;
    const std::string source = writeParadoxMadeElsewhere(scratch, "elsewhere.db", true);
    const auto expected = allRecords(source);
    ASSERT_EQ(expected.size(), 2u);
    ASSERT_TRUE(sameValue(std::string("13:45:30"), expected[0][0]));
    for (TableFormat to : {TableFormat::DBase, TableFormat::FoxPro, TableFormat::Paradox}) {
        const std::string target = scratch.path(std::string(formatName(to)) + extensionOf(to));
        const auto remarks = copyTable(source, target, to);
        EXPECT_EQ(remarks.size(), 5u) << formatName(to);  // time, timestamp, automatic number, short, memo
        auto out = openTableFile(target, true);
        const std::pair<FieldKind, int> kinds[] = {{FieldKind::Char, 8},    {FieldKind::Char, 19},
                                                   {FieldKind::Integer, 0}, {FieldKind::Integer, 0},
                                                   {FieldKind::Char, 8},    {FieldKind::Char, 10}};
        ASSERT_EQ(out->fields().size(), std::size(kinds));
        for (std::size_t i = 0; i < std::size(kinds); ++i) {
            EXPECT_EQ(out->fields()[i].kind(), kinds[i].first) << formatName(to) << " " << i;
            if (kinds[i].first == FieldKind::Char) {
                EXPECT_EQ(out->fields()[i].def().size, kinds[i].second) << formatName(to) << " " << i;
            }
        }
        const auto actual = allRecords(target);
        ASSERT_EQ(actual.size(), expected.size());
        for (std::size_t r = 0; r < expected.size(); ++r)
            for (std::size_t i = 0; i < std::size(kinds); ++i)
                EXPECT_TRUE(sameValue(expected[r][i], actual[r][i])) << formatName(to) << " record " << r << " field " << i;
    }
}

TEST(Restructure, TablesMadeElsewhereKeepTheirValuesOrAreRefused)
{
    ScratchFolder scratch;
    // Without a memo: the time and timestamp become text, the numbers stay numbers.
    const std::string plain = writeParadoxMadeElsewhere(scratch, "plain.db", false);
    const auto before = allRecords(plain);
    addField(plain, FieldDef{"结果", FieldKind::Float, 0, false});
    const auto after = allRecords(plain);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t r = 0; r < before.size(); ++r) {
        for (std::size_t i = 0; i < before[r].size(); ++i)
            EXPECT_TRUE(sameValue(before[r][i], after[r][i])) << "record " << r << " field " << i;
        EXPECT_TRUE(sameValue(Value{}, after[r].back()));
    }
    // With a memo, whose text may lie partly in the memo file: refused, the table as it was.
    const std::string memo = writeParadoxMadeElsewhere(scratch, "memo.db", true);
    const std::string bytes = fileBytes(memo);
    EXPECT_THROW(addField(memo, FieldDef{"结果", FieldKind::Float, 0, false}), TableError);
    EXPECT_THROW(dropField(memo, "Time"), TableError);
    EXPECT_EQ(fileBytes(memo), bytes);
    // Dropping the memo itself keeps everything else.
    dropField(memo, "Memo");
    EXPECT_EQ(allRecords(memo).front().size(), 5u);
}

TEST(Restructure, AFoxProTableStaysFoxPro)
{
    ScratchFolder scratch;
    const std::string path = scratch.path("fox.dbf");
    makeTable(path, TableFormat::FoxPro, kSampleFields, sampleRecords());
    const auto before = allRecords(path);
    runStatement("alter table \"" + path + "\" add 结果 float");
    runStatement("alter table \"" + path + "\" drop 人口");
    EXPECT_EQ(openTableFile(path, true)->format(), TableFormat::FoxPro);
    const auto after = allRecords(path);
    ASSERT_EQ(after.size(), before.size());
    const int from[] = {0, 2, 3, 4};
    for (std::size_t r = 0; r < before.size(); ++r) {
        for (std::size_t i = 0; i < std::size(from); ++i)
            EXPECT_TRUE(sameValue(before[r][static_cast<std::size_t>(from[i])], after[r][i])) << r << " " << i;
        EXPECT_TRUE(sameValue(Value{}, after[r][4]));
    }
}

TEST(BatchMove, AValueTheTargetCannotHoldStopsTheCopyAndNamesIt)
{
    ScratchFolder scratch;
    const std::string target = scratch.path("t.DB");
    makeTable(target, TableFormat::Paradox, {{"旧", FieldKind::Integer, 0, false}}, {{std::int64_t{1}}});
    const std::string before = fileBytes(target);
    // The third record's number is beyond a 32-bit integer field.
    ForeignTable source({info("n", StorageType::LongInt, 4)},
                        {{std::int64_t{1}}, {std::int64_t{2}}, {std::int64_t{5000000000}}});
    std::vector<std::string> remarks;
    try {
        rewriteTable(source, target, TableFormat::Paradox, fieldsForFormat(source, TableFormat::Paradox, remarks));
        ADD_FAILURE() << "an out-of-range value was accepted";
    } catch (const TableError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("Record 3, field n"), std::string::npos) << message;
        EXPECT_EQ(message.find("~tmp"), std::string::npos) << message;
    }
    EXPECT_EQ(fileBytes(target), before);
    EXPECT_EQ(scratch.files(), (std::vector<std::string>{"t.DB"}));
}

TEST(BatchMove, ContentKeptOutsideTheRecordIsLeftOutWithARemark)
{
    const Record row = {std::string("12"), std::string(), std::int64_t{5}};
    std::vector<FieldInfo> fields = {info("备注", StorageType::Memo, 10), info("图", StorageType::Blob, 10),
                                     info("n", StorageType::LongInt, 4)};
    class DBaseSource : public ForeignTable {
    public:
        using ForeignTable::ForeignTable;
        TableFormat format() const override { return TableFormat::DBase; }
    } source(fields, {row});
    std::vector<std::string> remarks;
    const auto out = fieldsForFormat(source, TableFormat::Paradox, remarks);
    ASSERT_EQ(out.size(), 1u);  // the dBase memo's block number and the binary field are not copied
    EXPECT_EQ(out[0].source, 2);
    ASSERT_EQ(remarks.size(), 2u);
    EXPECT_NE(remarks[0].find("备注"), std::string::npos);
    EXPECT_NE(remarks[1].find("图"), std::string::npos);
}

}  // namespace
}  // namespace zandor::tables
