// The 帮助 menu: the About box and the manual.
#include <QMenu>
#include <QMenuBar>

#include "ui/app/about_frm.h"
#include "ui/app/help_window.h"
#include "ui/app/main_window.h"
#include "ui/session/session.h"

namespace zandor::ui {
namespace {

const QString kContentsHelpFile = QStringLiteral("\\Zandor.hlp");
const QString kContentsTopic = QStringLiteral("contents");

}  // namespace

QMenu* Tvendol::buildHelpMenu()
{
    QMenu* help = addSubmenu(menuBar(), "Help1", QStringLiteral("帮助（&H）"));
    addCommand(help, "About1", QStringLiteral("关于(&A)"), &Tvendol::About1Click);
    addCommand(help, "Content1", QStringLiteral("内容(&C)"), &Tvendol::Content1Click);
    return help;
}

void Tvendol::About1Click()
{
    openDialog([this] { return new TAbout_Frm(this); }, {TableCheck::None});
}

void Tvendol::Content1Click()
{
    session_->helpFile = kContentsHelpFile;
    // One help window for the whole run, raised again by every later 内容.
    HelpWindow* help = helpWindow();
    if (!help) {
        help = new HelpWindow(this);
        session_->dialogs.remember(help);
    }
    help->showTopic(session_->helpFile, kContentsTopic);
}

}  // namespace zandor::ui
