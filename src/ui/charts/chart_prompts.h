// The colour, font and print dialogs of the chart windows and chart dialogs, in one place so
// that window tests can answer them through hooks instead of real modal dialogs.
#pragma once

#include <QColor>

#include <functional>
#include <optional>

#include "charts/chart_model.h"

class QPrinter;
class QWidget;

namespace zandor::ui {

struct ChartPromptHooks {
    // Returns the colour the dialog ends with: the chosen one, or `initial` when cancelled.
    std::function<QColor(const QColor& initial)> color;
    // The font (size, colour, style) chosen, or nullopt when the dialog was cancelled.
    std::function<std::optional<charts::FontSpec>(const charts::FontSpec& initial)> font;
    // Shows the print dialog for `printer`; true when the user asked to print.
    std::function<bool(QPrinter& printer)> print;
};

class ChartPrompts {
public:
    // A colour dialog (fully open, solid colours, any colour) starting at `initial`; a
    // cancelled dialog keeps `initial`.
    static QColor color(QWidget* parent, const QColor& initial);
    // A font dialog with a colour button, starting at `initial` (a size of 0 shown as
    // `defaultPoints`); a cancelled dialog keeps `initial`.
    static charts::FontSpec font(QWidget* parent, const charts::FontSpec& initial, int defaultPoints);
    static bool print(QWidget* parent, QPrinter& printer);

    // Members left empty use the real dialogs. Returns the hooks installed before.
    static ChartPromptHooks setHooks(ChartPromptHooks hooks);
};

}  // namespace zandor::ui
