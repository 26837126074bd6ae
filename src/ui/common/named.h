// Gives a control the object name by which the system's documents and the window tests know it,
// and makes the named controls many windows share.
#pragma once

#include <QString>

class QComboBox;
class QSpinBox;
class QWidget;

namespace zandor::ui {

template <typename Widget>
Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A number box (a year, a count) holding `value` within minimum..maximum.
QSpinBox* spinBox(QWidget* parent, const char* name, int minimum, int maximum, int value);

// A list of the current table's fields, wide enough for a dozen characters of a field name.
QComboBox* fieldList(QWidget* parent, const char* name);

}  // namespace zandor::ui
