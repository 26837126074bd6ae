// Smoothing, graduation and grouping of age data.
#include "analysis/age_adjustment.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

#include "text/refusal.h"

namespace zandor::analysis {

namespace {

using Panel = std::array<std::array<double, 5>, 5>;

// The multipliers of one method: the panels of the first and second closed group (applied to
// groups 0-4), and the middle panel (applied to groups g-2 .. g+2). The panels of the last two
// closed groups are these two mirrored: the age order and the group order reversed.
struct Multipliers {
    Panel first;
    Panel second;
    Panel middle;
};

// Sprague (1880), as tabled in Siegel and Swanson (2004), appendix C.
constexpr Multipliers kSprague{
    {{{0.3616, -0.2768, 0.1488, -0.0336, 0.0},
      {0.2640, -0.0960, 0.0400, -0.0080, 0.0},
      {0.1840, 0.0400, -0.0320, 0.0080, 0.0},
      {0.1200, 0.1360, -0.0720, 0.0160, 0.0},
      {0.0704, 0.1968, -0.0848, 0.0176, 0.0}}},
    {{{0.0336, 0.2272, -0.0752, 0.0144, 0.0},
      {0.0080, 0.2320, -0.0480, 0.0080, 0.0},
      {-0.0080, 0.2160, -0.0080, 0.0000, 0.0},
      {-0.0160, 0.1840, 0.0400, -0.0080, 0.0},
      {-0.0176, 0.1408, 0.0912, -0.0144, 0.0}}},
    {{{-0.0128, 0.0848, 0.1504, -0.0240, 0.0016},
      {-0.0016, 0.0144, 0.2224, -0.0416, 0.0064},
      {0.0064, -0.0336, 0.2544, -0.0336, 0.0064},
      {0.0064, -0.0416, 0.2224, 0.0144, -0.0016},
      {0.0016, -0.0240, 0.1504, 0.0848, -0.0128}}},
};

// Beers (1945) ordinary, Siegel and Swanson (2004), appendix C.
constexpr Multipliers kBeersOrdinary{
    {{{0.3333, -0.1636, -0.0210, 0.0796, -0.0283},
      {0.2595, -0.0780, 0.0130, 0.0100, -0.0045},
      {0.1924, 0.0064, 0.0184, -0.0256, 0.0084},
      {0.1329, 0.0844, 0.0054, -0.0356, 0.0129},
      {0.0819, 0.1508, -0.0158, -0.0284, 0.0115}}},
    {{{0.0404, 0.2000, -0.0344, -0.0128, 0.0068},
      {0.0093, 0.2268, -0.0402, 0.0028, 0.0013},
      {-0.0108, 0.2272, -0.0248, 0.0112, -0.0028},
      {-0.0198, 0.1992, 0.0172, 0.0072, -0.0038},
      {-0.0191, 0.1468, 0.0822, -0.0084, -0.0015}}},
    {{{-0.0117, 0.0804, 0.1570, -0.0284, 0.0027},
      {-0.0020, 0.0160, 0.2200, -0.0400, 0.0060},
      {0.0050, -0.0280, 0.2460, -0.0280, 0.0050},
      {0.0060, -0.0400, 0.2200, 0.0160, -0.0020},
      {0.0027, -0.0284, 0.1570, 0.0804, -0.0117}}},
};

// Beers (1945) modified, Siegel and Swanson (2004), appendix C.
constexpr Multipliers kBeersModified{
    {{{0.3332, -0.1938, 0.0702, -0.0118, 0.0022},
      {0.2569, -0.0753, 0.0205, -0.0027, 0.0006},
      {0.1903, 0.0216, -0.0146, 0.0032, -0.0005},
      {0.1334, 0.0969, -0.0351, 0.0059, -0.0011},
      {0.0862, 0.1506, -0.0410, 0.0054, -0.0012}}},
    {{{0.0486, 0.1831, -0.0329, 0.0021, -0.0009},
      {0.0203, 0.1955, -0.0123, -0.0031, -0.0004},
      {0.0008, 0.1893, 0.0193, -0.0097, 0.0003},
      {-0.0108, 0.1677, 0.0577, -0.0153, 0.0007},
      {-0.0159, 0.1354, 0.0972, -0.0170, 0.0003}}},
    {{{-0.0160, 0.0973, 0.1321, -0.0121, -0.0013},
      {-0.0129, 0.0590, 0.1564, 0.0018, -0.0043},
      {-0.0085, 0.0260, 0.1650, 0.0260, -0.0085},
      {-0.0043, 0.0018, 0.1564, 0.0590, -0.0129},
      {-0.0013, -0.0121, 0.1321, 0.0973, -0.0160}}},
};

std::string tenYearLabel(std::size_t j)
{
    return std::to_string(10 * j) + "-" + std::to_string(10 * j + 9) + "岁";
}

// Refuses a group that is no finite number.
void requireFinite(std::span<const double> groups)
{
    for (std::size_t g = 0; g < groups.size(); ++g)
        if (!std::isfinite(groups[g]))
            throw Refusal(groupLabel(g, groups.size()) + "组的数值不是有效数字，无法调整.");
}

// The groups checked for a method that needs `closedNeeded` closed groups besides the open one.
void requireGroups(std::span<const double> groups, std::size_t closedNeeded, const std::string& method)
{
    requireFinite(groups);
    const std::size_t closed = groups.empty() ? 0 : groups.size() - 1;
    if (closed < closedNeeded) {
        const std::string open =
            groups.empty() ? std::string() : "（最后一组" + groupLabel(groups.size() - 1, groups.size()) + "为开口组）";
        throw Refusal("年龄组不够: " + method + "至少需要" + std::to_string(closedNeeded) +
                      "个封闭的5岁年龄组和1个开口组，数据只有" + std::to_string(closed) + "个封闭组" + open + ".");
    }
}

// The complete ten-year groups of the closed groups.
std::vector<double> tenYearGroups(std::span<const double> groups)
{
    std::vector<double> tens((groups.size() - 1) / 2);
    for (std::size_t j = 0; j < tens.size(); ++j)
        tens[j] = groups[2 * j] + groups[2 * j + 1];
    return tens;
}

// The input with nothing reached yet.
SmoothedGroups unchanged(std::span<const double> groups)
{
    return {std::vector<double>(groups.begin(), groups.end()), std::vector<bool>(groups.size(), false)};
}

void setPair(SmoothedGroups& out, std::size_t j, double lower, double upper)
{
    out.values[2 * j] = lower;
    out.values[2 * j + 1] = upper;
    out.reached[2 * j] = out.reached[2 * j + 1] = true;
}

// Arriaga's split of ten-year groups into halves, at the ends with its own end formulas.
void splitArriaga(SmoothedGroups& out, const std::vector<double>& t)
{
    const std::size_t last = t.size() - 1;
    for (std::size_t j = 0; j <= last; ++j) {
        double upper = 0;
        if (j == 0)
            upper = (8 * t[0] + 5 * t[1] - t[2]) / 24;
        else if (j == last)
            upper = t[j] - (8 * t[j] + 5 * t[j - 1] - t[j - 2]) / 24;
        else
            upper = (-t[j - 1] + 11 * t[j] + 2 * t[j + 1]) / 24;
        setPair(out, j, t[j] - upper, upper);
    }
}

std::vector<double> graduate(const Multipliers& m, std::span<const double> groups, const std::string& method)
{
    requireGroups(groups, 5, method);
    const std::size_t closed = groups.size() - 1;
    std::vector<double> single(5 * closed + 1, 0.0);
    for (std::size_t g = 0; g < closed; ++g) {
        for (std::size_t a = 0; a < 5; ++a) {
            double sum = 0;
            if (g < 2) {
                const Panel& p = g == 0 ? m.first : m.second;
                for (std::size_t k = 0; k < 5; ++k)
                    sum += p[a][k] * groups[k];
            } else if (g + 2 < closed) {
                for (std::size_t k = 0; k < 5; ++k)
                    sum += m.middle[a][k] * groups[g - 2 + k];
            } else {
                // The mirror of the first two panels over the last five closed groups.
                const Panel& p = g + 1 == closed ? m.first : m.second;
                for (std::size_t k = 0; k < 5; ++k)
                    sum += p[4 - a][4 - k] * groups[closed - 5 + k];
            }
            single[5 * g + a] = sum;
        }
    }
    single.back() = groups.back();
    return single;
}

}  // namespace

std::string groupLabel(std::size_t g, std::size_t n)
{
    if (g + 1 == n)
        return std::to_string(5 * g) + "岁及以上";
    return std::to_string(5 * g) + "-" + std::to_string(5 * g + 4) + "岁";
}

SmoothedGroups smoothCarrierFarrag(std::span<const double> groups)
{
    requireGroups(groups, 6, methodName(SmoothingMethod::CarrierFarrag));
    const std::vector<double> t = tenYearGroups(groups);
    // With three ten-year groups or more, each one is a neighbour of a group that is smoothed:
    // the ratio of the neighbours is taken and its fourth root.
    for (std::size_t j = 0; j < t.size(); ++j)
        if (t[j] <= 0)
            throw Refusal(tenYearLabel(j) + "的10岁组人数为" + (t[j] == 0 ? "0" : "负数") +
                          ": Carrier-Farrag法要以它作除数并开四次方，无法修匀.");
    SmoothedGroups out = unchanged(groups);
    for (std::size_t j = 1; j + 1 < t.size(); ++j) {
        const double upper = t[j] / (1 + std::pow(t[j - 1] / t[j + 1], 0.25));
        setPair(out, j, t[j] - upper, upper);
    }
    return out;
}

SmoothedGroups smoothKarupKingNewton(std::span<const double> groups)
{
    requireGroups(groups, 6, methodName(SmoothingMethod::KarupKingNewton));
    const std::vector<double> t = tenYearGroups(groups);
    SmoothedGroups out = unchanged(groups);
    for (std::size_t j = 1; j + 1 < t.size(); ++j) {
        const double lower = t[j] / 2 + (t[j - 1] - t[j + 1]) / 16;
        setPair(out, j, lower, t[j] - lower);
    }
    return out;
}

SmoothedGroups smoothArriaga(std::span<const double> groups)
{
    requireGroups(groups, 6, methodName(SmoothingMethod::Arriaga));
    SmoothedGroups out = unchanged(groups);
    splitArriaga(out, tenYearGroups(groups));
    return out;
}

SmoothedGroups smoothUnitedNations(std::span<const double> groups)
{
    requireGroups(groups, 5, methodName(SmoothingMethod::UnitedNations));
    const std::size_t closed = groups.size() - 1;
    SmoothedGroups out = unchanged(groups);
    for (std::size_t g = 2; g + 2 < closed; ++g) {
        out.values[g] = (-groups[g - 2] + 4 * groups[g - 1] + 10 * groups[g] + 4 * groups[g + 1] - groups[g + 2]) / 16;
        out.reached[g] = true;
    }
    return out;
}

SmoothedGroups smoothStrong(std::span<const double> groups)
{
    requireGroups(groups, 6, methodName(SmoothingMethod::Strong));
    const std::vector<double> t = tenYearGroups(groups);
    std::vector<double> averaged = t;
    for (std::size_t j = 1; j + 1 < t.size(); ++j)
        averaged[j] = (t[j - 1] + 2 * t[j] + t[j + 1]) / 4;
    // Ages 10-69 (ten-year groups 1 to 6, as far as they have two neighbours) keep their total.
    double before = 0;
    double after = 0;
    std::size_t end = 1;
    for (std::size_t j = 1; j <= 6 && j + 1 < t.size(); ++j, ++end) {
        before += t[j];
        after += averaged[j];
    }
    if (after <= 0)
        throw Refusal("10-" + std::to_string(10 * end - 1) + "岁的人数合计为" + (after == 0 ? "0" : "负数") +
                      ": Strong法要以它作除数，无法修匀.");
    for (std::size_t j = 1; j < end; ++j)
        averaged[j] *= before / after;
    SmoothedGroups out = unchanged(groups);
    splitArriaga(out, averaged);
    return out;
}

SmoothedGroups smoothGroups(SmoothingMethod method, std::span<const double> groups)
{
    switch (method) {
    case SmoothingMethod::CarrierFarrag:
        return smoothCarrierFarrag(groups);
    case SmoothingMethod::KarupKingNewton:
        return smoothKarupKingNewton(groups);
    case SmoothingMethod::Arriaga:
        return smoothArriaga(groups);
    case SmoothingMethod::UnitedNations:
        return smoothUnitedNations(groups);
    case SmoothingMethod::Strong:
        return smoothStrong(groups);
    }
    return unchanged(groups);
}

std::vector<double> graduateSprague(std::span<const double> groups)
{
    return graduate(kSprague, groups, methodName(GraduationMethod::Sprague));
}

std::vector<double> graduateBeersOrdinary(std::span<const double> groups)
{
    return graduate(kBeersOrdinary, groups, methodName(GraduationMethod::BeersOrdinary));
}

std::vector<double> graduateBeersModified(std::span<const double> groups)
{
    return graduate(kBeersModified, groups, methodName(GraduationMethod::BeersModified));
}

std::vector<double> graduateGroups(GraduationMethod method, std::span<const double> groups)
{
    switch (method) {
    case GraduationMethod::Sprague:
        return graduateSprague(groups);
    case GraduationMethod::BeersOrdinary:
        return graduateBeersOrdinary(groups);
    case GraduationMethod::BeersModified:
        return graduateBeersModified(groups);
    }
    return {};
}

std::vector<double> groupSingleYears(std::span<const double> single)
{
    for (std::size_t age = 0; age < single.size(); ++age)
        if (!std::isfinite(single[age]))
            throw Refusal(std::to_string(age) + "岁的数值不是有效数字，无法调整.");
    if (single.size() < 6)
        throw Refusal("年龄组不够: 单岁数据只有" + std::to_string(single.size()) + "个年龄，至少需要0-4岁组和1个开口组.");
    const std::size_t open = (single.size() - 1) / 5;  // the open group starts at 5 x open
    std::vector<double> groups(open + 1, 0.0);
    for (std::size_t age = 0; age < single.size(); ++age)
        groups[std::min(age / 5, open)] += single[age];
    return groups;
}

std::string methodName(SmoothingMethod method)
{
    switch (method) {
    case SmoothingMethod::CarrierFarrag:
        return "Carrier-Farrag法";
    case SmoothingMethod::KarupKingNewton:
        return "Karup-King-Newton法";
    case SmoothingMethod::Arriaga:
        return "Arriaga法";
    case SmoothingMethod::UnitedNations:
        return "联合国修匀法";
    case SmoothingMethod::Strong:
        return "Strong法";
    }
    return {};
}

std::string methodName(GraduationMethod method)
{
    switch (method) {
    case GraduationMethod::Sprague:
        return "Sprague法";
    case GraduationMethod::BeersOrdinary:
        return "Beers普通法";
    case GraduationMethod::BeersModified:
        return "Beers修正法";
    }
    return {};
}

std::string methodReach(SmoothingMethod method)
{
    switch (method) {
    case SmoothingMethod::CarrierFarrag:
    case SmoothingMethod::KarupKingNewton:
        return "修匀10岁组两侧都有相邻10岁组的各组(10-19岁起，至倒数第二个10岁组)；0-9岁、最后一个10岁组、"
               "落单的5岁组和开口组保持原值；每个10岁组的合计不变.";
    case SmoothingMethod::Arriaga:
        return "修匀所有成对的5岁组(含首尾10岁组，用端点公式)；落单的5岁组和开口组保持原值；每个10岁组的合计不变.";
    case SmoothingMethod::UnitedNations:
        return "修匀两侧各有两个封闭组的5岁组(10-14岁起，至倒数第三个封闭组)；前两组、最后两个封闭组和开口组保持原值；"
               "各组合计不保持.";
    case SmoothingMethod::Strong:
        return "先对10岁组作移动平均，10-69岁按原合计调整，再用Arriaga公式分成5岁组；0-9岁、最后一个10岁组和"
               "10-69岁的合计不变，中间各10岁组的合计会改变；落单的5岁组和开口组保持原值.";
    }
    return {};
}

std::string methodReach(GraduationMethod method)
{
    switch (method) {
    case GraduationMethod::Sprague:
        return "Sprague五次差分密切插值乘数，把每个封闭5岁组分成单岁；每组单岁之和等于原组值；开口组保持为一组.";
    case GraduationMethod::BeersOrdinary:
        return "Beers普通六项插值乘数，把每个封闭5岁组分成单岁；每组单岁之和等于原组值；开口组保持为一组.";
    case GraduationMethod::BeersModified:
        return "Beers修正插值乘数，分成单岁的同时加以修匀；各组单岁之和不一定等于原组值；开口组保持为一组.";
    }
    return {};
}

AdjustedSeries adjustAgeSeries(const AgeAdjustment& request)
{
    if (!request.smoothing && !request.graduation)
        throw Refusal("请选择修匀方法或分解方法.");
    std::vector<double> groups;
    if (request.singleYears) {
        groups = groupSingleYears(request.values);
    } else {
        groups = request.values;
        requireFinite(groups);
    }

    AdjustedSeries out;
    std::vector<double> adjustedGroups = groups;
    std::vector<bool> reached(groups.size(), false);
    if (request.smoothing) {
        SmoothedGroups smoothed = smoothGroups(*request.smoothing, groups);
        adjustedGroups = std::move(smoothed.values);
        reached = std::move(smoothed.reached);
    }
    if (!request.graduation) {
        for (std::size_t g = 0; g < groups.size(); ++g)
            out.ages.push_back(static_cast<int>(5 * g));
        out.original = groups;
        out.adjusted = std::move(adjustedGroups);
        out.reached = std::move(reached);
        return out;
    }

    out.singleYears = true;
    out.adjusted = graduateGroups(*request.graduation, adjustedGroups);
    const std::size_t closed = groups.size() - 1;
    for (std::size_t age = 0; age <= 5 * closed; ++age)
        out.ages.push_back(static_cast<int>(age));
    for (std::size_t age = 0; age < 5 * closed; ++age)
        out.original.push_back(request.singleYears ? request.values[age] : groups[age / 5] / 5);
    out.original.push_back(groups.back());
    return out;
}

void requireRowPerRecord(std::size_t records, const AdjustedSeries& result)
{
    if (records != result.adjusted.size())
        throw Refusal("表有" + std::to_string(records) + "条记录，调整结果有" + std::to_string(result.adjusted.size()) +
                      (result.singleYears ? "行(单岁，最后一行为开口组)" : "行(5岁年龄组，最后一行为开口组)") +
                      "，每条记录须对应结果的一行，无法保存.");
}

}  // namespace zandor::analysis
