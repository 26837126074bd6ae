// The one place where windows ask the user something or tell them something: information
// boxes, yes/no questions and the open/save file dialogs. Window tests answer them by
// installing hooks instead of clicking real modal boxes.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace zandor::ui {

struct PromptHooks {
    std::function<void(const QString& text)> information;
    std::function<bool(const QString& text)> confirm;
    // filter in Qt's "Name (*.a *.b);;Other (*.c)" form
    std::function<QString(const QString& filter)> openFileName;
    std::function<QString(const QString& filter, const QString& defaultSuffix)> saveFileName;
};

class Prompts {
public:
    // An information box with a single OK button, titled with the product name.
    static void information(QWidget* parent, const QString& text);
    // The same box with a single Cancel button instead of OK (the save messages of the
    // life-table result window). Answered by the same hook.
    static void informationWithCancel(QWidget* parent, const QString& text);
    // A question with Yes and No; true for Yes.
    static bool confirm(QWidget* parent, const QString& text);
    // The file chosen in an open dialog, or the empty text when cancelled.
    static QString openFileName(QWidget* parent, const QString& filter);
    // The file chosen in a save dialog (no overwrite question: the caller decides what an
    // existing file means), with the chosen file type's extension (else
    // defaultSuffix) added to a name typed without one.
    static QString saveFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix);

    // Members left empty use the real dialogs. Returns the hooks that were installed before.
    static PromptHooks setHooks(PromptHooks hooks);
};

}  // namespace zandor::ui
