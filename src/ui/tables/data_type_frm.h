// TData_type_frm: the type picker that pops up over a structure grid's type column. A click
// on one of the five type names writes it into the grid's current row and closes the picker.
#pragma once

#include <QFrame>

class QListWidget;

namespace zandor::ui {

class StructureGrid;

class TData_type_frm : public QFrame {
    Q_OBJECT
public:
    explicit TData_type_frm(StructureGrid& grid);

    // Shows the picker with its top left corner at `globalPosition`.
    void popUpAt(const QPoint& globalPosition);

    QListWidget* ListBox1 = nullptr;

public slots:
    void ListBox1Click();

private:
    StructureGrid& grid_;
};

}  // namespace zandor::ui
