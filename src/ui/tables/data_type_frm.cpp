#include "ui/tables/data_type_frm.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "ui/tables/structure_grid.h"

namespace zandor::ui {

TData_type_frm::TData_type_frm(StructureGrid& grid) : QFrame(&grid, Qt::Popup), grid_(grid)
{
    setObjectName(QStringLiteral("Data_type_frm"));
    setFrameShape(QFrame::Box);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->addItems({QStringLiteral("Integer"), QStringLiteral("Float"), QStringLiteral("Char"),
                        QStringLiteral("Boolean"), QStringLiteral("Date")});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(ListBox1);
    resize(110, 5 * ListBox1->sizeHintForRow(0) + 8);
    connect(ListBox1, &QListWidget::itemClicked, this, &TData_type_frm::ListBox1Click);
}

void TData_type_frm::popUpAt(const QPoint& globalPosition)
{
    ListBox1->clearSelection();
    move(globalPosition);
    show();
    ListBox1->setFocus();
}

void TData_type_frm::ListBox1Click()
{
    if (QListWidgetItem* item = ListBox1->currentItem())
        grid_.writeType(item->text());
    close();
}

}  // namespace zandor::ui
