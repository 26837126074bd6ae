// Data safety of the table store against other programs at the same name and processes
// stopped part way: creators that meet at one new name, the field calculator stopped or read
// during its write, a text table's pair stopped between its two files, lock files left by a
// stopped program, the owner and rights of rewritten files, and odd bytes in imported text.
// Another program's action is injected at a chosen step of the write (the fault hook), a
// stop by ZANDOR_FAULT_STEP: nothing here depends on timing.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "analysis/life_table_save.h"
#include "cli_test_support.h"
#include "tables/replace.h"
#include "tables/table_lock.h"
#include "text/refusal.h"
#include "text/text_grid.h"

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

// Work folders and lock files left in the folder.
std::vector<std::string> leftovers(const ScratchDir& scratch)
{
    std::vector<std::string> out;
    for (const std::string& name : scratch.files())
        if (name.find("~work") != std::string::npos || name.ends_with(".lock"))
            out.push_back(name);
    return out;
}

// Runs `action` once, at the `step`-th step of the next table write in this process.
class AtStep {
public:
    AtStep(int step, std::function<void()> action)
    {
        tables::setFaultHook([this, step, action = std::move(action)] {
            if (++count_ == step)
                action();
        });
    }
    ~AtStep() { tables::setFaultHook({}); }
    int count() const { return count_; }

private:
    int count_ = 0;
};

TEST(StoreSafetyCreators, ANameTakenWhileATableIsCreatedIsKeptAndTheCreatorRefused)
{
    ScratchDir scratch;
    writeFile(scratch / "a.csv", "n\n1\n");
    const std::string theirs = "another program's file";
    struct Creator {
        std::string target;
        std::vector<std::string> args;
        std::string message;
        int status = kExitRefused;  // the command's own refusal; a table store error otherwise
        int step = 1;               // the write's first step: the table written, nothing moved yet
    };
    const std::vector<Creator> creators = {
        {"i.DB", {"import", scratch / "a.csv", scratch / "i.DB"}, "exists already: import only creates new tables"},
        {"p.dbf", {"prepare", "single", scratch / "p.dbf"}, " 文件已存在，请输入新文件名."},
        {"s.DB", {"sql", "Create table \"" + scratch / "s.DB" + "\" (a float)"}, "exists", kExitFailure},
        {"c.DB", {"convert", kSample, scratch / "c.DB", "--to", "paradox"}, "the file exists", kExitFailure},
        // The .sch appearing after the .txt is in place: the .txt goes back.
        {"pop.sch", {"convert", kSample, scratch / "pop.txt", "--to", "ascii"}, "pop.sch: the file exists", kExitFailure,
         5},
    };
    for (const Creator& c : creators) {
        const std::string target = scratch / c.target;
        AtStep other(c.step, [&] { writeFile(target, theirs); });
        const auto run = runInProcess(c.args);
        EXPECT_EQ(run.status, c.status) << c.target << ": " << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(readFile(target), theirs) << c.target;
    }
    EXPECT_FALSE(fs::exists(scratch / "pop.txt"));
    EXPECT_FALSE(fs::exists(scratch / "p.cpg"));

    // The life table's "save as a table" from the window's result grid.
    const std::string saved = scratch / "l.db";
    AtStep other(1, [&] { writeFile(saved, theirs); });
    EXPECT_THROW(analysis::saveLifeTableGrid(text::TextGrid(2, 2), saved), Refusal);
    EXPECT_EQ(readFile(saved), theirs);
    EXPECT_EQ(leftovers(scratch), std::vector<std::string>{});
}

