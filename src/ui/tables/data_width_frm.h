// TData_width_frm: the width picker that pops up below a "Char" row's width cell. SpinEdit1
// holds 1 to 255; confirming it (Enter, or leaving it) writes the value into the grid's
// current row and closes the picker.
#pragma once

#include <QFrame>

class QSpinBox;

namespace zandor::ui {

class StructureGrid;

class TData_width_frm : public QFrame {
    Q_OBJECT
public:
    explicit TData_width_frm(StructureGrid& grid);

    void popUpAt(const QPoint& globalPosition);

    QSpinBox* SpinEdit1 = nullptr;

public slots:
    void SpinEdit1Click();

private:
    StructureGrid& grid_;
};

}  // namespace zandor::ui
