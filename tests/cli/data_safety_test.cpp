// Data safety of the table store, tried with faults as a careful user's environment produces
// them: two programs at once, a process killed during a write, damaged headers, files that
// are not regular files, years beyond reason, and odd input.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <vector>

#include "cli_test_support.h"
#include "tables/replace.h"
#include "tables/statements.h"
#include "tables/table_error.h"
#include "tables/table_file.h"
#include "tables/table_lock.h"

namespace zandor::cli {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::runInProcess;
using testing::runProgram;
using testing::shell;
using testing::ScratchDir;
using testing::shellQuoted;
using testing::writeFile;

const std::string kSample = std::string(ZANDOR_SOURCE_DIR) + "/samples/single_region.DB";
const std::string kOtherSample = std::string(ZANDOR_SOURCE_DIR) + "/samples/urban_rural.DB";
constexpr std::size_t kSampleRows = 101;

std::vector<std::string> fieldNames(const std::string& table)
{
    std::vector<std::string> names;
    const auto file = tables::openTableFile(table, true);
    for (const auto& f : file->fields())
        names.push_back(f.name);
    return names;
}

bool hasField(const std::string& table, const std::string& name)
{
    const auto names = fieldNames(table);
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Names in the folder that are work folders or lock files left behind.
std::vector<std::string> leftovers(const ScratchDir& scratch)
{
    std::vector<std::string> out;
    for (const std::string& name : scratch.files())
        if (name.find("~work") != std::string::npos || name.find("~tmp") != std::string::npos ||
            name.ends_with(".lock"))
            out.push_back(name);
    return out;
}

class DataSafety : public ::testing::TestWithParam<std::string> {};  // the table's extension

TEST_P(DataSafety, TwoConcurrentAltersKeepBothFieldsOrRefuseOneCleanly)
{
    ScratchDir scratch;
    const std::string table = scratch / ("t" + GetParam());
    for (int trial = 0; trial < 8; ++trial) {
        fs::remove(table);
        fs::remove(scratch / "t.cpg");
        ASSERT_EQ(runInProcess({"convert", kSample, table, "--to", GetParam() == ".DB" ? "paradox" : "dbase"}).status,
                  kExitOk);
        const std::string q = shellQuoted(table);
        shell("cd " + shellQuoted(scratch.path()) + " && { "
              "($CLI sql 'alter table \"'" + q + "'\" add A float' 2>e1; echo $? >s1) & "
              "($CLI sql 'alter table \"'" + q + "'\" add B float' 2>e2; echo $? >s2) & wait; }");
        const std::string s1 = readFile(scratch / "s1"), s2 = readFile(scratch / "s2");
        const bool a = hasField(table, "A"), b = hasField(table, "B");
        // Both added, or one refused with the busy message naming the table and the other added.
        if (s1 == "0\n" && s2 == "0\n") {
            EXPECT_TRUE(a && b) << "trial " << trial;
        } else {
            const bool firstRefused = s1 != "0\n";
            EXPECT_EQ(firstRefused ? s1 : s2, "1\n");
            const std::string err = readFile(scratch / (firstRefused ? "e1" : "e2"));
            EXPECT_NE(err.find("另一程序"), std::string::npos) << err;
            EXPECT_NE(err.find(table), std::string::npos) << err;
            EXPECT_EQ(firstRefused ? a : b, false);
            EXPECT_EQ(firstRefused ? b : a, true);
        }
        EXPECT_EQ(tables::openTableFile(table, true)->recordCount(), kSampleRows);
    }
    EXPECT_EQ(leftovers(scratch), std::vector<std::string>{});
}

TEST_P(DataSafety, AKillAtEveryStepOfAReplaceLeavesTheOldOrTheNewTableWhole)
{
    ScratchDir scratch;
    const std::string table = scratch / ("t" + GetParam());
    const bool dbase = GetParam() == ".dbf";
    ASSERT_EQ(runInProcess({"convert", kSample, table, "--to", dbase ? "dbase" : "paradox"}).status, kExitOk);
    const std::string oldBytes = readFile(table);
    std::vector<std::string> newFields = fieldNames(table);
    const std::vector<std::string> oldFields = newFields;
    newFields.push_back("新字段");
    const std::string alter = "alter table \"" + table + "\" add 新字段 float";
    int status = 70;
    int oldSeen = 0, newSeen = 0;
    for (int step = 1; status == 70 && step < 30; ++step) {
        writeFile(table, oldBytes);
        status = shell("ZANDOR_FAULT_STEP=" + std::to_string(step) + " $CLI sql " + shellQuoted(alter) +
                       " >/dev/null 2>&1");
        ASSERT_TRUE(status == 70 || status == 0) << "step " << step << ": " << status;
        // Before and after recovery the name holds a whole table, old or new.
        for (int pass = 0; pass < 2; ++pass) {
            EXPECT_EQ(tables::openTableFile(table, true)->recordCount(), kSampleRows) << "step " << step;
            const std::vector<std::string> names = fieldNames(table);
            EXPECT_TRUE(names == oldFields || names == newFields) << "step " << step;
            if (pass == 0)
                tables::recoverInterruptedWrites(table);
            else
                (names == oldFields ? oldSeen : newSeen) += 1;
        }
        if (dbase) {
            EXPECT_EQ(readFile(scratch / "t.cpg"), "936") << "step " << step;
        }
        EXPECT_EQ(leftovers(scratch), std::vector<std::string>{}) << "step " << step;
    }
    EXPECT_EQ(status, 0);
    EXPECT_GT(oldSeen, 0);
    EXPECT_GT(newSeen, 1);
}

INSTANTIATE_TEST_SUITE_P(Formats, DataSafety, ::testing::Values(".DB", ".dbf"),
                         [](const auto& info) { return info.param == ".DB" ? "Paradox" : "dBase"; });

TEST(DataSafetyAscii, AKilledConvertLeavesTheOldOrTheNewPairAfterRecovery)
{
    ScratchDir scratch;
    const std::string target = scratch / "pop.txt";
    ASSERT_EQ(runInProcess({"convert", kSample, target, "--to", "ascii"}).status, kExitOk);
    const std::string oldTxt = readFile(target), oldSch = readFile(scratch / "pop.sch");
    fs::create_directory(scratch / "ref");
    ASSERT_EQ(runInProcess({"convert", kOtherSample, scratch / "ref/pop.txt", "--to", "ascii"}).status, kExitOk);
    const std::string newTxt = readFile(scratch / "ref/pop.txt"), newSch = readFile(scratch / "ref/pop.sch");
    int status = 70;
    int oldSeen = 0, newSeen = 0;
    for (int step = 1; status == 70 && step < 30; ++step) {
        writeFile(target, oldTxt);
        writeFile(scratch / "pop.sch", oldSch);
        status = shell("ZANDOR_FAULT_STEP=" + std::to_string(step) + " $CLI convert " + shellQuoted(kOtherSample) +
                       " " + shellQuoted(target) + " --to ascii >/dev/null 2>&1");
        ASSERT_TRUE(status == 70 || status == 0) << "step " << step;
        tables::recoverInterruptedWrites(target);
        const std::string txt = readFile(target), sch = readFile(scratch / "pop.sch");
        const bool old = txt == oldTxt && sch == oldSch, fresh = txt == newTxt && sch == newSch;
        EXPECT_TRUE(old || fresh) << "step " << step;
        oldSeen += old;
        newSeen += fresh;
        EXPECT_EQ(leftovers(scratch), std::vector<std::string>{}) << "step " << step;
    }
    EXPECT_EQ(status, 0);
    EXPECT_GT(oldSeen, 0);
    EXPECT_GT(newSeen, 1);  // completed by recovery at least once, besides the whole run
}

TEST(DataSafetyCreate, AKilledPrepareLeavesNothingAndTheNameFree)
{
    ScratchDir scratch;
    const std::string table = scratch / "p.DB";
    EXPECT_EQ(shell("ZANDOR_FAULT_STEP=2 $CLI prepare single " + shellQuoted(table) + " >/dev/null 2>&1"), 70);
    EXPECT_FALSE(fs::exists(table));
    const auto again = runInProcess({"prepare", "single", table});
    EXPECT_EQ(again.status, kExitOk) << again.err;
    EXPECT_EQ(tables::openTableFile(table, true)->recordCount(), 81u);
    EXPECT_EQ(leftovers(scratch), std::vector<std::string>{});
}

TEST(DataSafetyCreate, ANewDbaseTableDoesNotOverwriteACodePageFileBesideIt)
{
    ScratchDir scratch;
    writeFile(scratch / "n.cpg", "UTF-8");
    const auto run = runInProcess({"sql", "Create table \"" + scratch / "n.dbf" + "\" (a float)"});
    EXPECT_EQ(run.status, kExitFailure);
    EXPECT_NE(run.err.find("n.cpg"), std::string::npos) << run.err;
    EXPECT_EQ(readFile(scratch / "n.cpg"), "UTF-8");
    EXPECT_FALSE(fs::exists(scratch / "n.dbf"));
}

TEST(DataSafetyLocks, ARewriteWaitsForTheHolderAndThenRefusesNamingTheTable)
{
    ScratchDir scratch;
    const std::string table = scratch / "t.DB";
    fs::copy_file(kSample, table);
    const std::string before = readFile(table);
    // Another program holds the table (a raw lock on its lock file, as another process would).
    const int fd = ::open(tables::lockFileOf(table).c_str(), O_RDWR | O_CREAT, 0666);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_SH), 0);
    ::setenv("ZANDOR_LOCK_WAIT_MS", "100", 1);
    try {
        tables::addField(table, tables::FieldDef{"x", tables::FieldKind::Float});
        ADD_FAILURE() << "the rewrite went ahead";
    } catch (const tables::TableError& e) {
        EXPECT_NE(std::string(e.what()).find(table), std::string::npos) << e.what();
    }
    ::unsetenv("ZANDOR_LOCK_WAIT_MS");
    EXPECT_EQ(readFile(table), before);
    ::close(fd);
}

