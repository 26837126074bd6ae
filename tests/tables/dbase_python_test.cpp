// Tables we write, read by the reference reader python3-dbf: the same names and values.
#include <gtest/gtest.h>

#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "tables/dbase.h"
#include "tables/table_error.h"

namespace {

namespace fs = std::filesystem;
using namespace zandor::tables;

// Prints the names (lower case, as python3-dbf gives them) and then every live record, one
// value a tab-separated column: null, T/F, YYYY-MM-DD, repr of numbers, text without
// trailing blanks.
const char* kScript = R"PY(
import sys, datetime, dbf
t = dbf.Table(sys.argv[1])
t.open(dbf.READ_ONLY)
out = ['\t'.join(t.field_names)]
for r in t:
    if dbf.is_deleted(r):
        continue
    cells = []
    for v in r:
        if v is None or isinstance(v, type(dbf.Null)):
            cells.append('null')
        elif isinstance(v, bool):
            cells.append('T' if v else 'F')
        elif isinstance(v, (datetime.date, dbf.Date)):
            cells.append('%04d-%02d-%02d' % (v.year, v.month, v.day))
        elif isinstance(v, float):
            cells.append(repr(v))
        elif isinstance(v, int):
            cells.append(str(v))
        else:
            cells.append(str(v).rstrip())
    out.append('\t'.join(cells))
sys.stdout.write('\n'.join(out) + '\n')
)PY";

bool pythonDbfAvailable()
{
    static const bool available = std::system("/usr/bin/python3 -c 'import dbf' >/dev/null 2>&1") == 0;
    return available;
}

class ScratchDir {
public:
    ScratchDir()
    {
        const char* env = std::getenv("ZANDOR_TEST_TMP");
        dir_ = (fs::path(env && *env ? env : fs::temp_directory_path().string()) /
                ("dbase-python-" + std::to_string(::getpid())))
                   .string();
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    ~ScratchDir() { fs::remove_all(dir_); }
    const std::string& path() const { return dir_; }

private:
    std::string dir_;
};

std::string runPython(const std::string& script, const std::string& table)
{
    const std::string command = "PYTHONIOENCODING=utf-8 /usr/bin/python3 '" + script + "' '" + table + "' 2>&1";
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
            output.append(buf, n);
        ::pclose(pipe);
    }
    return output;
}

std::string repr(double d)
{
    // Python's repr: the shortest text that reads back, with ".0" on whole numbers and
    // exponents from 1e16 and below 1e-4.
    char buf[64];
    const double magnitude = std::fabs(d);
    if (d != 0 && (magnitude >= 1e16 || magnitude < 1e-4)) {
        auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific);
        std::string s(buf, r.ptr);
        const auto e = s.find('e');
        std::string exponent = s.substr(e + 1);
        const char sign = exponent[0];
        exponent = exponent.substr(1);
        while (exponent.size() > 2 && exponent[0] == '0')
            exponent.erase(0, 1);
        return s.substr(0, e) + "e" + sign + exponent;
    }
    auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::fixed);
    std::string s(buf, r.ptr);
    if (s.find('.') == std::string::npos)
        s += ".0";
    return s;
}

std::string cell(const Value& v)
{
    if (std::holds_alternative<std::monostate>(v))
        return "null";
    if (const auto* b = std::get_if<bool>(&v))
        return *b ? "T" : "F";
    if (const auto* d = std::get_if<Date>(&v)) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d->year, d->month, d->day);
        return buf;
    }
    if (const auto* x = std::get_if<double>(&v))
        return repr(*x);
    if (const auto* n = std::get_if<std::int64_t>(&v))
        return std::to_string(*n);
    return std::get<std::string>(v);
}

std::string lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// What python3-dbf should print for the table as this program reads it. A null text reads
// as '' there: the file cannot tell the two apart.
std::string expectedListing(TableFile& table, bool emptyTextAsBlank)
{
    std::string out;
    for (std::size_t i = 0; i < table.fields().size(); ++i) {
        if (i)
            out += '\t';
        out += lower(table.fields()[i].name);
    }
    out += '\n';
    Record r;
    for (std::size_t n = 0; n < table.recordCount(); ++n) {
        table.read(n, r);
        for (std::size_t i = 0; i < r.size(); ++i) {
            std::string c = cell(r[i]);
            if (emptyTextAsBlank && c == "null" && table.fields()[i].storage == StorageType::Alpha)
                c.clear();
            if (i)
                out += '\t';
            out += c;
        }
        out += '\n';
    }
    return out;
}

