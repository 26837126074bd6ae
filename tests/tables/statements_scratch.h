// A scratch folder for one test of the table statements, batch move and prepared tables,
// under ZANDOR_TEST_TMP, removed with everything in it when the test ends.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace zandor::tables::testing {

class ScratchFolder {
public:
    ScratchFolder()
    {
        const char* base = std::getenv("ZANDOR_TEST_TMP");
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "." + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        folder_ = std::filesystem::path(base && *base ? base : "/tmp") / (name + "-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }

    std::string path(const std::string& file) const { return (folder_ / file).string(); }

    // Names of the files in the folder, sorted.
    std::vector<std::string> files() const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path folder_;
};

inline std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace zandor::tables::testing

#include <cmath>
#include <variant>

#include "tables/field.h"
#include "tables/table_file.h"

namespace zandor::tables::testing {

// Two cell values are the same: same kind and content; numbers within the last digits a
// text-stored dBase number keeps.
inline ::testing::AssertionResult sameValue(const Value& expected, const Value& actual)
{
    if (const auto* e = std::get_if<double>(&expected); e && std::holds_alternative<double>(actual)) {
        const double a = std::get<double>(actual);
        if (std::fabs(*e - a) <= 1e-9 * std::max(1.0, std::fabs(*e)))
            return ::testing::AssertionSuccess();
    } else if (expected == actual) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "expected " << (isNull(expected) ? "null" : toText(expected)) << " (type "
                                         << expected.index() << "), got " << (isNull(actual) ? "null" : toText(actual))
                                         << " (type " << actual.index() << ")";
}

// Every record of a table, read through a fresh open.
inline std::vector<Record> allRecords(const std::string& path)
{
    auto file = openTableFile(path, true);
    std::vector<Record> records(file->recordCount());
    for (std::size_t i = 0; i < records.size(); ++i)
        file->read(i, records[i]);
    return records;
}

inline std::vector<std::string> fieldNames(const std::string& path)
{
    std::vector<std::string> names;
    const auto file = openTableFile(path, true);
    for (const FieldInfo& f : file->fields())
        names.push_back(f.name);
    return names;
}

}  // namespace zandor::tables::testing
