// Up-down buttons and colour swatches.
#include "ui/charts/view_3d_controls.h"

#include <QMouseEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace zandor::ui {

UpDown::UpDown(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    up_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    down_ = new QToolButton(this);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {up_, down_}) {
        b->setFixedSize(18, 12);
        layout->addWidget(b);
    }
    connect(up_, &QToolButton::clicked, this, [this] { emit clicked(true); });
    connect(down_, &QToolButton::clicked, this, [this] { emit clicked(false); });
}

void UpDown::click(bool up) { (up ? up_ : down_)->click(); }

ColorSwatch::ColorSwatch(const QColor& color, QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    setMinimumSize(48, 24);
    setColor(color);
}

void ColorSwatch::setColor(const QColor& color)
{
    color_ = color;
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
}

void ColorSwatch::mousePressEvent(QMouseEvent* event)
{
    QFrame::mousePressEvent(event);
    emit pressed();
}

}  // namespace zandor::ui
