// The interpolation tool of the schedule grids.
#include "projection/interpolation.h"

#include <cmath>
#include <string>
#include <vector>

#include "projection/messages.h"
#include "projection/single_region_inputs.h"
#include "text/numbers.h"
#include "text/refusal.h"

namespace zandor::projection {

namespace {

double cellNumber(const text::TextGrid& grid, int row, int column, int baseYear) {
    const std::string& cell = grid.cell(row, column);
    if (auto value = text::parseNumber(cell)) return *value;
    throw text::NumberFormatError(message::badCell(grid.cell(row, 0), baseYear + column, cell));
}

}  // namespace

void interpolateRow(text::TextGrid& grid, int row, int baseYear, int startYear, int endYear,
                    InterpolationMethod method) {
    const int s = startYear - baseYear;
    const int e = endYear - baseYear;
    if (s <= 0 || s >= e || e >= grid.columnCount()) throw Refusal(std::string(message::kBadInterpolation));
    const int n = e - s;
    const double p = cellNumber(grid, row, s, baseYear);
    const double q = cellNumber(grid, row, e, baseYear);
    if (method == InterpolationMethod::Exponential && (p == 0 || !(q / p > 0))) {
        throw Refusal(message::noExponentialInterpolation(grid.cell(row, 0), p, q));
    }
    std::vector<std::string> texts;
    for (int c = s; c <= e; ++c) {
        const double t = c - s;
        double value = p;
        switch (method) {
        case InterpolationMethod::Copy: value = p; break;
        case InterpolationMethod::Linear: value = (q - p) * t / n + p; break;
        case InterpolationMethod::Exponential: value = p * std::exp(std::log(q / p) * t / n); break;
        }
        texts.push_back(text::formatGeneral(value));
    }
    for (int c = s; c <= e; ++c) grid.setCell(row, c, std::move(texts[static_cast<std::size_t>(c - s)]));
}

void interpolatePattern(text::TextGrid& grid, int baseYear, int startYear, int endYear,
                        InterpolationMethod method) {
    text::TextGrid result = grid;
    for (int row = 1; row <= kPatternAges; ++row) interpolateRow(result, row, baseYear, startYear, endYear, method);
    for (int c = 1; c < result.columnCount(); ++c) {
        double total = 0;
        for (int row = 1; row <= kPatternAges; ++row) total += cellNumber(result, row, c, baseYear);
        result.setCell(kPatternTotalRow, c, text::formatPattern(total, "####.####"));
    }
    grid = std::move(result);
}

}  // namespace zandor::projection
