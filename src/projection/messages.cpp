// Texts of the refusals that carry numbers (years, ages, targets).
#include "projection/messages.h"

#include "text/numbers.h"

namespace zandor::projection::message {

std::string_view sexName(Sex sex) { return sex == Sex::Male ? label::kMale : label::kFemale; }

std::string tooFewAgeRows(std::size_t rows) {
    return "数据表只有" + std::to_string(rows) + "行，单区域人口预测至少需要71个年龄行（0至70岁）.";
}

std::string tooFewAgeGroups(int ageGroups) {
    return "基础数据年龄组数为" + std::to_string(ageGroups) + "，单区域人口预测至少需要71个年龄组（0至70岁）.";
}

std::string endBeforeBase(int baseYear, int endYear) {
    return "预测终止年份" + std::to_string(endYear) + "早于基础数据年份" + std::to_string(baseYear) + ".";
}

std::string noExponentialInterpolation(std::string_view rowName, double start, double end) {
    return "指数插值要求起始值不为零且终止值与起始值同号（" + std::string(rowName) + "：起始值" +
           text::formatGeneral(start) + "，终止值" + text::formatGeneral(end) + "）.";
}

std::string unreachableLifeExpectancy(int year, Sex sex, double target) {
    return std::to_string(year) + "年" + std::string(sexName(sex)) + "出生预期寿命" +
           text::formatGeneral(target) + "无法由基础生命表的logit变换达到.";
}

std::string zeroPersonYears(int year, Sex sex, int age) {
    return std::to_string(year) + "年" + std::string(sexName(sex)) + std::to_string(age) +
           "岁的生存人年数(Lx)为0，无法计算存活比.";
}

std::string noBirthShares(int year, double sexRatio) {
    return std::to_string(year) + "年出生性别比为" + text::formatGeneral(sexRatio) +
           "，无法计算出生婴儿的性别构成.";
}

std::string overflow(int year) {
    return std::to_string(year) + "年的预测结果超出了数值范围.";
}

std::string badCell(std::string_view where, int year, std::string_view text) {
    return std::string(where) + " " + std::to_string(year) + "年: " + text::invalidNumberMessage(text);
}

std::string urbanShareOutOfRange(std::string_view text) {
    return std::string(kWhereUrbanShare) + "必须在0到1之间，不能是" + std::string(text) + ".";
}

std::string badBox(std::string_view where, std::string_view text) {
    return std::string(where) + ": " + text::invalidNumberMessage(text);
}

std::string wherePattern(int age) { return "生育模式" + std::to_string(age) + "岁"; }

std::string whereMigrants(std::string_view rowLabel) { return "流动人口" + std::string(rowLabel); }

}  // namespace zandor::projection::message
