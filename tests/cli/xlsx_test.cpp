// Excel workbooks through zandor-cli: workbooks made by openpyxl imported, workbooks we write
// read back by openpyxl and by LibreOffice, and the refusals of broken workbooks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "cli/cli.h"
#include "cli_test_support.h"

namespace zandor::cli {
namespace {

using testing::readFile;
using testing::runInProcess;
using testing::ScratchDir;
using testing::writeFile;

bool haveOpenpyxl()
{
    static const bool available = std::system("/usr/bin/python3 -c 'import openpyxl' >/dev/null 2>&1") == 0;
    return available;
}

// Runs a Python script (openpyxl) in `scratch`; its standard output.
std::string python(const ScratchDir& scratch, const std::string& script)
{
    const std::string file = scratch / "script.py";
    writeFile(file, script);
    const std::string command = "cd " + testing::shellQuoted(scratch.path().string()) +
                                " && PYTHONIOENCODING=utf-8 /usr/bin/python3 script.py 2>&1";
    std::string out;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char block[4096];
        std::size_t n;
        while ((n = std::fread(block, 1, sizeof block, pipe)) > 0)
            out.append(block, n);
        pclose(pipe);
    }
    return out;
}

// Compares a workbook's first sheet (or LibreOffice's CSV of it) with a CSV file value by
// value, numbers to 15 significant digits (the writer keeps 16, LibreOffice writes 15).
// Prints the sheet's name, frozen cell and header boldness, then "same" or the first difference.
constexpr const char* kCompareSheet = R"(
import csv, datetime, math, sys, openpyxl
def same(v, t):
    if v is None or v == '': return t == ''
    if isinstance(v, str) and v.upper() in ('TRUE', 'FALSE'): return v.upper() == t.upper()
    if isinstance(v, str):
        try: return math.isclose(float(v), float(t), rel_tol=1e-14)
        except ValueError: return v == t
    if isinstance(v, datetime.datetime): return v.date().isoformat() == t
    if isinstance(v, bool): return str(v) == t
    if isinstance(v, (int, float)):
        try: return math.isclose(v, float(t), rel_tol=1e-14)
        except ValueError: return False
    return str(v) == t
if sys.argv[1].endswith('.csv'):
    rows = list(csv.reader(open(sys.argv[1], encoding='utf-8')))
else:
    ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
    print(ws.title, ws.freeze_panes, ws['A1'].font.b)
    rows = list(ws.iter_rows(values_only=True))
expected = list(csv.reader(open(sys.argv[2], encoding='utf-8')))
if len(rows) != len(expected): print('rows', len(rows), len(expected)); sys.exit()
for r, (got, want) in enumerate(zip(rows, expected)):
    got = list(got) + [None] * (len(want) - len(got))
    for c, (v, t) in enumerate(zip(got, want)):
        if not same(v, t): print('row', r + 1, 'column', c + 1, repr(v), repr(t)); sys.exit()
print('same')
)";

// Writes `expected` beside the workbook and compares them with kCompareSheet.
std::string compareSheet(const ScratchDir& scratch, const std::string& workbook, const std::string& expected)
{
    writeFile(scratch / "expected.csv", expected);
    writeFile(scratch / "compare.py", kCompareSheet);
    const std::string command = "cd " + testing::shellQuoted(scratch.path().string()) +
                                " && PYTHONIOENCODING=utf-8 /usr/bin/python3 compare.py " + testing::shellQuoted(workbook) +
                                " expected.csv 2>&1";
    std::string out;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char block[4096];
        std::size_t n;
        while ((n = std::fread(block, 1, sizeof block, pipe)) > 0)
            out.append(block, n);
        pclose(pipe);
    }
    return out;
}

