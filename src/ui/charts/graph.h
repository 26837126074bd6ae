// The chart window: a chart area with the series a caller puts on it, buttons to enlarge or
// shrink the plot, save the chart (BMP, PNG, SVG or PDF), print it in landscape and close,
// the pyramid step buttons of the single-region projection, and on a right click the 3-D
// view dialog. Callers show it modally (chart definition dialogs) or not (result dialogs).
#pragma once

#include <QDialog>

#include <functional>

#include "text/edition.h"
#include "ui/charts/chart_view.h"
#include "ui/charts/frame_animator.h"
#include "ui/session/chart_settings.h"

class QPrinter;
class QPushButton;

namespace zandor::ui {

class PyramidFrames;

class TGraph : public QDialog {
    Q_OBJECT
public:
    // A new chart window with the window's chart defaults; it becomes the newest chart window.
    TGraph(ChartSettings& settings, Edition edition, QWidget* parent = nullptr);
    ~TGraph() override;

    ChartView* chartArea() const { return DBChart1; }
    const charts::ChartModel& chartModel() const { return DBChart1->chart().model(); }
    // The chart's model for changing (the chart area repaints).
    charts::ChartModel& editChart() { return DBChart1->edit(); }

    // Animation frames (the pyramid buttons and the result dialogs' animated charts): each
    // runs, the chart repaints, and the next follows after its wait.
    FrameAnimator& animator() { return animator_; }

    // The projection results the pyramid step buttons read (not owned; may be null).
    void setPyramidFrames(PyramidFrames* frames) { pyramidFrames_ = frames; }
    // Shows or hides "<<<" and ">>>|" (hidden at first).
    void setPyramidButtonsVisible(bool visible);

    // Draws the chart for printing on `printer` in landscape, filling its page.
    void printChart(QPrinter& printer);

    // Every margin of the chart moved by `delta` percent (kept within 0..40).
    void shiftMargins(int delta);
    // Where the 3-D view dialog changes the plot size directly.
    void resizeChartArea(int width, int height);

public slots:
    void BitBtn1Click();  // enlarge: every margin one less
    void BitBtn2Click();  // shrink: every margin one more
    void BitBtn3Click();  // "保存"
    void BitBtn5Click();  // "打印"
    void BitBtn6Click();  // "取消"
    void Button1Click();  // "<<<": the previous pyramid frame
    void Button2Click();  // ">>>|": replay every pyramid frame
    void DBChart1MouseDown();  // right button: the 3-D view dialog

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void layoutControls();
    void startPyramid();
    void showPyramidYear(int y, int calendarYear);

    ChartSettings& settings_;
    Edition edition_;
    PyramidFrames* pyramidFrames_ = nullptr;
    FrameAnimator animator_;

    ChartView* DBChart1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* BitBtn3;
    QPushButton* BitBtn5;
    QPushButton* BitBtn6;
    QPushButton* Button1;
    QPushButton* Button2;
};

}  // namespace zandor::ui
