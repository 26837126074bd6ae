#include "ui/common/prompts.h"

#include <QFileDialog>
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

}  // namespace

void Prompts::information(QWidget* parent, const QString& text)
{
    if (hooks().information) {
        hooks().information(text);
        return;
    }
    QMessageBox::information(parent, kTitle, text, QMessageBox::Ok);
}

void Prompts::informationWithCancel(QWidget* parent, const QString& text)
{
    if (hooks().information) {
        hooks().information(text);
        return;
    }
    QMessageBox::information(parent, kTitle, text, QMessageBox::Cancel);
}

bool Prompts::confirm(QWidget* parent, const QString& text)
{
    if (hooks().confirm)
        return hooks().confirm(text);
    return QMessageBox::question(parent, kTitle, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
           QMessageBox::Yes;
}

QString Prompts::openFileName(QWidget* parent, const QString& filter)
{
    if (hooks().openFileName)
        return hooks().openFileName(filter);
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

QString Prompts::saveFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix)
{
    if (hooks().saveFileName)
        return hooks().saveFileName(filter, defaultSuffix);
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

PromptHooks Prompts::setHooks(PromptHooks next) { return std::exchange(hooks(), std::move(next)); }

}  // namespace zandor::ui
