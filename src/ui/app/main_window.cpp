#include "ui/app/main_window.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <exception>
#include <utility>

#include "tables/table.h"
#include "ui/analysis/life_table_frm.h"
#include "ui/app/about_frm.h"
#include "ui/app/first_run_panel.h"
#include "ui/app/help_window.h"
#include "ui/app/navigator.h"
#include "ui/common/icons.h"
#include "ui/common/prompts.h"
#include "ui/projection/single_region_frm.h"
#include "ui/session/session.h"
#include "ui/tables/data_grid.h"
#include "ui/tables/table_info.h"

namespace zandor::ui {
namespace {

const QString kProduct = QStringLiteral("Velmora");
const QString kNoTable = QStringLiteral("没有打开的数据表!请先打开数据表.");
const QString kNoTableShort = QStringLiteral("没有打开的数据表!");
const QString kCannotOpen = QStringLiteral("无法打开数据表 %1:\n%2");
const QString kOpenedReadOnly = QStringLiteral("数据表 %1 是只读文件，已以只读方式打开：可以查看，不能修改。");
const QString kUnsavedOnExit = QStringLiteral("当前记录的修改无法保存。放弃这些修改并退出吗?");

QString errorText(const std::exception& e) { return QString::fromStdString(e.what()); }

}  // namespace

Tvendol::Tvendol(Edition edition, QWidget* parent) : QMainWindow(parent), session_(new Session(edition, this))
{
    FormCreate();
}

Tvendol::~Tvendol()
{
    // The grid reads the session's table: it goes before the session does.
    delete takeCentralWidget();
}

TTable_info_frm* Tvendol::tableInfoForm() const { return session_->dialogs.of<TTable_info_frm>(); }
TLife_table_frm* Tvendol::lifeTableForm() const { return session_->dialogs.of<TLife_table_frm>(); }
TAbout_Frm* Tvendol::aboutForm() const { return session_->dialogs.of<TAbout_Frm>(); }
HelpWindow* Tvendol::helpWindow() const { return session_->dialogs.of<HelpWindow>(); }
TSingle_Region_frm* Tvendol::singleRegionForm() const { return session_->dialogs.of<TSingle_Region_frm>(); }

void Tvendol::FormCreate()
{
    setObjectName(QStringLiteral("vendol"));
    setWindowTitle(kProduct);
    resize(1024, 720);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(central);

    buildMenus();
    buildToolBars(central);

    DBGrid1 = new DataGrid(*session_, central);
    DBNavigator1 = new Navigator(*DBGrid1, central);
    // Without a table, the empty grid offers the first steps through the same commands.
    new FirstRunPanel(*DBGrid1, *findChild<QAction*>(QStringLiteral("Open1")),
                      *findChild<QAction*>(QStringLiteral("N8")), [this](const QString& path) { openTable(path); });
    layout->addWidget(DBGrid1, 1);
    layout->addWidget(DBNavigator1);
    setWindowState(windowState() | Qt::WindowMaximized);
}

// ---- menus and tool bars ----

void Tvendol::buildMenus()
{
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    topMenus_[0] = buildFileMenu();
    topMenus_[1] = buildDataMenu();
    topMenus_[2] = buildAnalysisMenu();
    topMenus_[3] = buildGraphMenu();
    topMenus_[4] = buildHelpMenu();
}

QMenu* Tvendol::addSubmenu(QWidget* parent, const char* name, const QString& caption)
{
    auto* menu = new QMenu(caption, parent);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    if (auto* owner = qobject_cast<QMenu*>(parent))
        owner->addMenu(menu);
    else
        menuBar()->addMenu(menu);
    return menu;
}

QAction* Tvendol::addCommand(QMenu* menu, const char* name, const QString& caption, void (Tvendol::*handler)())
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    connect(action, &QAction::triggered, this, handler);
    return action;
}