TEST(DataSafetyLocks, AWindowsSharedLockLetsItsOwnRewriteThroughButNotAnotherProgram)
{
    ScratchDir scratch;
    const std::string table = scratch / "t.DB";
    fs::copy_file(kSample, table);
    const auto shown = tables::TableLock::acquire(table, tables::TableLock::Mode::Shared);
    ASSERT_TRUE(shown.held());
    ::setenv("ZANDOR_LOCK_WAIT_MS", "200", 1);
    const auto other = runProgram({"sql", "alter table \"" + table + "\" add y float"}, scratch);
    EXPECT_EQ(other.status, kExitFailure);
    EXPECT_NE(other.err.find(table), std::string::npos) << other.err;
    // The field calculator rewrites rows in place: it is kept out the same way.
    const std::string shownBytes = readFile(table);
    const auto computing = runProgram({"compute", table, "--target", "男性人口", "--copy", "女性人口"}, scratch);
    EXPECT_EQ(computing.status, kExitFailure) << computing.err;
    EXPECT_EQ(readFile(table), shownBytes);
    ::unsetenv("ZANDOR_LOCK_WAIT_MS");
    tables::addField(table, tables::FieldDef{"x", tables::FieldKind::Float});
    EXPECT_TRUE(hasField(table, "x"));
    EXPECT_FALSE(hasField(table, "y"));
    // Shared again after the window's own rewrite: others may read-lock, not write-lock.
    const int fd = ::open(tables::lockFileOf(table).c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::flock(fd, LOCK_EX | LOCK_NB), -1);
    EXPECT_EQ(::flock(fd, LOCK_SH | LOCK_NB), 0);
    ::close(fd);
}

