// Fonts of a chart's texts. Sizes are given in points and turned into pixels at 96 dots per
// inch, so that a chart lays out the same on screen, in images, SVG and PDF.
#pragma once

#include <QFont>

#include "charts/chart_model.h"

namespace zandor::charts {

inline constexpr int kDefaultTitlePoints = 12;
inline constexpr int kDefaultAxisTitlePoints = 10;
inline constexpr int kLabelPoints = 9;
inline constexpr int kLegendPoints = 9;
inline constexpr int kMarkPoints = 8;

// A font with Chinese glyphs, of `points` size.
QFont chartFont(double points, bool bold = false);
// The font of a FontSpec; a size of 0 takes `defaultPoints`.
QFont chartFont(const FontSpec& style, int defaultPoints);

}  // namespace zandor::charts
