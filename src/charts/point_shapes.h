// The outlines of the nine marker shapes of point series and line pointers.
#pragma once

#include <QPainterPath>
#include <QPointF>
#include <QSizeF>

#include "charts/chart_model.h"

namespace zandor::charts {

// The marker centred on `centre`, `size` wide and high (the small dot ignores the size).
QPainterPath markerPath(PointShape shape, const QPointF& centre, const QSizeF& size);

// Crosses are drawn as strokes in the marker's colour; the other shapes are filled.
bool markerIsStroked(PointShape shape);

}  // namespace zandor::charts
