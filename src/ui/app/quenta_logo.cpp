#include "ui/app/quenta_logo.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>
#include <cmath>
#include <random>

namespace zandor::ui {

SplashChart::SplashChart(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Chart1"));
    std::mt19937 random(static_cast<std::mt19937::result_type>(
        std::chrono::steady_clock::now().time_since_epoch().count()));
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    for (int i = 0; i < kPoints; ++i) {
        series1[static_cast<std::size_t>(i)] = std::sin(uniform(random)) * 6;
        series2[static_cast<std::size_t>(i)] = std::sin(uniform(random)) * 1.5;
        series3[static_cast<std::size_t>(i)] = std::sin(uniform(random)) * 2;
    }
}

void SplashChart::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF all = rect();
    QLinearGradient background(all.topLeft(), all.bottomLeft());
    background.setColorAt(0, QColor(0, 255, 255));
    background.setColorAt(1, QColor(0, 0, 255));
    p.fillRect(all, background);

    QFont title = font();
    title.setPointSize(26);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::yellow);
    const QRectF titleRect(all.left(), all.top() + 8, all.width(), QFontMetricsF(title).height());
    p.drawText(titleRect, Qt::AlignCenter, QStringLiteral("Velmora"));

    // Plot area with a left axis from 0 to 6.
    const QRectF plot(all.left() + 36, titleRect.bottom() + 10, all.width() - 56, all.bottom() - titleRect.bottom() - 30);
    p.setPen(QPen(QColor(255, 255, 255, 160), 1));
    p.drawLine(plot.bottomLeft(), plot.topLeft());
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    QFont small = font();
    small.setPointSize(7);
    p.setFont(small);
    for (int tick = 0; tick <= 6; tick += 2) {
        const double y = plot.bottom() - plot.height() * tick / 6.0;
        p.drawLine(QPointF(plot.left() - 4, y), QPointF(plot.left(), y));
        p.drawText(QRectF(plot.left() - 30, y - 8, 24, 16), Qt::AlignRight | Qt::AlignVCenter, QString::number(tick));
    }
    const double step = plot.width() / kPoints;
    auto x = [&](int i) { return plot.left() + step * (i + 0.5); };
    auto y = [&](double v) { return plot.bottom() - plot.height() * v / 6.0; };

    p.setPen(QPen(QColor(170, 200, 255), 1));
    p.setBrush(QColor(20, 40, 230));
    for (int i = 0; i < kPoints; ++i) {
        const double top = y(series2[static_cast<std::size_t>(i)]);
        p.drawRect(QRectF(x(i) - step * 0.3, top, step * 0.6, plot.bottom() - top));
    }
    QPainterPath line;
    for (int i = 0; i < kPoints; ++i) {
        const QPointF point(x(i), y(series3[static_cast<std::size_t>(i)]));
        i == 0 ? line.moveTo(point) : line.lineTo(point);
    }
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(line);
    p.setPen(QPen(QColor(120, 0, 0), 1));
    p.setBrush(Qt::red);
    for (int i = 0; i < kPoints; ++i)
        p.drawEllipse(QPointF(x(i), y(series1[static_cast<std::size_t>(i)])), 4, 4);
}

void SplashChart::mousePressEvent(QMouseEvent*) { emit clicked(); }

TQuentaLOGO::TQuentaLOGO(QWidget* parent) : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("QuentaLOGO"));
    resize(520, 340);
    setStyleSheet(QStringLiteral("#QuentaLOGO { background: #1030a0; }"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    Chart1 = new SplashChart(this);
    layout->addWidget(Chart1);

    Label1 = new QLabel(QStringLiteral("Zandor"), Chart1);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont font = Label1->font();
    font.setPointSize(20);
    font.setBold(true);
    font.setItalic(true);
    Label1->setFont(font);
    Label1->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    Label1->adjustSize();
    Label1->installEventFilter(this);
    Chart1->installEventFilter(this);

    connect(Chart1, &SplashChart::clicked, this, &TQuentaLOGO::Chart1Click);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(kShowMilliseconds);
    connect(Timer1, &QTimer::timeout, this, &TQuentaLOGO::Timer1Timer);
    Timer1->start();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

bool TQuentaLOGO::timerEnabled() const { return Timer1->isActive(); }

void TQuentaLOGO::Timer1Timer()
{
    Timer1->stop();
    emit finished();
}

void TQuentaLOGO::Chart1Click()
{
    if (!Timer1->isActive())
        return;
    Timer1->stop();
    emit finished();
}

void TQuentaLOGO::Label1Click() { Chart1Click(); }

bool TQuentaLOGO::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Chart1 && event->type() == QEvent::Resize)
        Label1->move((Chart1->width() - Label1->width()) / 2, 62);
    if (watched == Label1 && event->type() == QEvent::MouseButtonPress) {
        Label1Click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace zandor::ui
