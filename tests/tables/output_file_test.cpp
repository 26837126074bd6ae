// The output writer: regular files replaced whole (links followed, permissions kept), anything
// else refused untouched, and a failure at any step leaving the old file and nothing beside it.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "../cli/cli_test_support.h"
#include "tables/output_file.h"

namespace zandor::tables {
namespace {

namespace fs = std::filesystem;
using cli::testing::readFile;
using cli::testing::ScratchDir;
using cli::testing::writeFile;

mode_t modeOf(const std::string& path)
{
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st.st_mode;
}

TEST(OutputFile, ReplacesARegularFileWholeThroughALinkKeepingItsPermissions)
{
    ScratchDir scratch;
    const std::string file = scratch / "report.txt";
    writeFile(file, "old report");
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    // Run as the administrator, another user's file stays theirs.
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(file.c_str(), 4321, 4322), 0);
    }
    fs::create_symlink("report.txt", scratch / "latest.txt");
    // The hidden file of a killed writer (process numbers stay below 4194304) is removed by
    // the next write of the name.
    writeFile(scratch / ".report.txt~out4194305-0", "half");

    writeOutputFile(scratch / "latest.txt", std::string("new report"));
    EXPECT_EQ(readFile(file), "new report");
    EXPECT_TRUE(S_ISLNK(modeOf(scratch / "latest.txt")));
    EXPECT_EQ(modeOf(file) & 07777, 0640u);
    if (root) {
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 4321u);
        EXPECT_EQ(st.st_gid, 4322u);
    }

    writeOutputFile(scratch / "fresh.txt", [](std::ostream& out) {
        for (int i = 0; i < 100000; ++i)
            out << i << '\n';
    });
    EXPECT_EQ(fs::file_size(scratch / "fresh.txt"), 588890u);
    EXPECT_EQ(scratch.files(), (std::vector<std::string>{"fresh.txt", "latest.txt", "report.txt"}));
}

TEST(OutputFile, RefusesEveryTargetThatIsNoRegularFileAndLeavesItAsItWas)
{
    ScratchDir scratch;
    ASSERT_EQ(::mkfifo((scratch / "pipe").c_str(), 0600), 0);
    fs::create_symlink("/dev/null", scratch / "null-link");
    fs::create_directory(scratch / "folder");
    // A socket's path is short: it is bound by its name inside the folder.
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::string("sock").copy(address.sun_path, 4);
    const fs::path home = fs::current_path();
    fs::current_path(scratch.path());
    const int bound = ::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address);
    fs::current_path(home);
    ASSERT_EQ(bound, 0);

    const struct {
        const char* name;
        const char* kind;
    } cases[] = {{"pipe", "a named pipe"}, {"null-link", "a device"}, {"folder", "a folder"}, {"sock", "a socket"}};
    for (const auto& c : cases) {
        const std::string path = scratch / c.name;
        const mode_t before = modeOf(path);
        try {
            writeOutputFile(path, std::string("x"));
            ADD_FAILURE() << c.name << " was written";
        } catch (const OutputFileError& e) {
            EXPECT_EQ(e.path(), path);
            EXPECT_NE(e.reason().find(c.kind), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
        EXPECT_THROW(requireWritableOutput(path), OutputFileError) << c.name;
        EXPECT_EQ(modeOf(path), before) << c.name;
    }
    ::close(sock);
    EXPECT_EQ(fs::read_symlink(scratch / "null-link"), "/dev/null");
    EXPECT_EQ(scratch.files(), (std::vector<std::string>{"folder", "null-link", "pipe", "sock"}));
}

TEST(OutputFile, AFailureAtAnyStepLeavesTheOldFileAndNothingBesideIt)
{
    ScratchDir scratch;
    const std::string file = scratch / "chart.pdf";
    writeFile(file, "old chart");
    const std::string content(200000, 'p');  // four blocks
    int failed = 0;
    for (int step = 1; step < 20; ++step) {
        ::setenv("ZANDOR_OUTPUT_FAIL_STEP", std::to_string(step).c_str(), 1);
        try {
            writeOutputFile(file, content);
            break;  // the steps are all passed
        } catch (const OutputFileError& e) {
            ++failed;
            EXPECT_NE(e.reason().find("No space left"), std::string::npos) << e.what();
            EXPECT_EQ(readFile(file), "old chart") << "step " << step;
            EXPECT_EQ(scratch.files(), std::vector<std::string>{"chart.pdf"}) << "step " << step;
        }
    }
    ::unsetenv("ZANDOR_OUTPUT_FAIL_STEP");
    // Make the file, four blocks, the flush to disk, the close, the rename.
    EXPECT_EQ(failed, 8);
    EXPECT_EQ(readFile(file), content);

    // A writer that throws passes its exception on; the old file stays.
    EXPECT_THROW(writeOutputFile(file, [](std::ostream& out) {
                     out << "partial";
                     throw std::runtime_error("no more");
                 }),
                 std::runtime_error);
    EXPECT_EQ(readFile(file), content);
    EXPECT_EQ(scratch.files(), std::vector<std::string>{"chart.pdf"});
}

}  // namespace
}  // namespace zandor::tables
