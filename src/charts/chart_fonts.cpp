// Chart fonts: a sans-serif face with Chinese glyphs, sized in pixels.
#include "charts/chart_fonts.h"

#include <QStringList>

#include <cmath>

namespace zandor::charts {

QFont chartFont(double points, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Microsoft YaHei"), QStringLiteral("SimHei"),
                      QStringLiteral("sans-serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0))));
    font.setBold(bold);
    return font;
}

QFont chartFont(const FontSpec& style, int defaultPoints)
{
    QFont font = chartFont(style.size > 0 ? style.size : defaultPoints, style.bold);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    font.setStrikeOut(style.strikeOut);
    return font;
}

}  // namespace zandor::charts
