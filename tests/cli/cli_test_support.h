// Helpers of the zandor-cli tests: running the command in-process or as the built program
// with both streams captured, and a scratch folder per test.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace zandor::cli::testing {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the command in this process, both streams captured in memory.
inline CliRun runInProcess(const std::vector<std::string>& args)
{
    char* outData = nullptr;
    char* errData = nullptr;
    std::size_t outSize = 0;
    std::size_t errSize = 0;
    std::FILE* out = open_memstream(&outData, &outSize);
    std::FILE* err = open_memstream(&errData, &errSize);
    CliRun run;
    run.status = runCli(args, Streams{out, err});
    std::fclose(out);
    std::fclose(err);
    run.out.assign(outData, outSize);
    run.err.assign(errData, errSize);
    std::free(outData);
    std::free(errData);
    return run;
}

inline std::string shellQuoted(const std::string& word)
{
    std::string quoted = "'";
    for (char c : word) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

inline std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

inline void writeFile(const std::filesystem::path& path, const std::string& content)
{
    std::ofstream out(path, std::ios::binary);
    out << content;
}

// A folder under ZANDOR_TEST_TMP (or the system's temporary folder) for one test; removed
// with everything in it when the test ends.
class ScratchDir {
public:
    ScratchDir()
    {
        const char* root = std::getenv("ZANDOR_TEST_TMP");
        std::filesystem::path base = root && *root ? std::filesystem::path(root)
                                                   : std::filesystem::temp_directory_path();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("cli-") + (info ? info->test_suite_name() : "x") + "-"
                           + (info ? info->name() : "x") + "-" + std::to_string(::getpid());
        for (char& c : name)
            if (c == '/')
                c = '_';
        path_ = base / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }
    // The names of the files in the folder, sorted.
    std::vector<std::string> files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path path_;
};

// Runs a shell command line with the built zandor-cli as $CLI; returns its exit status.
inline int shell(const std::string& line)
{
    const std::string command = "CLI=" + shellQuoted(ZANDOR_CLI_PATH) + "; " + line;
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

// Runs the built zandor-cli program, both streams captured through files in `scratch`.
inline CliRun runProgram(const std::vector<std::string>& args, const ScratchDir& scratch)
{
    const std::string outPath = scratch / "program.stdout";
    const std::string errPath = scratch / "program.stderr";
    std::string command = shellQuoted(ZANDOR_CLI_PATH);
    for (const std::string& arg : args)
        command.append(" ").append(shellQuoted(arg));
    command.append(" >").append(shellQuoted(outPath)).append(" 2>").append(shellQuoted(errPath)).append(" </dev/null");
    const int raw = std::system(command.c_str());
    CliRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = readFile(outPath);
    run.err = readFile(errPath);
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return run;
}

}  // namespace zandor::cli::testing