TEST(DataSafetyLeftovers, StaleWorkFoldersGoWhenTheNameIsWrittenLiveOnesStay)
{
    ScratchDir scratch;
    const std::string table = scratch / "t.DB";
    fs::copy_file(kSample, table);
    for (const char* dir : {".t.DB~work999999999-0", "t~tmp999999999-3.DB", ".t.DB~work1-0"}) {
        fs::create_directory(scratch / dir);
        fs::copy_file(kSample, scratch / dir + "/t.DB");
    }
    // A work folder is never taken for a table.
    EXPECT_THROW(tables::openTableFile(scratch / "t~tmp999999999-3.DB", true), tables::TableError);
    ASSERT_EQ(runInProcess({"sql", "alter table \"" + table + "\" add z float"}).status, kExitOk);
    EXPECT_FALSE(fs::exists(scratch / ".t.DB~work999999999-0"));
    EXPECT_FALSE(fs::exists(scratch / "t~tmp999999999-3.DB"));
    EXPECT_TRUE(fs::exists(scratch / ".t.DB~work1-0"));  // process 1 is alive
}

TEST(DataSafetyHeaders, DamagedCountsAreRefusedAndNeverRewritten)
{
    ScratchDir scratch;
    struct Damage {
        std::string file;
        std::size_t at;
        std::string expected;
    };
    ASSERT_EQ(runInProcess({"convert", kSample, scratch / "d.dbf", "--to", "dbase"}).status, kExitOk);
    fs::copy_file(kSample, scratch / "p.DB");
    // Paradox: the first-block pointer 0 while the header counts 101 records; dBase: a count
    // of 0 while the file holds 101 records.
    for (const Damage& d : {Damage{"p.DB", 0x0E, "header counts 101"}, Damage{"d.dbf", 4, "header counts 0"}}) {
        const std::string path = scratch / d.file;
        std::string bytes = readFile(path);
        bytes[d.at] = 0;
        bytes[d.at + 1] = 0;
        writeFile(path, bytes);
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"dump", path}, {"sql", "alter table \"" + path + "\" add n float"}}) {
            const auto run = runInProcess(args);
            EXPECT_EQ(run.status, kExitFailure) << d.file;
            EXPECT_NE(run.err.find(path), std::string::npos) << run.err;
            EXPECT_NE(run.err.find(d.expected), std::string::npos) << run.err;
        }
        EXPECT_EQ(readFile(path), bytes);
    }
}

