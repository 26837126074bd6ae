// TQuentaLOGO: the splash window shown at start, a small chart with the product name that
// goes away after four seconds or at a click.
#pragma once

#include <QWidget>

#include <array>

class QLabel;
class QTimer;

namespace zandor::ui {

// The picture of the splash: three series of 21 random values over a gradient.
class SplashChart : public QWidget {
    Q_OBJECT
public:
    explicit SplashChart(QWidget* parent = nullptr);

    static constexpr int kPoints = 21;
    std::array<double, kPoints> series1{};  // red circles: sin(r)*6
    std::array<double, kPoints> series2{};  // bars drawn in blue: sin(r)*1.5
    std::array<double, kPoints> series3{};  // line drawn in white: sin(r)*2

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

class TQuentaLOGO : public QWidget {
    Q_OBJECT
public:
    static constexpr int kShowMilliseconds = 4000;

    explicit TQuentaLOGO(QWidget* parent = nullptr);

    // Still waiting: the timer has neither fired nor been stopped by a click.
    bool timerEnabled() const;

    SplashChart* Chart1;
    QLabel* Label1;
    QTimer* Timer1;

signals:
    // The timer was disabled: the program goes on to its main window.
    void finished();

public slots:
    void Timer1Timer();
    void Chart1Click();
    void Label1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace zandor::ui
