// FirstRunPanel: while the main window has no table open, its empty grid offers the three
// things a newcomer does first: open a table, open the bundled sample table, start the
// projection wizard. The panel lies over the grid and goes when a table is shown.
#pragma once

#include <QFrame>

#include <functional>

class QAction;
class QCommandLinkButton;
class QTableView;

namespace zandor::ui {

class FirstRunPanel : public QFrame {
    Q_OBJECT
public:
    // openTable and wizard are the menu commands the links trigger; openSample opens the
    // table at the path it is given as the current table.
    FirstRunPanel(QTableView& grid, QAction& openTable, QAction& wizard,
                  std::function<void(const QString&)> openSample);

    // The sample single-region table: in the data folder beside the program's folder (see
    // zandor_version.h), installed or in the build tree.
    static QString samplePath();
    // Where the writable copies of the samples go: "Velmora 示例" in the documents folder.
    static QString sampleCopyFolder();
    // The copy of the sample table the link opens, made with the other samples on first use
    // (madeNow then true); the installed file itself when no copy can be made.
    static QString writableSample(bool& madeNow);

    QCommandLinkButton* OpenTableLink;
    QCommandLinkButton* OpenSampleLink;
    QCommandLinkButton* WizardLink;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow();  // shown exactly while the grid shows no table, over the whole grid

    QTableView& grid_;
};

}  // namespace zandor::ui