void Tvendol::buildToolBars(QWidget* central)
{
    auto controlBar = [&](const char* barName, const char* toolBarName) {
        auto* frame = new QFrame(central);
        frame->setObjectName(QLatin1String(barName));
        frame->setFrameShape(QFrame::StyledPanel);
        frame->setFrameShadow(QFrame::Raised);
        auto* layout = new QHBoxLayout(frame);
        layout->setContentsMargins(2, 1, 2, 1);
        auto* toolBar = new QToolBar(frame);
        toolBar->setObjectName(QLatin1String(toolBarName));
        toolBar->setMovable(false);
        toolBar->setFloatable(false);
        // The tool bar spans its control bar.
        layout->addWidget(toolBar, 1);
        central->layout()->addWidget(frame);
        return toolBar;
    };

    QToolBar* menus = controlBar("ControlBar1", "ToolBar1");
    menus->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const char* menuButtons[] = {"ToolButton1", "ToolButton2", "ToolButton3", "ToolButton4", "ToolButton5"};
    for (int i = 0; i < 5; ++i) {
        auto* button = new QToolButton(menus);
        button->setObjectName(QLatin1String(menuButtons[i]));
        button->setText(topMenus_[i]->title());
        // The menu bar owns the Alt+letter keys; the buttons only drop the menus down.
        button->setShortcut(QKeySequence());
        button->setMenu(topMenus_[i]);
        button->setPopupMode(QToolButton::InstantPopup);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        menus->addWidget(button);
    }

    QToolBar* commands = controlBar("ControlBar2", "ToolBar2");
    commands->setIconSize(QSize(24, 24));
    struct Command {
        const char* name;
        IconKind icon;
        const char* hint;
        void (Tvendol::*handler)();
    };
    const Command buttons[] = {
        {"ToolButton6", IconKind::NewTable, "新建数据表", &Tvendol::New1Click},
        {"ToolButton7", IconKind::OpenTable, "打开数据表", &Tvendol::Open1Click},
        {"ToolButton8", IconKind::CloseTable, "关闭数据表", &Tvendol::Close1Click},
        {"ToolButton9", IconKind::SaveTable, "保存数据表", &Tvendol::Save1Click},
        {"ToolButton10", IconKind::Wizard, "人口预测向导", &Tvendol::N8Click},
        {"ToolButton11", IconKind::SingleRegion, "单区域人口预测数据准备", &Tvendol::N10Click},
        {"ToolButton12", IconKind::UrbanRural, "分城乡人口预测数据准备", &Tvendol::N11Click},
    };
    for (const auto& command : buttons) {
        auto* button = new QToolButton(commands);
        button->setObjectName(QLatin1String(command.name));
        button->setIcon(icon(command.icon));
        button->setToolTip(QString::fromUtf8(command.hint));
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setAutoRaise(true);
        connect(button, &QToolButton::clicked, this, command.handler);
        commands->addWidget(button);
    }
}

// ---- opening a command's window ----

bool Tvendol::passesTableCheck(TableCheck check)
{
    if (check == TableCheck::None || session_->tableOpen())
        return true;
    Prompts::information(this, check == TableCheck::RequiredShort ? kNoTableShort : kNoTable);
    return false;
}

void Tvendol::openDialog(const DialogFactory& create, Opening how)
{
    if (!passesTableCheck(how.check))
        return;
    QWidget* dialog = create();
    if (QWidget* previous = session_->dialogs.remember(dialog))
        previous->deleteLater();
    dialog->setWindowModality(how.modality);
    dialog->show();
}

void Tvendol::openDialog(const DialogFactory& create) { openDialog(create, Opening{}); }

// ---- the current table ----

bool Tvendol::postPendingEdit()
{
    if (!session_->table().isOpen())
        return true;
    return DBGrid1->postPendingEdit();
}

bool Tvendol::closeTable()
{
    if (!postPendingEdit())
        return false;
    try {
        session_->closeCurrentTable();
    } catch (const std::exception& e) {
        Prompts::information(this, errorText(e));
        return false;
    }
    return true;
}

bool Tvendol::openTable(const QString& path)
{
    if (!postPendingEdit())
        return false;
    const QFileInfo info(path);
    // A file the user may not write is shown read-only instead of refused.
    const bool readOnly = info.exists() && !info.isWritable();
    try {
        auto table = tables::Table::open(path.toStdString(), readOnly);
        session_->setCurrentTable(std::move(table), path);
    } catch (const std::exception& e) {
        Prompts::information(this, kCannotOpen.arg(path, errorText(e)));
        return false;
    }
    if (readOnly) {
        // At start-up the table opens before the window shows: the notice waits for the
        // window, so that it opens centred on it and with the focus.
        if (isVisible())
            Prompts::information(this, kOpenedReadOnly.arg(path));
        else
            pendingNotice_ = kOpenedReadOnly.arg(path);
    }
    return true;
}

// The window manager maximises the window some moments after it shows: the notice waits
// until the window's size has settled, so that it is centred on the window it belongs to.
void Tvendol::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!pendingNotice_.isEmpty())
        noticeTimer()->start();
}

void Tvendol::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (!pendingNotice_.isEmpty() && isVisible())
        noticeTimer()->start();
}

QTimer* Tvendol::noticeTimer()
{
    if (!noticeTimer_) {
        noticeTimer_ = new QTimer(this);
        noticeTimer_->setSingleShot(true);
        noticeTimer_->setInterval(300);
        connect(noticeTimer_, &QTimer::timeout, this, [this] {
            const QString notice = std::exchange(pendingNotice_, QString());
            if (notice.isEmpty())
                return;
            activateWindow();
            Prompts::information(this, notice);
        });
    }
    return noticeTimer_;
}

void Tvendol::closeEvent(QCloseEvent* event)
{
    if (!postPendingEdit()) {
        if (!Prompts::confirm(this, kUnsavedOnExit)) {
            event->ignore();
            return;
        }
        DBGrid1->cancelRecord();
    }
    try {
        session_->closeCurrentTable();
    } catch (const std::exception& e) {
        Prompts::information(this, errorText(e));
    }
    if (HelpWindow* help = helpWindow())
        help->close();
    event->accept();
}

}  // namespace zandor::ui
