// The loader step the analysis dialogs share: the field chosen in a combo box read into an
// age series when the choice changes.
#pragma once

#include <vector>

class QComboBox;
class QWidget;

namespace zandor::ui {

class Session;

// Reads the field chosen in `box` from the current table into `into`; nothing happens when
// the box is empty. A field that cannot be read is reported in an information box and leaves
// `into` empty. Returns whether the field was read.
bool readChosenField(QWidget* dialog, Session& session, const QComboBox* box, std::vector<double>& into);

// The population loader: reads the field and reports a value below 0 with "数据格式不正确."
// (the values stay loaded; the press refuses them).
void loadPopulationField(QWidget* dialog, Session& session, const QComboBox* box, std::vector<double>& into);

}  // namespace zandor::ui
