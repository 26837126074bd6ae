// zandor-cli chart: files of every kind and format that image readers open, the pyramid's
// sides, and the exit statuses of bad options, fields and file names (nothing written then).
#include <gtest/gtest.h>

#include <QImage>
#include <QImageReader>

#include <sys/stat.h>

#include <filesystem>

#include "cli_test_support.h"
#include "tables/table_file.h"

namespace zandor::cli {
namespace {

using namespace zandor::cli::testing;
using tables::FieldDef;
using tables::FieldKind;

class CliChart : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = scratch_ / "pop.db";
        auto created = tables::createTableFile(path_, tables::TableFormat::Paradox,
                                               {FieldDef{"年龄", FieldKind::Integer}, FieldDef{"男性人口", FieldKind::Float},
                                                FieldDef{"女性人口", FieldKind::Float}, FieldDef{"地区", FieldKind::Char, 8}});
        for (int age = 0; age <= 80; ++age)
            created.table->append({std::int64_t{age}, 20000.0 - 150 * age, 19500.0 - 120 * age, std::string("甲")});
        created.table->flush();
    }
    CliRun chart(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"chart", path_});
        return runProgram(args, scratch_);
    }
    ScratchDir scratch_;
    std::string path_;
};

struct KindCase {
    const char* kind;
    const char* fields;
    const char* file;
    bool threeD;
};

void PrintTo(const KindCase& c, std::ostream* os) { *os << c.kind << " " << c.fields << " -> " << c.file; }

class CliChartKinds : public CliChart, public ::testing::WithParamInterface<KindCase> {};

TEST_P(CliChartKinds, WritesAChartImageTheReaderOpens)
{
    const KindCase& c = GetParam();
    const std::string out = scratch_ / c.file;
    std::vector<std::string> args = {"--kind", c.kind, "--fields", c.fields, "--out", out, "--title", "人口"};
    if (c.threeD)
        args.push_back("--3d");
    const CliRun run = chart(args);
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out, "");
    const QImage image = QImageReader(QString::fromStdString(out)).read();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(800, 600));
    // The first series is drawn in the first palette colour (a strong blue).
    int coloured = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            if (image.pixelColor(x, y) == QColor(0x1f, 0x77, 0xb4))
                ++coloured;
    EXPECT_GT(coloured, 20);
}

INSTANTIATE_TEST_SUITE_P(Kinds, CliChartKinds,
                         ::testing::Values(KindCase{"line", "男性人口,女性人口", "line.png", false},
                                           KindCase{"bar", "男性人口", "bar.bmp", true},
                                           KindCase{"hbar", "男性人口,女性人口", "hbar.png", true},
                                           KindCase{"point", "男性人口", "point.PNG", false},
                                           KindCase{"area", "男性人口,女性人口", "area.bmp", true},
                                           KindCase{"scatter", "男性人口,年龄,地区", "scatter.png", false}),
                         [](const auto& info) { return std::string(info.param.kind); });

