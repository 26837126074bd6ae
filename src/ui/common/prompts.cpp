#include "ui/common/prompts.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QRegularExpression>
#include <QHeaderView>
#include <QLocale>
#include <QTreeView>
#include <QMessageBox>

#include <utility>

namespace zandor::ui {
namespace {

const QString kTitle = QStringLiteral("Velmora");

PromptHooks& hooks()
{
    static PromptHooks installed;
    return installed;
}

// A box with a short text was so narrow that the window manager cut its title down to
// "V…ra": every box is at least wide enough for the title beside the frame's buttons.
int showBox(QWidget* parent, QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButtons buttons,
            QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, kTitle, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int width = box.fontMetrics().horizontalAdvance(kTitle) + 200;
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
    return box.exec();
}

}  // namespace

void Prompts::information(QWidget* parent, const QString& text)
{
    if (hooks().information) {
        hooks().information(text);
        return;
    }
    showBox(parent, QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::Ok);
}

void Prompts::informationWithCancel(QWidget* parent, const QString& text)
{
    if (hooks().information) {
        hooks().information(text);
        return;
    }
    showBox(parent, QMessageBox::Information, text, QMessageBox::Cancel, QMessageBox::Cancel);
}

bool Prompts::confirm(QWidget* parent, const QString& text)
{
    if (hooks().confirm)
        return hooks().confirm(text);
    return showBox(parent, QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

namespace {

// Qt's own file dialog opens narrow, with its size and date columns cut short: it opens wider,
// and those columns take the width of their longest likely text.
void widenColumns(QFileDialog& dialog)
{
    dialog.resize(std::max(dialog.width(), 760), std::max(dialog.height(), 460));
    auto* view = dialog.findChild<QTreeView*>();
    if (!view)
        return;  // the desktop's own dialog
    const QFontMetrics metrics = view->fontMetrics();
    const QString longestDate = QLocale().toString(QDateTime(QDate(2000, 12, 28), QTime(23, 59)), QLocale::ShortFormat);
    QHeaderView* header = view->header();
    header->resizeSection(1, metrics.horizontalAdvance(QStringLiteral("1023.9 KiB")) + 24);
    header->resizeSection(3, metrics.horizontalAdvance(longestDate) + 24);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
}

}  // namespace

QString Prompts::openFileName(QWidget* parent, const QString& filter)
{
    if (hooks().openFileName)
        return hooks().openFileName(filter);
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(filter);
    widenColumns(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString Prompts::saveFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix)
{
    if (hooks().saveFileName)
        return hooks().saveFileName(filter, defaultSuffix);
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(filter);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    widenColumns(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    // A name typed with an extension keeps it; one without takes the extension of the file
    // type chosen in the dialog ("PNG (*.png)" gives .png), else the default.
    QString name = dialog.selectedFiles().constFirst();
    if (!QFileInfo(name).suffix().isEmpty())
        return name;
    static const QRegularExpression firstPattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    const QRegularExpressionMatch chosen = firstPattern.match(dialog.selectedNameFilter());
    const QString suffix = chosen.hasMatch() ? chosen.captured(1) : defaultSuffix;
    return suffix.isEmpty() ? name : name + QLatin1Char('.') + suffix;
}

PromptHooks Prompts::setHooks(PromptHooks next) { return std::exchange(hooks(), std::move(next)); }

}  // namespace zandor::ui