TEST(StoreSafetyCompute, AStopAtEveryStepLeavesTheOldOrTheNewColumnAndReadersWait)
{
    ScratchDir scratch;
    const std::string table = scratch / "t.DB";
    const std::vector<std::string> compute = {"compute", table, "--target", "男性人口", "--mul", "男性人口", "男性死亡率"};
    fs::copy_file(kSample, table);
    const std::string oldDump = runInProcess({"dump", table}).out;
    ASSERT_EQ(runInProcess(compute).status, kExitOk);
    const std::string newDump = runInProcess({"dump", table}).out;
    ASSERT_NE(oldDump, newDump);

    std::string words;
    for (const std::string& word : compute)
        words += " " + shellQuoted(word);
    int status = 70, oldSeen = 0, newSeen = 0;
    for (int step = 1; status == 70 && step < 20; ++step) {
        fs::remove(table);
        fs::copy_file(kSample, table);
        status = shell("ZANDOR_FAULT_STEP=" + std::to_string(step) + " $CLI" + words + " >/dev/null 2>&1");
        ASSERT_TRUE(status == 70 || status == 0) << "step " << step << ": " << status;
        const std::string dump = runInProcess({"dump", table}).out;
        EXPECT_TRUE(dump == oldDump || dump == newDump) << "step " << step;
        (dump == oldDump ? oldSeen : newSeen) += 1;
        EXPECT_EQ(leftovers(scratch), std::vector<std::string>{}) << "step " << step;
    }
    EXPECT_EQ(status, 0);
    EXPECT_GT(oldSeen, 1);
    EXPECT_GT(newSeen, 1);  // a stop after the table was moved in

    // A dump while the calculator writes waits for it and then gives up, naming the table;
    // it never reads part of the column new.
    fs::remove(table);
    fs::copy_file(kSample, table);
    ::setenv("ZANDOR_LOCK_WAIT_MS", "100", 1);
    testing::CliRun during;
    {
        AtStep reader(2, [&] { during = runProgram({"dump", table}, scratch); });
        EXPECT_EQ(runInProcess(compute).status, kExitOk);
        EXPECT_GE(reader.count(), 2);
    }
    ::unsetenv("ZANDOR_LOCK_WAIT_MS");
    EXPECT_EQ(during.status, kExitFailure) << during.out;
    EXPECT_EQ(during.out, "");
    EXPECT_NE(during.err.find(table), std::string::npos) << during.err;
    EXPECT_EQ(runInProcess({"dump", table}).out, newDump);
}

TEST(StoreSafetyRecovery, APairStoppedBetweenItsFilesIsCompletedByTheNextCommandThatNamesIt)
{
    ScratchDir scratch;
    const std::string target = scratch / "pop.txt";
    ASSERT_EQ(runInProcess({"convert", kSample, target, "--to", "ascii"}).status, kExitOk);
    fs::create_directory(scratch / "ref");
    ASSERT_EQ(runInProcess({"convert", kOtherSample, scratch / "ref/pop.txt", "--to", "ascii"}).status, kExitOk);
    const std::string oldSch = readFile(scratch / "pop.sch");
    // Step 5: the new .txt is in place, the new .sch still in the work folder.
    ASSERT_EQ(shell("ZANDOR_FAULT_STEP=5 $CLI convert " + shellQuoted(kOtherSample) + " " + shellQuoted(target) +
                    " --to ascii >/dev/null 2>&1"),
              70);
    ASSERT_EQ(readFile(target), readFile(scratch / "ref/pop.txt"));
    ASSERT_EQ(readFile(scratch / "pop.sch"), oldSch);

    // Any command naming the pair completes it first and says so, whatever it then does
    // (a text table is not one zandor-cli reads).
    const auto named = runProgram({"info", target}, scratch);
    EXPECT_NE(named.err.find("has been completed"), std::string::npos) << named.err;
    EXPECT_NE(named.err.find("pop.sch"), std::string::npos) << named.err;
    EXPECT_EQ(readFile(scratch / "pop.sch"), readFile(scratch / "ref/pop.sch"));
    EXPECT_EQ(leftovers(scratch), std::vector<std::string>{});
}

TEST(StoreSafetyLocks, ALockFileLeftByAStoppedCreatorGoesWithTheNextCommandAndNeverBlocks)
{
    ScratchDir scratch;
    const std::string table = scratch / "p.DB";
    // A prepare stopped before its work folder was made leaves only its lock file.
    writeFile(tables::lockFileOf(table), "");
    EXPECT_EQ(runInProcess({"info", table}).status, kExitFailure);  // no such table yet
    EXPECT_EQ(leftovers(scratch), std::vector<std::string>{});
    EXPECT_EQ(runInProcess({"prepare", "single", table}).status, kExitOk);
    EXPECT_EQ(leftovers(scratch), std::vector<std::string>{});
}

