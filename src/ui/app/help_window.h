// The help window: shows the program's manual (Chinese HTML bundled with the program) at a
// topic. Every help-file name the program uses maps to this manual.
#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace zandor::ui {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the manual that `helpFile` names, scrolled to `topic`.
    void showTopic(const QString& helpFile, const QString& topic);

    // Where the manual for a help-file name and topic lives (an anchor of the manual).
    static QUrl manualUrl(const QString& helpFile, const QString& topic);

    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

}  // namespace zandor::ui
