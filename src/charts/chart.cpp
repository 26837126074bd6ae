// Chart rendering with a layout cached per size and model revision.
#include "charts/chart.h"

#include <QPainter>

namespace zandor::charts {

const ChartLayout& Chart::layout(const QSizeF& size) const
{
    if (!layout_ || layoutRevision_ != revision_ || layout_->size != size) {
        layout_ = layoutChart(model_, size);
        layoutRevision_ = revision_;
    }
    return *layout_;
}

void Chart::render(QPainter& painter, const QRectF& target) const
{
    if (target.isEmpty())
        return;
    const ChartLayout& cached = layout(target.size());
    painter.save();
    painter.translate(target.topLeft());
    painter.setClipRect(QRectF(QPointF(0, 0), target.size()), Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    paintDisplayList(painter, cached.items);
    painter.restore();
}

}  // namespace zandor::charts
