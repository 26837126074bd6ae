// Small controls of the 3-D view dialog: an up-down button pair beside an edit box, and a
// colour swatch that shows a colour and reports a mouse press.
#pragma once

#include <QColor>
#include <QFrame>
#include <QWidget>

class QToolButton;

namespace zandor::ui {

class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);
    // As a click on the upper (up = true) or lower button.
    void click(bool up);

signals:
    void clicked(bool up);

private:
    QToolButton* up_;
    QToolButton* down_;
};

class ColorSwatch : public QFrame {
    Q_OBJECT
public:
    explicit ColorSwatch(const QColor& color, QWidget* parent = nullptr);
    QColor color() const { return color_; }
    void setColor(const QColor& color);

signals:
    void pressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QColor color_;
};

}  // namespace zandor::ui
