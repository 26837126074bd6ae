// Colour and print dialogs of the chart windows.
#include "ui/charts/chart_prompts.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

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
    // The platform's font dialog knows no colour: it is embedded with a colour button beside it.
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("字体"));
    auto* fonts = new QFontDialog(&dialog);
    fonts->setOptions(QFontDialog::NoButtons);
    QFont start = fonts->currentFont();
    start.setPointSize(initial.size > 0 ? initial.size : defaultPoints);
    start.setBold(initial.bold);
    start.setItalic(initial.italic);
    start.setUnderline(initial.underline);
    start.setStrikeOut(initial.strikeOut);
    fonts->setCurrentFont(start);
    QColor colour = initial.color;
    auto* colourButton = new QPushButton(QStringLiteral("颜色..."), &dialog);
    QObject::connect(colourButton, &QPushButton::clicked, &dialog,
                     [&] { colour = ChartPrompts::color(&dialog, colour); });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(fonts);
    layout->addWidget(colourButton, 0, Qt::AlignLeft);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return initial;
    const QFont chosen = fonts->currentFont();
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
