// CSV output and input of zandor-cli: quoting, number forms, and the reader's handling of
// quotes, line ends and broken files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>
#include <unistd.h>

#include "text/csv_reader.h"
#include "cli/table_output.h"
#include "text/numbers.h"

namespace zandor::cli {

using text::CsvFormatError;
using text::CsvReader;
namespace {

// Everything a writer produced, through a memory stream.
class CapturedWriter {
public:
    explicit CapturedWriter(std::size_t bufferSize = std::size_t(1) << 20)
        : stream_(open_memstream(&data_, &size_))
    {
        writer_.emplace(stream_, bufferSize);
    }
    ~CapturedWriter()
    {
        writer_.reset();
        std::fclose(stream_);
        std::free(data_);
    }
    TableOutput* operator->() { return &*writer_; }
    std::string text()
    {
        writer_->finish();
        return std::string(data_, size_);
    }

private:
    char* data_ = nullptr;
    std::size_t size_ = 0;
    std::FILE* stream_;
    std::optional<TableOutput> writer_;
};

struct QuoteCase {
    std::string value;
    std::string written;
};

class CliCsvWriterQuoting : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(CliCsvWriterQuoting, QuotesOnlyCommasQuotesAndLineBreaks)
{
    CapturedWriter csv;
    csv->text(GetParam().value);
    csv->text("x");
    csv->endRow();
    EXPECT_EQ(csv.text(), GetParam().written + ",x\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliCsvWriterQuoting,
    ::testing::Values(QuoteCase{"plain", "plain"},
                      QuoteCase{"", ""},
                      QuoteCase{" leading and trailing blanks ", " leading and trailing blanks "},
                      QuoteCase{"男性人口", "男性人口"},
                      QuoteCase{"a;b\tc", "a;b\tc"},
                      QuoteCase{"a,b", "\"a,b\""},
                      QuoteCase{"say \"hi\"", "\"say \"\"hi\"\"\""},
                      QuoteCase{"\"", "\"\"\"\""},
                      QuoteCase{"two\nlines", "\"two\nlines\""},
                      QuoteCase{"cr\rhere", "\"cr\rhere\""},
                      QuoteCase{"城镇,农村", "\"城镇,农村\""}));

TEST(CliCsvWriter, DoublesAreWrittenInTheRoundTripForm)
{
    const double values[] = {0.0,     -0.0,     1.0,      0.1,       1.0 / 3.0, -2.5,
                             1e-7,    1e21,     123456789012345678.0, 5e-324,
                             std::numeric_limits<double>::max(),     0.30000000000000004,
                             6.02214076e23,     -1234.5678};
    for (double v : values) {
        CapturedWriter csv;
        csv->number(v);
        csv->endRow();
        const std::string written = csv.text();
        EXPECT_EQ(written, text::formatRoundTrip(v) + "\n");
        EXPECT_EQ(std::strtod(written.c_str(), nullptr), v) << written;
    }
}

TEST(CliCsvWriter, CellsOfEveryType)
{
    CapturedWriter csv;
    csv->value(tables::Value{std::int64_t{-2147483648LL}});
    csv->value(tables::Value{2.5});
    csv->value(tables::Value{std::string("a,b")});
    csv->value(tables::Value{true});
    csv->value(tables::Value{false});
    csv->value(tables::Value{tables::Date{2024, 2, 9}});
    csv->value(tables::Value{tables::Date{987, 12, 31}});
    csv->value(tables::Value{});
    csv->endRow();
    EXPECT_EQ(csv.text(), "-2147483648,2.5,\"a,b\",True,False,2024-02-09,0987-12-31,\n");
}

TEST(CliCsvWriter, ValuesLongerThanTheBufferArriveWhole)
{
    CapturedWriter csv(64);
    const std::string longText(1000, 'x');
    const std::string longQuoted = std::string(300, 'q') + "\"" + std::string(300, ',');
    std::string expected;
    for (int row = 0; row < 50; ++row) {
        csv->integer(row);
        csv->text(longText);
        csv->text(longQuoted);
        csv->number(0.1 * row);
        csv->endRow();
        expected += std::to_string(row) + "," + longText + ",\"" + std::string(300, 'q') + "\"\""
                    + std::string(300, ',') + "\"," + text::formatRoundTrip(0.1 * row) + "\n";
    }
    EXPECT_EQ(csv.text(), expected);
}

TEST(CliCsvWriter, FinishReportsAnOutputThatCannotBeWritten)
{
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    {
        TableOutput csv(full, 64);
        for (int i = 0; i < 100; ++i)
            csv.text("some text that fills the buffer");
        EXPECT_THROW(csv.finish(), std::runtime_error);
    }
    std::fclose(full);
}

// Every record the reader gives, each as its values joined by '|', followed by "@line".
std::vector<std::string> readRecords(CsvReader& reader)
{
    std::vector<std::string> records;
    std::vector<std::string> fields;
    while (reader.next(fields)) {
        std::string joined;
        for (std::size_t i = 0; i < fields.size(); ++i)
            joined += (i ? "|" : "") + fields[i];
        records.push_back(joined + "@" + std::to_string(reader.line()));
    }
    return records;
}

std::vector<std::string> readAll(const std::string& content)
{
    CsvReader reader(content);
    return readRecords(reader);
}

// The same read from a file in blocks of `blockSize` bytes, twice (after a rewind).
std::vector<std::string> readAllFromFile(const std::string& content, std::size_t blockSize)
{
    const char* root = std::getenv("ZANDOR_TEST_TMP");
    const std::string path = std::string(root && *root ? root : "/tmp") + "/csv-blocks-" + std::to_string(::getpid()) + ".csv";
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
    }
    struct Remove {
        std::string path;
        ~Remove() { std::remove(path.c_str()); }
    } remove{path};
    const auto reader = CsvReader::openFile(path, blockSize);
    const auto first = readRecords(*reader);
    reader->rewind();
    EXPECT_EQ(readRecords(*reader), first) << "after rewind, blocks of " << blockSize;
    return first;
}

constexpr std::size_t kBlockSizes[] = {1, 2, 3, 5, 4096};

struct ReadCase {
    std::string name;
    std::string content;
    std::vector<std::string> records;
};

class CliCsvReaderReads : public ::testing::TestWithParam<ReadCase> {};

TEST_P(CliCsvReaderReads, RecordsAndTheirLines)
{
    EXPECT_EQ(readAll(GetParam().content), GetParam().records);
}

TEST_P(CliCsvReaderReads, FromAFileInBlocksOfAnySize)
{
    for (std::size_t blockSize : kBlockSizes)
        EXPECT_EQ(readAllFromFile(GetParam().content, blockSize), GetParam().records) << "blocks of " << blockSize;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliCsvReaderReads,
    ::testing::Values(
        ReadCase{"Plain", "a,b\n1,2\n", {"a|b@1", "1|2@2"}},
        ReadCase{"NoFinalLineBreak", "a,b\n1,2", {"a|b@1", "1|2@2"}},
        ReadCase{"Crlf", "a,b\r\n1,2\r\n", {"a|b@1", "1|2@2"}},
        ReadCase{"ByteOrderMark", "\xEF\xBB\xBF" "年龄,人口\n0,5\n", {"年龄|人口@1", "0|5@2"}},
        ReadCase{"EmptyValues", ",\n,x,\n", {"|@1", "|x|@2"}},
        ReadCase{"EmptyLineIsOneEmptyValue", "a\n\nb\n", {"a@1", "@2", "b@3"}},
        ReadCase{"QuotedCommaAndQuote", "\"a,b\",\"say \"\"hi\"\"\"\n", {"a,b|say \"hi\"@1"}},
        ReadCase{"QuotedLineBreaksCountLines", "x,\"two\nlines\"\ny,z\n", {"x|two\nlines@1", "y|z@3"}},
        ReadCase{"QuotedEmpty", "\"\",\"\"\n", {"|@1"}},
        ReadCase{"BlanksKept", " a , b \n", {" a | b @1"}},
        ReadCase{"Empty", "", {}},
        ReadCase{"OnlyByteOrderMark", "\xEF\xBB\xBF", {}}),
    [](const auto& info) { return info.param.name; });

struct BrokenCase {
    std::string name;
    std::string content;
    std::size_t line;
};

class CliCsvReaderRefuses : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(CliCsvReaderRefuses, NamingTheLine)
{
    for (std::size_t blockSize : {std::size_t(0), std::size_t(1), std::size_t(2), std::size_t(4096)}) {
        try {
            if (blockSize == 0)
                readAll(GetParam().content);
            else
                readAllFromFile(GetParam().content, blockSize);
            FAIL() << "read without complaint, blocks of " << blockSize;
        } catch (const CsvFormatError& e) {
            EXPECT_EQ(e.line(), GetParam().line);
            EXPECT_NE(std::string(e.what()).find("line " + std::to_string(GetParam().line)),
                      std::string::npos)
                << e.what();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliCsvReaderRefuses,
    ::testing::Values(BrokenCase{"UnclosedQuote", "a,b\n1,\"open\n2,3\n", 2},
                      BrokenCase{"TextAfterClosingQuote", "a,b\n1,2\n\"x\"y,3\n", 3},
                      BrokenCase{"QuoteInsideUnquotedValue", "a,b\n1,2\n3,4\n5,6\"\n", 4}),
    [](const auto& info) { return info.param.name; });

TEST(CliCsvRoundTrip, WhatTheWriterWritesTheReaderReadsBack)
{
    const std::vector<std::string> values = {"", "plain", "a,b", "\"", "x\"\"y", "two\r\nlines",
                                             "农村,城镇", " ", "\n", ",,,", "end\""};
    CapturedWriter csv;
    for (const std::string& v : values)
        csv->text(v);
    csv->endRow();
    csv->text("last");
    csv->endRow();
    const std::string written = csv.text();

    CsvReader reader(written);
    std::vector<std::string> fields;
    ASSERT_TRUE(reader.next(fields));
    EXPECT_EQ(fields, values);
    ASSERT_TRUE(reader.next(fields));
    EXPECT_EQ(fields, std::vector<std::string>{"last"});
    EXPECT_FALSE(reader.next(fields));
}

}  // namespace
}  // namespace zandor::cli