TEST(CliXlsx, ImportsWorkbookMadeByOpenpyxl)
{
    if (!haveOpenpyxl())
        GTEST_SKIP() << "python3-openpyxl is not installed (scripts/install-deps.sh): workbooks not checked";
    ScratchDir scratch;
    python(scratch, R"(
import datetime, openpyxl
wb = openpyxl.Workbook(); ws = wb.active; ws.title = '分年龄'
ws.append(['年龄', '人口', '比例', '地区', '日期', '城镇', '分组', None, '混合'])
ws.merge_cells('G1:H1')
for i in range(3):
    ws.append([i, 1000 + i, 0.25 * i, '北京' if i % 2 else 'a,"b"', datetime.date(2020, 1, i + 1), i % 2 == 0, 7, 'x' * i, [123456.75, 'ab', 1][i]])
ws['B4'] = None
ws.append([]); ws.append([None])
other = wb.create_sheet('Other'); other.append(['a']); other.append([1.5])
wb.save('in.xlsx')
)");
    const auto imported = runInProcess({"import", scratch / "in.xlsx", scratch / "t.db"});
    ASSERT_EQ(imported.status, kExitOk) << imported.err;
    EXPECT_EQ(runInProcess({"info", scratch / "t.db"}).out,
              "number,name,type,width\n1,年龄,Integer,\n2,人口,Integer,\n3,比例,Float,\n4,地区,Char,5\n"
              "5,日期,Date,\n6,城镇,Boolean,\n7,分组,Integer,\n8,分组_2,Char,2\n9,混合,Char,9\n");
    EXPECT_EQ(runInProcess({"dump", scratch / "t.db"}).out,
              "年龄,人口,比例,地区,日期,城镇,分组,分组_2,混合\n"
              "0,1000,0,\"a,\"\"b\"\"\",2020-01-01,True,7,,123456.75\n"
              "1,1001,0.25,北京,2020-01-02,False,7,x,ab\n"
              "2,,0.5,\"a,\"\"b\"\"\",2020-01-03,True,7,xx,1\n");
    const auto other = runInProcess({"import", scratch / "in.xlsx", scratch / "o.dbf", "--sheet", "Other"});
    ASSERT_EQ(other.status, kExitOk) << other.err;
    EXPECT_EQ(runInProcess({"dump", scratch / "o.dbf"}).out, "a\n1.5\n");

    // Our own workbook of it, read back by openpyxl: the same values, the header bold and frozen.
    ASSERT_EQ(runInProcess({"export", scratch / "t.db", scratch / "out.xlsx"}).status, kExitOk);
    EXPECT_EQ(compareSheet(scratch, "out.xlsx", runInProcess({"dump", scratch / "t.db"}).out), "t A2 True\nsame\n");
}

// Made by LibreOffice Calc from a CSV file: shared strings, a formula (=B2*3) with its value.
TEST(CliXlsx, ImportsWorkbookMadeByLibreOffice)
{
    ScratchDir scratch;
    const auto imported = runInProcess({"import", ZANDOR_SOURCE_DIR "/tests/data/libreoffice.xlsx", scratch / "t.dbf"});
    ASSERT_EQ(imported.status, kExitOk) << imported.err;
    EXPECT_EQ(runInProcess({"dump", scratch / "t.dbf"}).out,
              "名称,n,x,d,b\n甲,1,1.5,2020-01-02,True\n乙,,3,2021-12-31,False\n");
}