class DbasePython : public ::testing::TestWithParam<TableFormat> {};

TEST_P(DbasePython, ReadsOurTablesWithTheSameNamesAndValues)
{
    if (!pythonDbfAvailable())
        GTEST_SKIP() << "/usr/bin/python3 cannot import dbf";
    const bool fox = GetParam() == TableFormat::FoxPro;
    const ScratchDir scratch;
    const std::string& dir = scratch.path();
    const std::string script = dir + "/listing.py";
    std::ofstream(script) << kScript;
    const std::string path = dir + (fox ? "/分年龄人口_fox.dbf" : "/分年龄人口.dbf");

    const std::vector<FieldDef> fields = {{"地区名称", FieldKind::Char, 20, false},
                                          {"年龄", FieldKind::Integer, 0, false},
                                          {"年龄别生育率", FieldKind::Float, 0, false},
                                          {"Population", FieldKind::Float, 0, false},
                                          {"调查日期", FieldKind::Date, 0, false},
                                          {"城镇", FieldKind::Boolean, 0, false}};
    const std::int64_t big = fox ? 2147483647 : 99999999999;
    const std::int64_t small = fox ? -2147483648 : -9999999999;
    {
        CreateResult created = dbase::create(path, fields, GetParam());
        ASSERT_EQ(created.remarks.size(), 1u);
        const std::vector<Record> records = {
            {std::string("北京市东城区和平里街"), std::int64_t{0}, 0.0123456789012345, 1234567.5, Date{2020, 11, 1}, true},
            {std::string("Shanghai"), big, 1.234567890123e-99, -987654321098765.0, Date{1, 1, 1}, false},
            {std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{}, std::monostate{}},
            {std::string("deleted"), std::int64_t{5}, 1.0, 2.0, Date{2000, 1, 1}, true},
            {std::string("天津"), small, 0.1 + 0.2, 1e15, Date{9999, 12, 31}, std::monostate{}},
        };
        for (const Record& r : records)
            created.table->append(r);
        created.table->remove(3);
    }
    auto table = dbase::open(path, true);
    ASSERT_EQ(table->recordCount(), 4u);
    const std::string expected = expectedListing(*table, !fox);
    EXPECT_NE(expected.find("年龄别生育"), std::string::npos);
    EXPECT_EQ(runPython(script, path), expected);
}

INSTANTIATE_TEST_SUITE_P(Formats, DbasePython, ::testing::Values(TableFormat::DBase, TableFormat::FoxPro),
                         [](const auto& info) { return info.param == TableFormat::FoxPro ? "FoxPro" : "dBase"; });

// Float values over every magnitude read back by python3-dbf to at least 13 digits.
TEST(DbasePython, FloatMagnitudesReadBackToThirteenDigits)
{
    if (!pythonDbfAvailable())
        GTEST_SKIP() << "/usr/bin/python3 cannot import dbf";
    const ScratchDir scratch;
    const std::string& dir = scratch.path();
    const std::string script = dir + "/listing.py";
    std::ofstream(script) << kScript;
    const std::string path = dir + "/magnitudes.dbf";
    std::vector<double> values;
    for (int e = -99; e <= 15; ++e)
        for (double m : {1.0, 1.2345678901234567, -9.876543210987654})
            values.push_back(m * std::pow(10.0, e));
    {
        CreateResult created = dbase::create(path, {{"v", FieldKind::Float, 0, false}}, TableFormat::DBase);
        for (double v : values)
            created.table->append({v});
    }
    const std::string listing = runPython(script, path);
    std::istringstream lines(listing);
    std::string line;
    std::getline(lines, line);
    ASSERT_EQ(line, "v") << listing.substr(0, 2000);
    for (double v : values) {
        ASSERT_TRUE(std::getline(lines, line));
        const double back = std::strtod(line.c_str(), nullptr);
        EXPECT_LE(std::fabs(back - v), 5e-13 * std::fabs(v)) << v << " read as " << line;
    }
}

}  // namespace
