// Projection variants: the schedules as given ("中方案") and three fertility variants built
// from them, the international practice for publishing a projection. The variants change the
// total fertility rate of every projected year and nothing else; each is run through the same
// single-region projection:
//  - "高方案": every year's TFR + 0.5;
//  - "低方案": every year's TFR − 0.5, not below 0;
//  - "不变方案": every year's TFR equal to the base year's, the TFR of the chosen fertility
//    field (the sum of its rates over all ages).
// The TFR a run uses in a year is the TFR row of the grid when that row was edited, and
// otherwise the TFR by year of the input set (the base TFR unrounded); a variant moves both
// the row and that series, so its fertility and its TFR indicator both differ from the medium
// variant's by exactly the step.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/feedback.h"
#include "projection/result_set.h"
#include "text/edition.h"
#include "projection/single_region_projection.h"

namespace zandor::projection {

enum class Variant { Medium, High, Low, Constant };

// The four variants in the order they are shown and written.
inline constexpr std::array<Variant, 4> kVariants = {Variant::Medium, Variant::High, Variant::Low, Variant::Constant};

// The high and low variants' distance from the medium TFR, in children per woman.
inline constexpr double kVariantTfrStep = 0.5;

// "中方案", "高方案", "低方案", "不变方案".
std::string_view variantName(Variant variant);

// The input set and parsed schedules of one variant, built from those of the medium variant
// (which the medium variant returns unchanged).
struct VariantInputs {
    SingleRegionInputs inputs;
    SingleRegionSchedules schedules;
};
VariantInputs buildVariant(const SingleRegionInputs& inputs, const SingleRegionSchedules& schedules, Variant variant);

// One variant's run: its results, or the refusal that stopped it.
struct VariantRun {
    Variant variant = Variant::Medium;
    std::optional<ProjectionRun> run;
    std::string refusal;  // the message, when refused
};

// A refused variant's message, naming it: "高方案: 2031年的预测结果超出了数值范围.".
std::string variantRefusal(Variant variant, std::string_view message);

// Runs the four variants in order, each through projectSingleRegion. A variant's refusal
// (zandor::Refusal) is kept in its entry and the others still run; anything else (a stop,
// an unexpected failure) passes on. Progress counts the years of all four runs.
std::vector<VariantRun> projectVariants(const SingleRegionInputs& inputs, const SingleRegionSchedules& schedules,
                                        const RunOptions& options, const Feedback& feedback = {});

// One variant's results as the comparison shows them.
struct VariantResultsView {
    Variant variant = Variant::Medium;
    const ProjectionResultSet* results = nullptr;
};

// What the comparison compares for a list text: the catalogue code of an indicator with one
// value per year; the TFR (the parameter that tells the variants apart) for the parameter
// entry; the total population for the age structure and any other text.
struct ComparedIndicator {
    std::string title;
    int code = 0;       // catalogue code, or -1 for the TFR
};
ComparedIndicator comparedIndicator(std::string_view listText, Edition edition);

// The yearly values of the compared indicator in one run.
std::vector<double> comparedValues(const ProjectionResultSet& results, const ComparedIndicator& compared);

// The comparison listing: an empty line, the title with "（多方案对照）", a heading line
// "年份" and the variants' names, then one line per projected year with each variant's value
// (general form), columns separated by four spaces. The runs must cover the same years.
std::vector<std::string> variantComparisonListing(std::span<const VariantResultsView> runs, std::string_view listText,
                                                  Edition edition);

}  // namespace zandor::projection