TEST(CliXlsx, BrokenWorkbooksAreRefusedAndNothingIsMade)
{
    if (!haveOpenpyxl())
        GTEST_SKIP() << "python3-openpyxl is not installed (scripts/install-deps.sh): workbooks not checked";
    ScratchDir scratch;
    python(scratch, R"(
import openpyxl, zipfile
wb = openpyxl.Workbook(); ws = wb.active; ws.title = 'S'
ws.append(['a', 'b', 'c'])
for i in range(20): ws.append([i, i, i])
ws['C17'] = '#DIV/0!'
wb.save('error.xlsx')
wide = openpyxl.Workbook(); wide.active.append(['f%d' % i for i in range(300)]); wide.save('wide.xlsx')
with zipfile.ZipFile('plain.xlsx', 'w') as z: z.writestr('hello.txt', 'hello')
data = open('error.xlsx', 'rb').read(); open('cut.xlsx', 'wb').write(data[:len(data) // 2])
open('text.xlsx', 'w').write('a,b\n1,2\n')
)");
    const std::pair<const char*, const char*> cases[] = {
        {"text.xlsx", "is no Excel workbook (.xlsx): it is not a zip archive, or it is cut short"},
        {"cut.xlsx", "is no Excel workbook (.xlsx): it is not a zip archive, or it is cut short"},
        {"plain.xlsx", "is a zip archive but no Excel workbook: it holds no xl/workbook.xml"},
        {"error.xlsx", "error.xlsx, sheet 'S', cell C17: the error value #DIV/0! fits no field type"},
        {"wide.xlsx", "wide.xlsx, sheet 'Sheet' has 300 columns; a Paradox table holds at most 255 fields"},
    };
    for (const auto& [file, message] : cases) {
        const auto run = runInProcess({"import", scratch / file, scratch / "t.db"});
        EXPECT_EQ(run.status, kExitRefused) << file;
        EXPECT_NE(run.err.find(message), std::string::npos) << file << ": " << run.err;
        EXPECT_FALSE(std::filesystem::exists(scratch / "t.db")) << file;
    }
    const auto missing = runInProcess({"import", scratch / "error.xlsx", scratch / "t.db", "--sheet", "人口"});
    EXPECT_EQ(missing.status, kExitRefused);
    EXPECT_NE(missing.err.find("has no sheet named '人口' (its sheets: 'S')"), std::string::npos) << missing.err;
    EXPECT_EQ(scratch.files(), (std::vector<std::string>{"cut.xlsx", "error.xlsx", "plain.xlsx", "script.py",
                                                         "text.xlsx", "wide.xlsx"}));
}

TEST(CliXlsx, ExportAndResultWorkbooksReadByOpenpyxlAndLibreOffice)
{
    if (!haveOpenpyxl())
        GTEST_SKIP() << "python3-openpyxl is not installed (scripts/install-deps.sh): workbooks not checked";
    ScratchDir scratch;
    const std::string table = scratch / "single_region.DB";
    std::filesystem::copy_file(ZANDOR_SOURCE_DIR "/samples/single_region.DB", table);
    const auto exported = runInProcess({"export", table, scratch / "out.xlsx"});
    ASSERT_EQ(exported.status, kExitOk) << exported.err;
    const std::string dump = runInProcess({"dump", table}).out;
    EXPECT_EQ(compareSheet(scratch, "out.xlsx", dump), "single_region A2 True\nsame\n");

    // --xlsx writes the rows the command prints as CSV.
    const std::vector<std::string> smooth = {"smooth", table, "--field", "男性人口", "--method", "arriaga"};
    const std::string csv = runInProcess(smooth).out;
    auto withXlsx = smooth;
    withXlsx.insert(withXlsx.end(), {"--xlsx", scratch / "smooth.xlsx"});
    const auto written = runInProcess(withXlsx);
    ASSERT_EQ(written.status, kExitOk) << written.err;
    EXPECT_EQ(written.out, "");
    EXPECT_EQ(compareSheet(scratch, "smooth.xlsx", csv), "smooth A2 True\nsame\n");

    if (std::system("command -v soffice >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "LibreOffice (libreoffice-calc-nogui) is not installed: workbooks not read by it";
    const std::string convert = "cd " + testing::shellQuoted(scratch.path().string()) +
                                " && HOME=" + testing::shellQuoted(scratch.path().string()) + " timeout 300 soffice --headless --convert-to "
                                "'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false' "
                                "out.xlsx >/dev/null 2>&1";
    ASSERT_EQ(std::system(convert.c_str()), 0);
    // LibreOffice writes the values as stored, not as shown (the "false" above).
    EXPECT_EQ(compareSheet(scratch, "out.csv", dump), "same\n");
}

}  // namespace
}  // namespace zandor::cli
