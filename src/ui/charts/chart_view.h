// The chart area of a chart window: draws a chart and reports a right click.
#pragma once

#include <QImage>
#include <QWidget>

#include "charts/chart.h"

namespace zandor::ui {

class ChartView : public QWidget {
    Q_OBJECT
public:
    explicit ChartView(QWidget* parent = nullptr);

    const charts::Chart& chart() const { return chart_; }
    // The model for changing; the chart is repainted on the next paint event.
    charts::ChartModel& edit();

    // The chart as displayed, at the area's size.
    QImage grabChart() const;

signals:
    void rightButtonPressed();
    void leftButtonPressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    charts::Chart chart_;
};

}  // namespace zandor::ui
