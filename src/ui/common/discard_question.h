// Esc and the title bar's close button on a dialog holding schedules the user typed or loaded
// ask before that input is thrown away; the dialog's own 取消 does not ask.
#pragma once

#include <QString>

#include "ui/common/prompts.h"

namespace zandor::ui {

inline const QString kDiscardQuestion = QStringLiteral("确认放弃输入的数据?");

// True when the dialog may close: nothing was entered, or the user agreed to drop it.
inline bool mayDiscard(QWidget* dialog, bool entered) { return !entered || Prompts::confirm(dialog, kDiscardQuestion); }

}  // namespace zandor::ui
