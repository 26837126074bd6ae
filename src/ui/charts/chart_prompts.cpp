// Colour and print dialogs of the chart windows.
#include "ui/charts/chart_prompts.h"

#include "charts/chart_fonts.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

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

charts::FontSpec ChartPrompts::font(QWidget* parent, const charts::FontSpec& initial, int defaultPoints)
{
    if (hooks().font)
        return hooks().font(initial).value_or(initial);
    // The standard font dialog (family, style and size lists with a preview); the chart font
    // also has a colour, so a colour button joins its button row.
    QFontDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("FontDialog"));
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    dialog.setWindowTitle(QStringLiteral("字体"));
    // It opens on the font the chart draws with (a Chinese family), at the current size and style.
    QFont start = charts::chartFont(initial, defaultPoints);
    start.setFamily(QFontInfo(start).family());
    start.setPointSize(initial.size > 0 ? initial.size : defaultPoints);
    dialog.setCurrentFont(start);
    QColor colour = initial.color;
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) {
        auto* colourButton = buttons->addButton(QStringLiteral("颜色..."), QDialogButtonBox::ActionRole);
        colourButton->setObjectName(QStringLiteral("ColorButton"));
        QObject::connect(colourButton, &QPushButton::clicked, &dialog,
                         [&] { colour = ChartPrompts::color(&dialog, colour); });
    }
    if (dialog.exec() != QDialog::Accepted)
        return initial;
    const QFont chosen = dialog.selectedFont();
    return charts::FontSpec{chosen.pointSize() > 0 ? chosen.pointSize() : initial.size, colour, chosen.bold(),
                            chosen.italic(), chosen.underline(), chosen.strikeOut()};
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
