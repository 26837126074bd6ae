// Program start shared by both editions: the Qt application, fonts, and the main window.
#pragma once

#include <QString>

#include "text/edition.h"

class QMainWindow;

namespace zandor::ui {

// The main window of an edition, showing the table at tablePath when one is given.
QMainWindow* createMainWindow(Edition edition, const QString& tablePath);

int runApplication(int argc, char** argv, Edition edition);

}  // namespace zandor::ui
