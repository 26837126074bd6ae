// The row of buttons at the foot of a dialog: right-aligned, in the order given.
#pragma once

#include <initializer_list>

class QHBoxLayout;
class QWidget;

namespace zandor::ui {

QHBoxLayout* buttonRow(std::initializer_list<QWidget*> buttons);

}  // namespace zandor::ui
