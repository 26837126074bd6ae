// The fertility variants of a single-region projection.
#include "projection/variants.h"

#include <algorithm>
#include <functional>

#include "projection/indicators.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::projection {

namespace {

// Applies `change` to every projected year's TFR: the parsed TFR row (used when the row was
// edited, and always recorded as the year's TFR indicator) and the input set's TFR by year
// (used when it was not).
void changeTfr(VariantInputs& v, const std::function<double(double)>& change) {
    for (double& tfr : v.schedules.region.tfr) tfr = change(tfr);
    std::vector<double>& byYear = v.inputs.region.tfrByYear;
    const std::size_t years = std::min(byYear.size(), static_cast<std::size_t>(std::max(v.inputs.yearCount, 0)));
    for (std::size_t t = 0; t < years; ++t) byYear[t] = change(byYear[t]);
}

}  // namespace

std::string_view variantName(Variant variant) {
    switch (variant) {
    case Variant::Medium: return "中方案";
    case Variant::High: return "高方案";
    case Variant::Low: return "低方案";
    case Variant::Constant: return "不变方案";
    }
    return {};
}

VariantInputs buildVariant(const SingleRegionInputs& inputs, const SingleRegionSchedules& schedules, Variant variant) {
    VariantInputs v{inputs, schedules};
    switch (variant) {
    case Variant::Medium: break;
    case Variant::High: changeTfr(v, [](double tfr) { return tfr + kVariantTfrStep; }); break;
    case Variant::Low: changeTfr(v, [](double tfr) { return std::max(0.0, tfr - kVariantTfrStep); }); break;
    case Variant::Constant: {
        const double base = inputs.region.baseTfr;
        changeTfr(v, [base](double) { return base; });
        break;
    }
    }
    return v;
}

std::string variantRefusal(Variant variant, std::string_view message) {
    return std::string(variantName(variant)) + ": " + std::string(message);
}

std::vector<VariantRun> projectVariants(const SingleRegionInputs& inputs, const SingleRegionSchedules& schedules,
                                        const RunOptions& options, const Feedback& feedback) {
    std::vector<VariantRun> runs;
    const long long years = std::max(inputs.yearCount, 0);
    const long long total = years * static_cast<long long>(kVariants.size());
    long long before = 0;
    for (Variant variant : kVariants) {
        // Each run reports its own years; the receiver sees the four runs as one count. A stop
        // requested meanwhile ends the run after the year it reports.
        const Feedback inner(std::stop_token{}, [&feedback, before, total, variant](long long done, long long,
                                                                                   std::string_view status) {
            feedback.progress(before + done, total, std::string(variantName(variant)) + " " + std::string(status));
            feedback.throwIfStopped();
        });
        VariantRun entry{.variant = variant, .run = std::nullopt, .refusal = {}};
        try {
            feedback.throwIfStopped();
            const VariantInputs v = buildVariant(inputs, schedules, variant);
            entry.run = projectSingleRegion(v.inputs, v.schedules, options, inner);
        } catch (const Refusal& refusal) {
            entry.refusal = variantRefusal(variant, refusal.what());
        }
        runs.push_back(std::move(entry));
        before += years;
    }
    return runs;
}

ComparedIndicator comparedIndicator(std::string_view listText, Edition edition) {
    const std::vector<std::string>& catalogue = indicatorCatalogue(Edition::Full);
    const int code = indicatorCode(listText, edition);
    if (code >= 0 && code <= indicator::kMigrantDeaths && code != indicator::kAgeStructure) {
        return {catalogue[static_cast<std::size_t>(code)], code};
    }
    if (code == indicator::kParameters) return {std::string(label::kTfr), -1};
    return {catalogue[indicator::kTotal], indicator::kTotal};
}

std::vector<double> comparedValues(const ProjectionResultSet& results, const ComparedIndicator& compared) {
    if (compared.code >= 0) return indicatorValues(results, compared.code);
    std::vector<double> values;
    for (const ParameterRecord& record : results.parameters) values.push_back(record[parameter::kTfr]);
    return values;
}

std::vector<std::string> variantComparisonListing(std::span<const VariantResultsView> runs, std::string_view listText,
                                                  Edition edition) {
    constexpr std::string_view kGap = "    ";
    const ComparedIndicator compared = comparedIndicator(listText, edition);
    std::vector<std::string> lines{"", compared.title + "（多方案对照）"};
    std::string heading = "年份";
    std::vector<std::vector<double>> values;
    for (const VariantResultsView& run : runs) {
        heading += std::string(kGap) + std::string(variantName(run.variant));
        values.push_back(comparedValues(*run.results, compared));
    }
    lines.push_back(heading);
    if (runs.empty()) return lines;
    const ProjectionResultSet& first = *runs.front().results;
    for (int t = 0; t < first.yearCount; ++t) {
        std::string line = std::to_string(first.calendarYear(t));
        for (const std::vector<double>& series : values) {
            line += kGap;
            line += text::formatGeneral(series[static_cast<std::size_t>(t)]);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace zandor::projection
