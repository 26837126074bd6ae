// The animated charts of the single-region results dialog: the line chart (a grey pass, then
// the points turning red one by one), the bar chart (bars appearing one by one) and the age
// pyramid (one frame per projected year), each in a new chart window; and the result set as
// the frames the chart windows' pyramid buttons step through.
#pragma once

#include <QString>

#include <string>
#include <vector>

#include "projection/indicators.h"
#include "text/edition.h"
#include "ui/charts/pyramid_frames.h"

class QWidget;

namespace zandor::ui {

struct ChartSettings;
class TGraph;

// The caption of both results dialogs: "预测结果", marked when the run used the exact mode.
QString resultsCaption(bool exact);

// The waits between animation frames.
inline constexpr int kSeriesFrameMs = 400;   // line and bar charts
inline constexpr int kPyramidFrameMs = 300;  // age pyramid

// The pyramid buttons read the result set of the last run as it stands when pressed, and
// move the session's pyramid frame cursor.
class ResultSetPyramidFrames : public PyramidFrames {
public:
    ResultSetPyramidFrames(const projection::ProjectionResultSet& results, int& cursor)
        : results_(results), cursor_(cursor)
    {
    }

    int baseYear() const override { return results_.baseYear; }
    int yearCount() const override { return results_.yearCount; }
    std::vector<double> maleShares(int y) const override;
    std::vector<double> femaleShares(int y) const override;
    int frameCursor() const override { return cursor_; }
    void setFrameCursor(int k) override { cursor_ = k; }

private:
    const projection::ProjectionResultSet& results_;
    int& cursor_;
};

// A new chart window owned by `owner` (it stays open after the owner closes) showing a
// series plan animated: line chart, or bar chart when `bars`. Any other plan makes the
// window but does not show it. The animation runs on the window's timer.
TGraph* showSeriesChart(ChartSettings& settings, Edition edition, QWidget* owner, const projection::ChartPlan& plan,
                        bool bars);

// How an age pyramid plays: the title's font size and the wait between frames.
struct PyramidStyle {
    int titleSize = 18;
    int frameMs = kPyramidFrameMs;
};

// A new chart window owned by `owner` playing the frames of an age pyramid (first title
// `title`), then showing the last frame again; the step buttons stay hidden.
TGraph* showPyramidChart(ChartSettings& settings, Edition edition, QWidget* owner, const std::string& title,
                         std::vector<projection::PyramidFrame> frames, const PyramidStyle& style);

// A new chart window owned by `owner` (it stays open after the owner closes) showing `plan`
// animated: line chart, or bar chart when `bars`; the pyramid of `results` for a pyramid plan,
// with its step buttons reading `frames`. A plan without a chart makes the window but does
// not show it. The animation runs on the window's timer: the caller returns at once.
TGraph* showIndicatorChart(ChartSettings& settings, Edition edition, QWidget* owner,
                           const projection::ProjectionResultSet& results, const projection::ChartPlan& plan,
                           bool bars, PyramidFrames* frames);

// One line of a chart of several lines: its name in the legend and a value per year.
struct NamedLine {
    QString name;
    std::vector<double> values;
};

// A new chart window owned by `owner` showing the lines together over the calendar years
// `labels` (the projection variants as a fan), with a legend; drawn at once, no animation.
TGraph* showLinesChart(ChartSettings& settings, Edition edition, QWidget* owner, const QString& title,
                       const std::vector<std::string>& labels, const std::vector<NamedLine>& lines);

}  // namespace zandor::ui
