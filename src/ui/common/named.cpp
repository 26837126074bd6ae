#include "ui/common/named.h"

#include <QComboBox>
#include <QSpinBox>

namespace zandor::ui {

QSpinBox* spinBox(QWidget* parent, const char* name, int minimum, int maximum, int value)
{
    auto* box = named(new QSpinBox(parent), name);
    box->setRange(minimum, maximum);
    box->setValue(value);
    return box;
}

QComboBox* fieldList(QWidget* parent, const char* name)
{
    auto* box = named(new QComboBox(parent), name);
    box->setMinimumContentsLength(12);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    return box;
}

}  // namespace zandor::ui
