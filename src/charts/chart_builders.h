// Charts of table fields as the chart definition dialogs and zandor-cli draw them: one series
// per field over the table's rows (x = row position), and the age pyramid of a male and a
// female population field. The dialogs and the command describe their chart through the same
// routines, so the same request draws the same chart.
#pragma once

#include <QString>

#include <string>
#include <vector>

#include "charts/chart_model.h"

namespace zandor::tables {
class Table;
struct FieldInfo;
}  // namespace zandor::tables

namespace zandor::charts {

struct FieldColumn {
    QString name;
    std::vector<double> values;  // one per row, in table order
};

// The model every chart window starts from (and the chart command with it): the 3-D view on,
// white transparent back wall, margins of 5 %, legend shown, no title.
ChartModel chartWindowModel();

// Fields a chart can plot: integers of any size, floating point and currency.
bool isChartable(const tables::FieldInfo& field);

// Refuses (Refusal naming the field and the row, in Chinese) the first value of `values` that
// is not finite or beyond what a value axis can cover.
void requireChartableValues(const std::vector<double>& values, const std::string& field);

// The named fields over all rows of `table`, in table order, a field named twice read twice.
// A name the table lacks, or a field that does not hold numbers, throws tables::TableError
// naming it; nothing is read then. A value that is not finite or too large to plot throws
// Refusal naming the field and the row.
std::vector<FieldColumn> readChartFields(tables::Table& table, const std::vector<std::string>& names);

// What a chart definition dialog, or the chart command, asks for.
struct FieldChartRequest {
    SeriesKind kind = SeriesKind::Line;
    QString title;
    QString bottomTitle;  // 横坐标
    QString leftTitle;    // 纵坐标
    bool threeD = false;
    Stacking stacking = Stacking::Overlap;  // bars and areas
    bool marks = false;                     // bars: a value mark at every bar
    int pointSize = 4;                      // points: marker width and height in pixels
    PointShape pointShape = PointShape::Rectangle;
    FontSpec titleFont{0};
    FontSpec axisTitleFont{10};
};

// Puts one series of the request's kind per column on `model` (replacing its series), titled
// with the field name and coloured from the palette, and sets the titles, their fonts and the
// 3-D view; the model's other settings stay.
// The columns' values move into the series (pass them with std::move to spare a copy).
void describeFieldChart(const FieldChartRequest& request, std::vector<FieldColumn> columns, ChartModel& model);

// One series of `kind` per column, titled with the field name, coloured from the palette.
// The 3-D view is on when `threeD` (in its orthogonal form), off otherwise.
ChartModel fieldChart(SeriesKind kind, const std::vector<FieldColumn>& columns, const QString& title,
                      bool threeD);

// The texts of the field `name` over all rows, as point labels (any type of field). A name the
// table lacks throws tables::TableError naming it.
std::vector<QString> readLabelField(tables::Table& table, const std::string& name);

// A scatter plot: one point series with a point per row at (x, y), legend hidden; with
// `labels`, each point's label is shown beside it. Titles, fonts, 3-D view, marker size and
// shape come from the request.
void describeScatterChart(const FieldChartRequest& request, const FieldColumn& y, const FieldColumn& x,
                          const std::vector<QString>* labels, ChartModel& model);

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
// The same on `model` (flat, with `title` in `titleFont`), as the age-pyramid dialog and the
// chart command draw it.
// The columns become the shares in place (pass them with std::move to spare a copy).
void describePyramidChart(FieldColumn male, FieldColumn female, const QString& title, const FontSpec& titleFont,
                          ChartModel& model);

// Sets up the two pyramid series on `model` (replacing its series) without bars.
void resetPyramidSeries(ChartModel& model, const QString& maleTitle, const QString& femaleTitle);
// Fills the two pyramid series with one frame of shares, labelled by row position.
void setPyramidFrame(ChartModel& model, std::vector<double> male, std::vector<double> female);

}  // namespace zandor::charts
