// The chart area widget.
#include "ui/charts/chart_view.h"

#include <QMouseEvent>
#include <QPainter>

#include "charts/chart_export.h"

namespace zandor::ui {

ChartView::ChartView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(40, 40);
}

charts::ChartModel& ChartView::edit()
{
    update();
    return chart_.edit();
}

QImage ChartView::grabChart() const
{
    return charts::renderToImage(chart_, size());
}

void ChartView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    chart_.render(painter, QRectF(rect()));
}

void ChartView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        emit rightButtonPressed();
    else if (event->button() == Qt::LeftButton)
        emit leftButtonPressed();
    QWidget::mousePressEvent(event);
}

}  // namespace zandor::ui
