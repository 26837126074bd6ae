// Chart model helpers: adding points and series, the series palette and marker shapes.
#include "charts/chart_model.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

namespace zandor::charts {

PointShape pointShapeFromIndex(int index)
{
    if (index < 0 || index >= kPointShapeCount)
        return PointShape::Rectangle;
    return static_cast<PointShape>(index);
}

namespace {

// The entry of row i in pairs kept in row order, or nullptr.
template <class Value>
const Value* entryOf(const std::vector<std::pair<std::size_t, Value>>& entries, std::size_t i)
{
    if (entries.empty())
        return nullptr;
    const auto at = std::lower_bound(entries.begin(), entries.end(), i,
                                     [](const std::pair<std::size_t, Value>& e, std::size_t row) { return e.first < row; });
    return at != entries.end() && at->first == i ? &at->second : nullptr;
}

// Sets (or, with an empty value, removes) the entry of row i.
template <class Value>
void setEntry(std::vector<std::pair<std::size_t, Value>>& entries, std::size_t i, const Value& value, bool empty)
{
    auto at = std::lower_bound(entries.begin(), entries.end(), i,
                               [](const std::pair<std::size_t, Value>& e, std::size_t row) { return e.first < row; });
    const bool found = at != entries.end() && at->first == i;
    if (empty) {
        if (found)
            entries.erase(at);
    } else if (found) {
        at->second = value;
    } else {
        entries.insert(at, {i, value});
    }
}

}  // namespace

void SeriesPoints::clear()
{
    xs_.clear();
    ys_.clear();
    labels_.clear();
    colors_.clear();
}

QString SeriesPoints::label(std::size_t i) const
{
    const QString* own = entryOf(labels_, i);
    return own ? *own : QString();
}

QColor SeriesPoints::color(std::size_t i) const
{
    const QColor* own = entryOf(colors_, i);
    return own ? *own : QColor();
}

void SeriesPoints::append(double y, const QString& label, const QColor& color)
{
    if (!xs_.empty())
        xs_.push_back(static_cast<double>(ys_.size()));
    push(y, label, color);
}

void SeriesPoints::appendXY(double x, double y, const QString& label, const QColor& color)
{
    if (xs_.empty()) {
        xs_.reserve(ys_.capacity());
        for (std::size_t k = 0; k < ys_.size(); ++k)
            xs_.push_back(static_cast<double>(k));
    }
    xs_.push_back(x);
    push(y, label, color);
}

void SeriesPoints::push(double y, const QString& label, const QColor& color)
{
    const std::size_t i = ys_.size();
    ys_.push_back(y);
    if (!label.isEmpty())
        labels_.emplace_back(i, label);
    if (color.isValid())
        colors_.emplace_back(i, color);
}

void SeriesPoints::assignValues(std::vector<double> values)
{
    clear();
    ys_ = std::move(values);
}

void SeriesPoints::setLabel(std::size_t i, const QString& label)
{
    setEntry(labels_, i, label, label.isEmpty());
}

void SeriesPoints::setColor(std::size_t i, const QColor& color)
{
    setEntry(colors_, i, color, !color.isValid());
}

DataPoint SeriesPoints::operator[](std::size_t i) const
{
    return DataPoint{x(i), ys_[i], label(i), color(i)};
}

DataPoint SeriesPoints::at(std::size_t i) const
{
    if (i >= size())
        throw std::out_of_range("SeriesPoints::at: no point " + std::to_string(i));
    return (*this)[i];
}

void Series::add(double y, const QString& label, const QColor& color)
{
    points.append(y, label, color);
}

void Series::addXY(double x, double y, const QString& label, const QColor& color)
{
    hasXValues = true;
    points.appendXY(x, y, label, color);
}

QColor Series::pointColor(std::size_t i) const
{
    if (!points.anyColor())
        return color;
    const QColor own = points.color(i);
    return own.isValid() ? own : color;
}

QColor Series::segmentColor(std::size_t i) const
{
    return colourEachLine ? pointColor(i) : color;
}

Series& ChartModel::addSeries(SeriesKind kind, const QString& seriesTitle, const QColor& color)
{
    Series s;
    s.kind = kind;
    s.title = seriesTitle;
    s.color = color;
    series.push_back(std::move(s));
    return series.back();
}

QColor seriesPaletteColor(int n)
{
    // Hues that stay apart on screen and in grey-scale print.
    static constexpr std::array<QRgb, 10> palette = {
        0x1f77b4, 0xd62728, 0x2ca02c, 0xff7f0e, 0x9467bd,
        0x8c564b, 0xe377c2, 0x7f7f7f, 0xbcbd22, 0x17becf,
    };
    const auto i = static_cast<std::size_t>(n < 0 ? 0 : n) % palette.size();
    return QColor::fromRgb(palette[i]);
}

}  // namespace zandor::charts
