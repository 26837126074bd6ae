// The files of the projection wizard's "读取" and "保存" (the steps themselves are walked by
// the wizard's window test).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <unistd.h>

#include "projection/wizard_data.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::projection::wizard {
namespace {

using text::TextGrid;

std::string refusalOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Refusal& refusal) {
        return refusal.what();
    }
    return "(no refusal)";
}

class WizardFiles : public ::testing::Test {
protected:
    void SetUp() override {
        const char* root = std::getenv("ZANDOR_TEST_TMP");
        dir_ = std::filesystem::path(root && *root ? root : std::filesystem::temp_directory_path().string()) /
               ("wizard-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string file(const std::string& name, const std::string& content) const {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    std::filesystem::path dir_;
};

std::vector<std::string> column(const TextGrid& grid, int c) {
    std::vector<std::string> cells;
    for (int r = 1; r < grid.rowCount(); ++r) cells.push_back(grid.cell(r, c));
    return cells;
}

TEST_F(WizardFiles, PlainTextFillsRowsInOrder) {
    TextGrid grid = dataGrid({"年龄", "男性", "女性"}, 0, 5);
    // Blank lines are passed over, the rest of a line skipped; numbers in the general form.
    readValues(grid, 0, file("pop.txt", "5200 4800 ignored\n\n  1.50e3\t0.1000000000000000055\n7 8\r\n"));
    EXPECT_EQ(column(grid, 1), (std::vector<std::string>{"5200", "1500", "7", "0.0"}));
    EXPECT_EQ(column(grid, 2), (std::vector<std::string>{"4800", "0.1", "8", "0.0"}));
}

TEST_F(WizardFiles, CsvPlacesValuesByAge) {
    // As zandor-cli dump writes a table: ages 0..80 of which the fertility grid holds 15..50.
    std::string csv = "\xEF\xBB\xBF年龄,\"生育率,‰\",其他\n";
    for (int age = 0; age <= 80; ++age)
        csv += std::to_string(age) + "," + (age == 16 ? "" : text::formatRoundTrip(0.001 * age + 1e-17)) + ",9\n";
    TextGrid grid = dataGrid({"年龄", "女性"}, kFertilityFirstAge, kFertilityStoredRows);
    readValues(grid, kFertilityFirstAge, file("asfr.csv", csv));
    EXPECT_EQ(grid.cell(1, 1), text::formatRoundTrip(0.015 + 1e-17));
    EXPECT_EQ(grid.cell(2, 1), "0");  // an empty value
    EXPECT_EQ(*text::parseNumber(grid.cell(36, 1)), 0.05 + 1e-17);
}

TEST_F(WizardFiles, RefusalsNameTheFileAndLineAndLeaveTheGrid) {
    const TextGrid fresh = dataGrid({"年龄", "男性", "女性"}, 0, 4);
    struct Case {
        std::string name, content, message;
    };
    const std::string missing = (dir_ / "missing.txt").string();
    const Case cases[] = {
        {"short.txt", "1 2\n3\n", "第2行应有2个数字: '3'"},
        {"word.txt", "1 2\n\n3 x\n", "第3行: “x”不是有效的数值"},
        {"noheader.csv", "0,1,2\n", "第1行应是各列的名称"},
        {"age.csv", "年龄,男,女\n0,1,2\n1.5,3,4\n", "第3行的年龄不是非负整数: '1.5'"},
        {"quote.csv", "年龄,男,女\n0,\"1,2\n", "第2行: a quoted value is not closed"},
    };
    for (const Case& c : cases) {
        TextGrid grid = fresh;
        const std::string path = file(c.name, c.content);
        const std::string message = refusalOf([&] { readValues(grid, 0, path); });
        EXPECT_EQ(message.find("文件" + path), 0u) << message;
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
        EXPECT_EQ(grid, fresh) << c.name;
    }
    TextGrid grid = fresh;
    EXPECT_NE(refusalOf([&] { readValues(grid, 0, missing); }).find(missing), std::string::npos);
}

}  // namespace
}  // namespace zandor::projection::wizard