TEST_F(CliChart, ThePyramidPutsMalesLeftOfFemales)
{
    const std::string out = scratch_ / "pyramid.png";
    const CliRun run = chart({"--kind", "pyramid", "--fields", "男性人口,女性人口", "--out", out, "--size", "600x700"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    const QImage image(QString::fromStdString(out));
    ASSERT_EQ(image.size(), QSize(600, 700));
    int blueRight = -1, redLeft = image.width();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width() * 3 / 4; ++x) {  // the legend sits at the right
            const QColor c = image.pixelColor(x, y);
            if (c == QColor(Qt::blue))
                blueRight = std::max(blueRight, x);
            if (c == QColor(Qt::red))
                redLeft = std::min(redLeft, x);
        }
    ASSERT_GE(blueRight, 0);
    EXPECT_LE(blueRight, redLeft + 1);
}

TEST_F(CliChart, SvgAndPdfAreWrittenAsDocuments)
{
    for (const char* name : {"c.svg", "c.pdf"}) {
        const std::string out = scratch_ / name;
        const CliRun run = chart({"--kind", "bar", "--fields", "女性人口", "--out", out, "--size", "400x300"});
        ASSERT_EQ(run.status, kExitOk) << run.err;
        const std::string content = readFile(out);
        if (std::string(name).ends_with("svg")) {
            EXPECT_NE(content.find("<svg"), std::string::npos);
            EXPECT_NE(content.find("</svg>"), std::string::npos);
        } else {
            EXPECT_TRUE(content.starts_with("%PDF-"));
            EXPECT_NE(content.find("%%EOF"), std::string::npos);
        }
    }
}

struct RefusalCase {
    std::vector<std::string> args;
    int status;
    const char* message;  // part of the error text
};

void PrintTo(const RefusalCase& c, std::ostream* os)
{
    for (const std::string& a : c.args)
        *os << a << " ";
    *os << "-> " << c.status;
}

class CliChartRefusals : public CliChart, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(CliChartRefusals, BadRequestsWriteNothing)
{
    const RefusalCase& c = GetParam();
    const std::string out = scratch_ / "kept.png";
    writeFile(out, "old");
    std::vector<std::string> args = c.args;
    if (std::find(args.begin(), args.end(), "--out") == args.end()) {
        args.push_back("--out");
        args.push_back(out);
    }
    const CliRun run = chart(args);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(readFile(out), "old");
    EXPECT_EQ(scratch_.files(), (std::vector<std::string>{"kept.png", "pop.db"}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliChartRefusals,
    ::testing::Values(RefusalCase{{"--kind", "pie", "--fields", "男性人口"}, kExitUsage, "pie"},
                      RefusalCase{{"--fields", "男性人口"}, kExitUsage, "--kind"},
                      RefusalCase{{"--kind", "pyramid", "--fields", "男性人口"}, kExitUsage, "exactly two"},
                      RefusalCase{{"--kind", "pyramid", "--fields", "年龄,男性人口,女性人口"}, kExitUsage, "exactly two"},
                      RefusalCase{{"--kind", "bar", "--fields", "男性人口,"}, kExitUsage, "empty field"},
                      RefusalCase{{"--kind", "bar", "--fields", "男性人口", "--size", "800"}, kExitUsage, "800x600"},
                      RefusalCase{{"--kind", "bar", "--fields", "男性人口", "--size", "0x600"}, kExitUsage, "1 to"},
                      RefusalCase{{"--kind", "bar", "--fields", "男性人口", "--size", "99999x600"}, kExitUsage, "1 to"},
                      RefusalCase{{"--kind", "bar", "--fields", "男性人口", "--out", "x.jpg"}, kExitUsage, ".bmp"},
                      RefusalCase{{"--kind", "bar", "--fields", "总人口"}, kExitFailure, "总人口"},
                      RefusalCase{{"--kind", "line", "--fields", "男性人口,地区"}, kExitFailure, "地区"},
                      RefusalCase{{"--kind", "scatter", "--fields", "男性人口"}, kExitUsage, "two or three"},
                      RefusalCase{{"--kind", "scatter", "--fields", "男性人口,年龄,标签"}, kExitFailure, "标签"},
                      RefusalCase{{"--kind", "point", "--fields", "男性人口", "--point-size", "41"}, kExitUsage, "1 to 40"},
                      RefusalCase{{"--kind", "point", "--fields", "男性人口", "--point-style", "9"}, kExitUsage, "0 to 8"},
                      RefusalCase{{"--kind", "bar", "--fields", "男性人口", "--stacking", "up"}, kExitUsage, "up"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(CliChart, AMissingTableOrFolderFailsNamingIt)
{
    const CliRun missing = runProgram({"chart", scratch_ / "none.db", "--kind", "bar", "--fields", "a", "--out",
                                       scratch_ / "c.png"},
                                      scratch_);
    EXPECT_EQ(missing.status, kExitFailure);
    EXPECT_NE(missing.err.find("none.db"), std::string::npos) << missing.err;
    const CliRun folder = chart({"--kind", "bar", "--fields", "男性人口", "--out", scratch_ / "no/such/c.png"});
    EXPECT_EQ(folder.status, kExitFailure);
    EXPECT_NE(folder.err.find("c.png"), std::string::npos) << folder.err;
    EXPECT_EQ(scratch_.files(), (std::vector<std::string>{"pop.db"}));
}

TEST_F(CliChart, AnExistingFileIsReplacedByTheNewChart)
{
    const std::string out = scratch_ / "c.bmp";
    writeFile(out, "old");
    ASSERT_EQ(chart({"--kind", "area", "--fields", "男性人口", "--out", out, "--size", "200x100"}).status, kExitOk);
    EXPECT_EQ(QImage(QString::fromStdString(out)).size(), QSize(200, 100));
}

TEST_F(CliChart, TheOutputIsARegularFileWrittenWholeOrNotAtAll)
{
    namespace fs = std::filesystem;
    const std::vector<std::string> bars = {"--kind", "bar", "--fields", "男性人口", "--size", "120x90", "--out"};
    const auto to = [&](const std::string& out) {
        auto args = bars;
        args.push_back(out);
        return chart(args);
    };
    // A named pipe and a link to a device are refused, naming them, and left as they were.
    ASSERT_EQ(::mkfifo((scratch_ / "pipe.png").c_str(), 0600), 0);
    fs::create_symlink("/dev/null", scratch_ / "null.pdf");
    for (const std::string name : {"pipe.png", "null.pdf"}) {
        const CliRun refused = to(scratch_ / name);
        EXPECT_EQ(refused.status, kExitFailure) << name;
        EXPECT_NE(refused.err.find(name + ": it "), std::string::npos) << refused.err;
        EXPECT_NE(refused.err.find("not a regular file"), std::string::npos) << refused.err;
    }
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(scratch_ / "pipe.png")));
    EXPECT_EQ(fs::read_symlink(scratch_ / "null.pdf"), "/dev/null");
    // A link to a regular file: the file it names is replaced, the link stays.
    writeFile(scratch_ / "real.svg", "old");
    fs::create_symlink("real.svg", scratch_ / "link.svg");
    ASSERT_EQ(to(scratch_ / "link.svg").status, kExitOk);
    EXPECT_TRUE(fs::is_symlink(scratch_ / "link.svg"));
    EXPECT_NE(readFile(scratch_ / "real.svg").find("<svg"), std::string::npos);

    // A full disk at each step of writing a PDF: exit 1, the old PDF whole, nothing beside it.
    const std::string pdf = scratch_ / "c.pdf";
    writeFile(pdf, "old pdf");
    const std::vector<std::string> before = scratch_.files();
    int failed = 0;
    for (int step = 1; step < 40; ++step) {
        ::setenv("ZANDOR_OUTPUT_FAIL_STEP", std::to_string(step).c_str(), 1);
        const CliRun run = to(pdf);
        if (run.status == kExitOk)
            break;
        ++failed;
        EXPECT_EQ(run.status, kExitFailure) << "step " << step;
        EXPECT_NE(run.err.find("No space left on device"), std::string::npos) << run.err;
        EXPECT_EQ(readFile(pdf), "old pdf") << "step " << step;
        EXPECT_EQ(scratch_.files(), before) << "step " << step;
    }
    ::unsetenv("ZANDOR_OUTPUT_FAIL_STEP");
    EXPECT_GE(failed, 4);  // make, write, flush to disk, close, rename
    // Killed at each step: the old PDF or the new one; the next run clears what was left.
    for (int step = 1; step < 40; ++step) {
        writeFile(pdf, "old pdf");
        ::setenv("ZANDOR_FAULT_STEP", std::to_string(step).c_str(), 1);
        const CliRun run = to(pdf);
        ::unsetenv("ZANDOR_FAULT_STEP");
        const std::string content = readFile(pdf);
        EXPECT_TRUE(content == "old pdf" || content.starts_with("%PDF")) << "step " << step;
        if (run.status == kExitOk)
            break;
        EXPECT_EQ(run.status, 70) << "step " << step;
    }
    ASSERT_EQ(to(pdf).status, kExitOk);
    EXPECT_EQ(scratch_.files(), before);
}

TEST(CliChartHelp, TheCommandIsListedAndDescribed)
{
    const CliRun general = runInProcess({"--help"});
    EXPECT_NE(general.out.find("  chart"), std::string::npos);
    const CliRun help = runInProcess({"chart", "--help"});
    EXPECT_EQ(help.status, kExitOk);
    EXPECT_NE(help.out.find("--kind line|bar|hbar|point|area|scatter|pyramid"), std::string::npos);
}

}  // namespace
}  // namespace zandor::cli
