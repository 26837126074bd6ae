// Charts of table fields as the chart definition dialogs and zandor-cli draw them: one series
// per field over the table's rows (x = row position), and the age pyramid of a male and a
// female population field.
#pragma once

#include <QString>

#include <vector>

#include "charts/chart_model.h"

namespace zandor::charts {

struct FieldColumn {
    QString name;
    std::vector<double> values;  // one per row, in table order
};

// One series of `kind` per column, titled with the field name, coloured from the palette.
// The 3-D view is on when `threeD` (in its orthogonal form), off otherwise.
ChartModel fieldChart(SeriesKind kind, const std::vector<FieldColumn>& columns, const QString& title,
                      bool threeD);

// Each row's share of the whole population (male plus female over all rows); the male shares
// are negative so that they extend to the left. When the population sums to zero (or is not
// a finite number) every share is 0.
struct PyramidShares {
    std::vector<double> male;
    std::vector<double> female;
};
PyramidShares pyramidShares(const std::vector<double>& male, const std::vector<double>& female);

// Two horizontal bar series drawn over each other, marks hidden: the male series in blue, the
// female series in red, one bar per row labelled with the row position. The value axis shows
// the shares without sign.
ChartModel pyramidChart(const QString& maleTitle, const QString& femaleTitle, const PyramidShares& shares,
                        const QString& title);

// Sets up the two pyramid series on `model` (replacing its series) without bars.
void resetPyramidSeries(ChartModel& model, const QString& maleTitle, const QString& femaleTitle);
// Fills the two pyramid series with one frame of shares, labelled by row position.
void setPyramidFrame(ChartModel& model, const std::vector<double>& male, const std::vector<double>& female);

}  // namespace zandor::charts
