#include "ui/common/button_row.h"

#include <QHBoxLayout>

namespace zandor::ui {

QHBoxLayout* buttonRow(std::initializer_list<QWidget*> buttons)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QWidget* button : buttons)
        row->addWidget(button);
    return row;
}

}  // namespace zandor::ui
