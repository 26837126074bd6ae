#include "ui/common/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <numbers>

namespace zandor::ui {
namespace {

const QColor kInk(0x33, 0x33, 0x44);
const QColor kBlue(0x2f, 0x6f, 0xc8);
const QColor kGreen(0x2e, 0x9e, 0x48);
const QColor kRed(0xd2, 0x3c, 0x32);
const QColor kGold(0xf2, 0xb7, 0x2c);

// A sheet with a blue heading row and grid lines: the picture of a data table.
void sheet(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.fillRect(QRectF(r.left() + 0.6, r.top() + 0.6, r.width() - 1.2, r.height() * 0.22), kBlue);
    p.setPen(QPen(QColor(0x9a, 0xa8, 0xbb), 0.8));
    for (int i = 1; i < 4; ++i) {
        const double y = r.top() + r.height() * (0.22 + 0.195 * i);
        p.drawLine(QPointF(r.left() + 1, y), QPointF(r.right() - 1, y));
    }
    const double x = r.left() + r.width() * 0.4;
    p.drawLine(QPointF(x, r.top() + r.height() * 0.22), QPointF(x, r.bottom() - 1));
}

void badge(QPainter& p, const QColor& colour, const QPointF& centre)
{
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(colour);
    p.drawEllipse(centre, 7.5, 7.5);
}

void plus(QPainter& p, const QPointF& c, double half, const QColor& colour, double width)
{
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(c.x() - half, c.y()), QPointF(c.x() + half, c.y()));
    p.drawLine(QPointF(c.x(), c.y() - half), QPointF(c.x(), c.y() + half));
}

void cross(QPainter& p, const QPointF& c, double half, const QColor& colour, double width)
{
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(c.x() - half, c.y() - half), QPointF(c.x() + half, c.y() + half));
    p.drawLine(QPointF(c.x() - half, c.y() + half), QPointF(c.x() + half, c.y() - half));
}

void triangle(QPainter& p, double tipX, double baseX, const QColor& colour)
{
    QPainterPath path;
    path.moveTo(tipX, 16);
    path.lineTo(baseX, 8);
    path.lineTo(baseX, 24);
    path.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
}

// Horizontal age bars, males to the left and females to the right.
void pyramid(QPainter& p, const QRectF& r)
{
    const double widths[] = {0.30, 0.55, 0.75, 0.9, 1.0};
    const double h = r.height() / 5;
    const double cx = r.center().x();
    for (int i = 0; i < 5; ++i) {
        const double w = r.width() / 2 * widths[i];
        const double y = r.top() + h * i;
        p.fillRect(QRectF(cx - w, y + 0.5, w - 0.5, h - 1), kBlue);
        p.fillRect(QRectF(cx + 0.5, y + 0.5, w - 0.5, h - 1), kRed);
    }
}

void draw(QPainter& p, IconKind kind)
{
    switch (kind) {
    case IconKind::NewTable:
        sheet(p, QRectF(3, 3, 20, 24));
        badge(p, kGreen, QPointF(23, 23));
        plus(p, QPointF(23, 23), 4, Qt::white, 2.2);
        break;
    case IconKind::OpenTable: {
        sheet(p, QRectF(9, 2, 18, 18));
        QPainterPath folder;
        folder.moveTo(2, 12);
        folder.lineTo(10, 12);
        folder.lineTo(12, 14);
        folder.lineTo(28, 14);
        folder.lineTo(30, 29);
        folder.lineTo(2, 29);
        folder.closeSubpath();
        p.setPen(QPen(QColor(0x9c, 0x6b, 0x10), 1.2));
        p.setBrush(kGold);
        p.drawPath(folder);
        break;
    }
    case IconKind::CloseTable:
        sheet(p, QRectF(3, 3, 20, 24));
        badge(p, kRed, QPointF(23, 23));
        cross(p, QPointF(23, 23), 3.2, Qt::white, 2.2);
        break;
    case IconKind::SaveTable:
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8, 4, 16, 9));
        p.fillRect(QRectF(18, 6, 3, 5), kInk);
        p.setBrush(QColor(0xe8, 0xee, 0xf7));
        p.drawRect(QRectF(8, 17, 16, 11));
        break;
    case IconKind::Wizard: {
        p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 28), QPointF(19, 14));
        p.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(17, 16), QPointF(19, 14));
        QPainterPath star;
        const QPointF c(23, 9);
        for (int i = 0; i < 10; ++i) {
            const double radius = i % 2 == 0 ? 7.5 : 3.0;
            const double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
            const QPointF pt(c.x() + radius * std::cos(angle), c.y() + radius * std::sin(angle));
            i == 0 ? star.moveTo(pt) : star.lineTo(pt);
        }
        star.closeSubpath();
        p.setPen(QPen(QColor(0x9c, 0x6b, 0x10), 1));
        p.setBrush(kGold);
        p.drawPath(star);
        break;
    }
    case IconKind::SingleRegion:
        pyramid(p, QRectF(3, 4, 26, 24));
        break;
    case IconKind::UrbanRural:
        pyramid(p, QRectF(2, 10, 17, 18));
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(0x8a, 0x96, 0xa8));
        p.drawRect(QRectF(21, 3, 8, 25));
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 2; ++col)
                p.fillRect(QRectF(22.5 + col * 3.5, 5.5 + row * 4.5, 2, 2.5), kGold);
        break;
    case IconKind::First:
        p.fillRect(QRectF(7, 8, 3, 16), kInk);
        triangle(p, 10, 24, kInk);
        break;
    case IconKind::Prior:
        triangle(p, 9, 23, kInk);
        break;
    case IconKind::Next:
        triangle(p, 23, 9, kInk);
        break;
    case IconKind::Last:
        triangle(p, 22, 8, kInk);
        p.fillRect(QRectF(22, 8, 3, 16), kInk);
        break;
    case IconKind::Insert:
        plus(p, QPointF(16, 16), 9, kGreen, 4);
        break;
    case IconKind::Delete:
        p.setPen(QPen(kRed, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(7, 16), QPointF(25, 16));
        break;
    case IconKind::Edit: {
        QPainterPath pencil;
        pencil.moveTo(6, 26);
        pencil.lineTo(8, 19);
        pencil.lineTo(21, 6);
        pencil.lineTo(26, 11);
        pencil.lineTo(13, 24);
        pencil.closeSubpath();
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kGold);
        p.drawPath(pencil);
        break;
    }
    case IconKind::Post: {
        p.setPen(QPen(kGreen, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath tick;
        tick.moveTo(6, 17);
        tick.lineTo(13, 24);
        tick.lineTo(26, 8);
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
        break;
    }
    case IconKind::Cancel:
        cross(p, QPointF(16, 16), 8, kRed, 4);
        break;
    case IconKind::Refresh: {
        p.setPen(QPen(kBlue, 3.5, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(7, 7, 18, 18), 100 * 16, 280 * 16);
        QPainterPath head;
        head.moveTo(14, 3);
        head.lineTo(21, 7.5);
        head.lineTo(14, 12);
        head.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawPath(head);
        break;
    }
    }
}

QPixmap render(IconKind kind, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    draw(p, kind);
    return pixmap;
}

}  // namespace

QIcon icon(IconKind kind)
{
    QIcon result;
    for (int size : {16, 24, 32, 48})
        result.addPixmap(render(kind, size));
    return result;
}

}  // namespace zandor::ui