TEST(DataSafetyFiles, NamedPipesAreRefusedAtOnceAsTableOrTarget)
{
    ScratchDir scratch;
    const std::string pipe = scratch / "p.DB";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0666), 0);
    // Before, opening the pipe waited for a writer forever; `timeout` ends it with 124.
    EXPECT_EQ(shell("timeout 20 $CLI info " + shellQuoted(pipe) + " >/dev/null 2>&1"), kExitFailure);
    const auto convert = runInProcess({"convert", kSample, pipe, "--to", "paradox"});
    EXPECT_EQ(convert.status, kExitFailure);
    EXPECT_NE(convert.err.find("not a regular file"), std::string::npos) << convert.err;
    struct stat st {};
    ASSERT_EQ(::stat(pipe.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(DataSafetyYears, YearsBeyondTheRangeOrSpanAreRefusedNamingTheOption)
{
    struct Case {
        const char* base;
        const char* end;
        const char* named;
    };
    for (const Case& c : {Case{"2147483646", "2147483647", "--base-year"}, Case{"-2000000000", "2000000000", "--base-year"},
                          Case{"2020", "300000", "--end-year"}, Case{"2000", "3001", "--end-year"}}) {
        const auto run = runInProcess({"project", kSample, "--male-pop", "男性人口", "--female-pop", "女性人口",
                                       "--male-rates", "男性死亡率", "--female-rates", "女性死亡率", "--fertility",
                                       "年龄别生育率", "--base-year", c.base, "--end-year", c.end});
        EXPECT_EQ(run.status, kExitRefused) << c.base << " " << c.end << ": " << run.err;
        EXPECT_NE(run.err.find(c.named), std::string::npos) << run.err;
    }
}

TEST(DataSafetyImport, TheLowestIntegerMakesAParadoxColumnFloatAndBadUtf8IsShownEscaped)
{
    ScratchDir scratch;
    writeFile(scratch / "a.csv", "n\n-2147483648\n5\n");
    ASSERT_EQ(runInProcess({"import", scratch / "a.csv", scratch / "a.DB"}).status, kExitOk);
    EXPECT_EQ(runInProcess({"info", scratch / "a.DB"}).out, "number,name,type,width\n1,n,Float,\n");
    EXPECT_EQ(runInProcess({"dump", scratch / "a.DB"}).out, "n\n-2147483648\n5\n");

    writeFile(scratch / "b.csv", "a,b\nx,caf\xE9\n");
    const auto bad = runInProcess({"import", scratch / "b.csv", scratch / "b.DB"});
    EXPECT_EQ(bad.status, kExitFailure);
    EXPECT_NE(bad.err.find("line 2, column 2"), std::string::npos) << bad.err;
    EXPECT_NE(bad.err.find("caf\\xE9"), std::string::npos) << bad.err;
}

TEST(DataSafetyCharts, AnSvgThatCannotBeWrittenNamesTheCause)
{
    ScratchDir scratch;
    const std::string out = scratch / "c.svg";
    // A file size limit of 2 KB (the signal ignored, so the write fails with EFBIG).
    const int status = shell("trap '' XFSZ; ulimit -f 2; $CLI chart " + shellQuoted(kSample) +
                             " --kind line --fields 男性人口 --out " + shellQuoted(out) + " 2>" +
                             shellQuoted(scratch / "err"));
    EXPECT_EQ(status, kExitFailure);
    const std::string err = readFile(scratch / "err");
    EXPECT_EQ(err.find("Unknown error"), std::string::npos) << err;
    EXPECT_NE(err.find("too large"), std::string::npos) << err;
}

}  // namespace
}  // namespace zandor::cli
