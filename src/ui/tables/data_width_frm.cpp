#include "ui/tables/data_width_frm.h"

#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/tables/structure_grid.h"

namespace zandor::ui {

TData_width_frm::TData_width_frm(StructureGrid& grid) : QFrame(&grid, Qt::Popup), grid_(grid)
{
    setObjectName(QStringLiteral("Data_width_frm"));
    setFrameShape(QFrame::Box);
    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setRange(1, 255);
    SpinEdit1->setValue(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(SpinEdit1);
    connect(SpinEdit1, &QSpinBox::editingFinished, this, &TData_width_frm::SpinEdit1Click);
}

void TData_width_frm::popUpAt(const QPoint& globalPosition)
{
    move(globalPosition);
    show();
    SpinEdit1->setFocus();
    SpinEdit1->selectAll();
}

void TData_width_frm::SpinEdit1Click()
{
    if (!isVisible())
        return;
    grid_.writeWidth(SpinEdit1->value());
    close();
}

}  // namespace zandor::ui