TEST(StoreSafetyLocks, ALockTakenOnAFileRemovedMeanwhileIsTakenAgainOnTheOneAtTheName)
{
    ScratchDir scratch;
    const std::string table = scratch / "t.DB";
    const std::string lockFile = tables::lockFileOf(table);
    // Between opening the lock file and locking it, its last holder removes it and another
    // creator makes a new one and locks it (a raw lock, as another process holds it); that
    // creator is done by the next attempt.
    int other = -1, attempts = 0;
    tables::setLockProbe([&](const std::string& file) {
        EXPECT_EQ(file, lockFile);
        if (++attempts == 1) {
            ::unlink(file.c_str());
            other = ::open(file.c_str(), O_RDWR | O_CREAT, 0666);
            ASSERT_EQ(::flock(other, LOCK_EX), 0);
        } else if (other >= 0) {
            ::close(other);
            other = -1;
        }
    });
    auto lock = tables::TableLock::acquire(table, tables::TableLock::Mode::Exclusive);
    tables::setLockProbe({});
    EXPECT_EQ(attempts, 2);
    ASSERT_TRUE(lock.held());
    // Held on the file at the name: a third program cannot lock it.
    const int third = ::open(lockFile.c_str(), O_RDWR);
    ASSERT_GE(third, 0);
    EXPECT_EQ(::flock(third, LOCK_EX | LOCK_NB), -1);
    ::close(third);
    lock.release();
    EXPECT_FALSE(fs::exists(lockFile));
}

TEST(StoreSafetyOwners, ARewriteKeepsTheOwnerGroupAndRightsOfTheTableAndItsCodePageFile)
{
    ScratchDir scratch;
    const std::string table = scratch / "t.dbf";
    ASSERT_EQ(runInProcess({"convert", kSample, table, "--to", "dbase"}).status, kExitOk);
    const bool root = ::geteuid() == 0;
    for (const std::string& file : {table, scratch / "t.cpg"}) {
        ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
        if (root) {
            ASSERT_EQ(::chown(file.c_str(), 4321, 4322), 0);
        }
    }
    ASSERT_EQ(runInProcess({"sql", "alter table \"" + table + "\" add x float"}).status, kExitOk);
    ASSERT_EQ(runInProcess({"compute", table, "--target", "x", "--copy", "男性人口"}).status, kExitOk);
    for (const std::string& file : {table, scratch / "t.cpg"}) {
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u) << file;
        if (root) {
            EXPECT_EQ(st.st_uid, 4321u) << file;
            EXPECT_EQ(st.st_gid, 4322u) << file;
        }
    }
    if (!root)
        GTEST_SKIP() << "the owner is kept only where the administrator rewrites (the rights were checked)";
}

TEST(StoreSafetyImport, AHeaderNotInUtf8AndNulBytesAreRefusedNamingLineAndColumn)
{
    ScratchDir scratch;
    writeFile(scratch / "gbk.csv", "id,\xC4\xEA\xC1\xE4\n1,2\n");  // 年龄 in GBK
    const auto gbk = runInProcess({"import", scratch / "gbk.csv", scratch / "g.DB"});
    EXPECT_EQ(gbk.status, kExitFailure);
    EXPECT_NE(gbk.err.find("line 1, column 2"), std::string::npos) << gbk.err;
    EXPECT_NE(gbk.err.find("no UTF-8"), std::string::npos) << gbk.err;

    writeFile(scratch / "nul.csv", std::string("a,b\n1,x\0y\n", 10));
    for (const char* target : {"n.DB", "n.dbf"}) {
        const auto nul = runInProcess({"import", scratch / "nul.csv", scratch / target});
        EXPECT_EQ(nul.status, kExitFailure) << target;
        EXPECT_NE(nul.err.find("line 2, column 2"), std::string::npos) << nul.err;
        EXPECT_NE(nul.err.find("x\\x00y' holds a NUL byte"), std::string::npos) << nul.err;
        EXPECT_FALSE(fs::exists(scratch / target));
    }
}

}  // namespace
}  // namespace zandor::cli
