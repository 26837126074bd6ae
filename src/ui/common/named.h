// Gives a control the object name by which the system's documents and the window tests know it.
#pragma once

#include <QString>

namespace zandor::ui {

template <typename Widget>
Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

}  // namespace zandor::ui
