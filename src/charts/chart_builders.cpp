// Field charts and age pyramids.
#include "charts/chart_builders.h"

#include <cmath>
#include <cstdio>

#include "charts/axis_scale.h"

#include "tables/field.h"
#include "tables/numeric_column.h"
#include "tables/table.h"
#include "tables/table_error.h"
#include "text/refusal.h"

namespace zandor::charts {

namespace {
constexpr std::size_t kLabelledPyramidRows = 100'000;
// The largest value a chart plots: far enough inside the axis' limit that the sums of
// stacked series stay on it.
constexpr double kLargestPlottedValue = kLargestChartValue / 1e6;
}  // namespace

ChartModel chartWindowModel()
{
    ChartModel m;
    m.view.enabled = true;
    m.view.rotation = 331;
    m.view.elevation = 353;
    m.view.zoom = 98;
    m.backWall.color = Qt::white;
    m.backWall.transparent = true;
    m.margins = Margins{5, 5, 5, 5};
    m.border = true;
    m.gradient = Gradient{false, QColor(192, 192, 192), QColor(0, 128, 255)};
    m.legendVisible = true;
    return m;
}

void requireChartableValues(const std::vector<double>& values, const std::string& field)
{
    for (std::size_t row = 0; row < values.size(); ++row) {
        const double v = values[row];
        const std::string where = "字段“" + field + "”第 " + std::to_string(row + 1) + " 行的值";
        if (!std::isfinite(v))
            throw Refusal(where + "不是有限的数, 无法作图.");
        if (std::fabs(v) > kLargestPlottedValue) {
            char text[32];
            std::snprintf(text, sizeof text, "%.6g", v);
            throw Refusal(where + " " + text + " 太大, 无法作图.");
        }
    }
}

bool isChartable(const tables::FieldInfo& field)
{
    return field.kind() == tables::FieldKind::Integer || field.kind() == tables::FieldKind::Float;
}

std::vector<FieldColumn> readChartFields(tables::Table& table, const std::vector<std::string>& names)
{
    for (const std::string& name : names) {
        const int index = table.fieldIndex(name);
        if (index < 0)
            throw tables::TableError("数据表中没有字段“" + name + "”.");
        if (!isChartable(table.fields()[static_cast<std::size_t>(index)]))
            throw tables::TableError("字段“" + name + "”不是数值型字段.");
    }
    std::vector<FieldColumn> columns;
    columns.reserve(names.size());
    for (const std::string& name : names) {
        columns.push_back({QString::fromStdString(name), tables::readNumericColumn(table, name)});
        requireChartableValues(columns.back().values, name);
    }
    return columns;
}

void describeFieldChart(const FieldChartRequest& request, std::vector<FieldColumn> columns, ChartModel& model)
{
    model.series.clear();
    model.title = request.title;
    model.titleFont = request.titleFont;
    model.bottomAxis.title = request.bottomTitle;
    model.bottomAxis.titleFont = request.axisTitleFont;
    model.leftAxis.title = request.leftTitle;
    model.leftAxis.titleFont = request.axisTitleFont;
    model.view.enabled = request.threeD;
    int n = 0;
    for (FieldColumn& column : columns) {
        Series& s = model.addSeries(request.kind, column.name, seriesPaletteColor(n++));
        if (request.kind == SeriesKind::Line || request.kind == SeriesKind::FastLine)
            s.lineWidth = 2;
        s.stacking = request.stacking;
        s.marksVisible = request.marks;
        s.pointWidth = s.pointHeight = request.pointSize;
        s.pointShape = request.pointShape;
        s.points.assignValues(std::move(column.values));
    }
}

std::vector<QString> readLabelField(tables::Table& table, const std::string& name)
{
    if (table.fieldIndex(name) < 0)
        throw tables::TableError("数据表中没有字段“" + name + "”.");
    std::vector<QString> labels;
    labels.reserve(table.recordCount());
    for (table.first(); !table.eof(); table.next())
        labels.push_back(QString::fromStdString(table.asString(name)).trimmed());
    return labels;
}

void describeScatterChart(const FieldChartRequest& request, const FieldColumn& y, const FieldColumn& x,
                          const std::vector<QString>* labels, ChartModel& model)
{
    FieldChartRequest points = request;
    points.kind = SeriesKind::Point;
    describeFieldChart(points, {}, model);
    model.legendVisible = false;
    Series& s = model.addSeries(SeriesKind::Point, y.name, seriesPaletteColor(0));
    s.pointWidth = s.pointHeight = request.pointSize;
    s.pointShape = request.pointShape;
    s.marksVisible = labels != nullptr;
    s.marksShowLabels = true;
    const std::size_t n = std::min(y.values.size(), x.values.size());
    s.points.reserve(n);
    for (std::size_t i = 0; i < n; ++i)
        s.addXY(x.values[i], y.values[i], labels && i < labels->size() ? (*labels)[i] : QString());
}

ChartModel fieldChart(SeriesKind kind, const std::vector<FieldColumn>& columns, const QString& title,
                      bool threeD)
{
    ChartModel model;
    FieldChartRequest request;
    request.kind = kind;
    request.title = title;
    request.threeD = threeD;
    describeFieldChart(request, columns, model);
    return model;
}

namespace {

double populationTotal(const std::vector<double>& male, const std::vector<double>& female)
{
    double total = 0;
    for (double v : male)
        total += v;
    for (double v : female)
        total += v;
    return total;
}

// Each value divided by `total` (its sign making the male shares negative); all 0 when the
// total is 0 or no finite number.
void toShares(std::vector<double>& values, double total)
{
    const bool none = total == 0 || !std::isfinite(total);
    for (double& v : values)
        v = none ? 0.0 : v / total;
}

}  // namespace

PyramidShares pyramidShares(const std::vector<double>& male, const std::vector<double>& female)
{
    const double total = populationTotal(male, female);
    PyramidShares shares{male, female};
    toShares(shares.male, -total);
    toShares(shares.female, total);
    return shares;
}

void resetPyramidSeries(ChartModel& model, const QString& maleTitle, const QString& femaleTitle)
{
    model.series.clear();
    for (auto [title, color] : {std::pair{maleTitle, QColor(Qt::blue)}, std::pair{femaleTitle, QColor(Qt::red)}}) {
        Series& s = model.addSeries(SeriesKind::HorizBar, title, color);
        s.stacking = Stacking::Overlap;
        s.marksVisible = false;
        s.barWidthPercent = 90;
    }
    model.bottomAxis.absoluteLabels = true;
}

void setPyramidFrame(ChartModel& model, std::vector<double> male, std::vector<double> female)
{
    if (model.series.size() < 2)
        return;
    for (int k = 0; k < 2; ++k) {
        Series& s = model.series[static_cast<std::size_t>(k)];
        s.points.assignValues(std::move(k == 0 ? male : female));
        // Rows without a label are numbered by their position all the same; a table of a
        // million rows is spared a million label texts.
        if (s.points.size() <= kLabelledPyramidRows)
            for (std::size_t i = 0; i < s.points.size(); ++i)
                s.points.setLabel(i, QString::number(i));
    }
}

void describePyramidChart(FieldColumn male, FieldColumn female, const QString& title, const FontSpec& titleFont,
                          ChartModel& model)
{
    model.title = title;
    model.titleFont = titleFont;
    model.view.enabled = false;
    resetPyramidSeries(model, male.name, female.name);
    // The shares replace the counts in place: a table of a million rows holds one copy.
    const double total = populationTotal(male.values, female.values);
    toShares(male.values, -total);
    toShares(female.values, total);
    setPyramidFrame(model, std::move(male.values), std::move(female.values));
}

ChartModel pyramidChart(const QString& maleTitle, const QString& femaleTitle, const PyramidShares& shares,
                        const QString& title)
{
    ChartModel model;
    model.title = title;
    model.view.enabled = false;
    resetPyramidSeries(model, maleTitle, femaleTitle);
    setPyramidFrame(model, shares.male, shares.female);
    return model;
}

}  // namespace zandor::charts
