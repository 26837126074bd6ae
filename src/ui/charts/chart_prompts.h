// The colour and print dialogs of the chart windows, in one place so that window tests can
// answer them through hooks instead of real modal dialogs.
#pragma once

#include <QColor>

#include <functional>

class QPrinter;
class QWidget;

namespace zandor::ui {

struct ChartPromptHooks {
    // Returns the colour the dialog ends with: the chosen one, or `initial` when cancelled.
    std::function<QColor(const QColor& initial)> color;
    // Shows the print dialog for `printer`; true when the user asked to print.
    std::function<bool(QPrinter& printer)> print;
};

class ChartPrompts {
public:
    // A colour dialog (fully open, solid colours, any colour) starting at `initial`; a
    // cancelled dialog keeps `initial`.
    static QColor color(QWidget* parent, const QColor& initial);
    static bool print(QWidget* parent, QPrinter& printer);

    // Members left empty use the real dialogs. Returns the hooks installed before.
    static ChartPromptHooks setHooks(ChartPromptHooks hooks);
};

}  // namespace zandor::ui
