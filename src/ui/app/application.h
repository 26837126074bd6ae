// Program start shared by both editions: the Qt application, fonts, and the main window.
#pragma once

#include "text/edition.h"

namespace zandor::ui {

int runApplication(int argc, char** argv, Edition edition);

}  // namespace zandor::ui
