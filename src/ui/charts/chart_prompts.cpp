// Colour and print dialogs of the chart windows.
#include "ui/charts/chart_prompts.h"

#include <QColorDialog>
#include <QPrintDialog>
#include <QPrinter>

#include <utility>

namespace zandor::ui {
namespace {

ChartPromptHooks& hooks()
{
    static ChartPromptHooks installed;
    return installed;
}

}  // namespace

QColor ChartPrompts::color(QWidget* parent, const QColor& initial)
{
    if (hooks().color)
        return hooks().color(initial);
    QColorDialog dialog(initial, parent);
    if (dialog.exec() != QDialog::Accepted)
        return initial;
    return dialog.selectedColor();
}

bool ChartPrompts::print(QWidget* parent, QPrinter& printer)
{
    if (hooks().print)
        return hooks().print(printer);
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

ChartPromptHooks ChartPrompts::setHooks(ChartPromptHooks next) { return std::exchange(hooks(), std::move(next)); }

}  // namespace zandor::ui
