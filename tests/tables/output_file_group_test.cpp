// A group of output files: nothing replaces a target before the commit, and a group given up
// leaves the old files and no hidden files behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "tables/output_file.h"

namespace zandor::tables {
namespace {

namespace fs = std::filesystem;

std::string content(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

TEST(OutputFileGroup, TargetsChangeOnlyAtTheCommit)
{
    const fs::path dir = fs::temp_directory_path() / ("zandor-group-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "a.csv") << "old";
    {
        OutputFileGroup given_up;
        given_up.add((dir / "a.csv").string(), "new a");
        given_up.add((dir / "b.csv").string(), "new b");
        EXPECT_EQ(content(dir / "a.csv"), "old");
    }
    EXPECT_EQ(content(dir / "a.csv"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);  // no hidden files

    OutputFileGroup group;
    group.add((dir / "a.csv").string(), "new a");
    group.add((dir / "b.csv").string(), "new b");
    EXPECT_THROW(group.add(dir.string(), "a folder"), OutputFileError);
    group.commit();
    EXPECT_EQ(content(dir / "a.csv"), "new a");
    EXPECT_EQ(content(dir / "b.csv"), "new b");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace zandor::tables
