// Program start shared by both editions: the splash window, the help file, the main window.
#pragma once

#include <QString>

class QApplication;

#include "text/edition.h"

namespace zandor::ui {

class Tvendol;

// The help file the program names at start.
inline const QString kStartHelpFile = QStringLiteral("C:\\Zandor_Help\\Zandor.HLP");

// The main window of an edition (not yet shown), with the table at tablePath open when one
// is given. Needs a QApplication; does not run the event loop.
Tvendol* createMainWindow(Edition edition, const QString& tablePath);

// Names the program after its edition and installs Qt's own Chinese texts (standard dialogs,
// message-box buttons, the context menus of edit boxes); the program's own texts are
// Chinese already. Returns whether the Qt translation was found and installed.
bool setUpApplication(QApplication& app, Edition edition);

// Shows the splash until it ends, then the maximised main window; returns when that closes.
int runApplication(int argc, char** argv, Edition edition);

}  // namespace zandor::ui
