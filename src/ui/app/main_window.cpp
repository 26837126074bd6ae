#include "ui/app/main_window.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <exception>

#include "tables/prepared.h"
#include "tables/table.h"
#include "tables/table_file.h"
#include "text/refusal.h"
#include "ui/analysis/life_table_frm.h"
#include "ui/app/about_frm.h"
#include "ui/app/data_grid.h"
#include "ui/app/help_window.h"
#include "ui/app/navigator.h"
#include "ui/app/session.h"
#include "ui/app/table_model.h"
#include "ui/common/icons.h"
#include "ui/common/prompts.h"
#include "ui/projection/single_region_frm.h"
#include "ui/tables/compute_frm.h"
#include "ui/tables/convert_table.h"
#include "ui/tables/new_table.h"
#include "ui/tables/table_info.h"
#include "ui/tables/table_restructure.h"


namespace zandor::ui {
namespace {

const QString kProduct = QStringLiteral("Velmora");
const QString kNoTable = QStringLiteral("没有打开的数据表!请先打开数据表.");
const QString kNoTableShort = QStringLiteral("没有打开的数据表!");
const QString kOpenFilter = QStringLiteral("*.db (*.db *.DB);;*.dbf (*.dbf *.DBF)");
const QString kSaveFilter = QStringLiteral("DB (*.DB *.db);;DBF (*.dbf *.DBF)");
const QString kSaveSuffix = QStringLiteral("DB");
const QString kContentsHelpFile = QStringLiteral("\\Zandor.hlp");
const QString kContentsTopic = QStringLiteral("contents");
const QString kCannotOpen = QStringLiteral("无法打开数据表 %1:\n%2");
const QString kOpenedReadOnly = QStringLiteral("数据表 %1 是只读文件，已以只读方式打开：可以查看，不能修改。");
const QString kRemarks = QStringLiteral("数据表已创建，以下字段名按文件格式作了调整:\n%1");
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

TTable_info_frm* Tvendol::tableInfoForm() const { return tableInfoForm_; }
TLife_table_frm* Tvendol::lifeTableForm() const { return lifeTableForm_; }
TAbout_Frm* Tvendol::aboutForm() const { return aboutForm_; }
HelpWindow* Tvendol::helpWindow() const { return helpWindow_; }
TSingle_Region_frm* Tvendol::singleRegionForm() const { return singleRegionForm_; }
TNew_Table_Frm* Tvendol::newTableForm() const { return newTableForm_; }
TTable_Restructure_Frm* Tvendol::restructureForm() const { return restructureForm_; }
Tconvert_table_frm* Tvendol::convertForm() const { return convertForm_; }
Tcompute_Frm* Tvendol::computeForm() const { return computeForm_; }

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
    layout->addWidget(DBGrid1, 1);
    layout->addWidget(DBNavigator1);
    setWindowState(windowState() | Qt::WindowMaximized);
}

void Tvendol::buildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto submenu = [this](QWidget* parent, const char* name, const QString& caption) {
        auto* menu = new QMenu(caption, parent);
        menu->setObjectName(QLatin1String(name));
        menu->menuAction()->setObjectName(QLatin1String(name));
        if (auto* owner = qobject_cast<QMenu*>(parent))
            owner->addMenu(menu);
        else
            menuBar()->addMenu(menu);
        return menu;
    };
    auto item = [this](QMenu* menu, const char* name, const QString& caption, void (Tvendol::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };

    QMenu* file = submenu(bar, "Flie1", QStringLiteral("文件（&F）"));
    item(file, "New1", QStringLiteral("新建(&N)"), &Tvendol::New1Click);
    item(file, "Open1", QStringLiteral("打开(&O)"), &Tvendol::Open1Click);
    item(file, "N8", QStringLiteral("预测向导(&Y)"), &Tvendol::N8Click);
    item(file, "Save1", QStringLiteral("保存(&S)"), &Tvendol::Save1Click);
    item(file, "Close1", QStringLiteral("关闭(&C)"), &Tvendol::Close1Click);
    item(file, "Exit1", QStringLiteral("退出(&X)"), &Tvendol::Exit1Click);

    QMenu* data = submenu(bar, "DataManagement1", QStringLiteral("数据管理（&D）"));
    QMenu* prepare = submenu(data, "N9", QStringLiteral("数据准备(&P)"));
    item(prepare, "N10", QStringLiteral("单区域(&S)"), &Tvendol::N10Click);
    item(prepare, "N11", QStringLiteral("分城乡(&U)"), &Tvendol::N11Click);
    item(data, "Table_info", QStringLiteral("表结构(&T)"), &Tvendol::Table_infoClick);
    item(data, "Restructure1", QStringLiteral("修改表结构(&R)"), &Tvendol::Restructure1Click);
    item(data, "Convert1", QStringLiteral("格式转换(&V)"), &Tvendol::Convert1Click);
    item(data, "Compute1", QStringLiteral("计算(&C)"), &Tvendol::Compute1Click);

    QMenu* analysis = submenu(bar, "PopulationAnalysis1", QStringLiteral("人口分析（&P）"));
    QMenu* quality = submenu(analysis, "N2", QStringLiteral("数据质量评价(&E)"));
    item(quality, "N3", QStringLiteral("年龄结构法(&A)"), &Tvendol::N3Click);
    item(quality, "N4", QStringLiteral("联合国法(&U)"), &Tvendol::N4Click);
    item(analysis, "LifeTable1", QStringLiteral("生命表(&L)"), &Tvendol::LifeTable1Click);
    item(analysis, "N7", QStringLiteral("推算年末人口结构(&U)"), &Tvendol::N7Click);
    if (session_->edition() == Edition::Full)
        item(analysis, "N12", QStringLiteral("人口数据标准化(&Z)"), &Tvendol::N12Click);
    QMenu* projection = submenu(analysis, "N5", QStringLiteral("人口预测(&P)"));
    item(projection, "Projection1", QStringLiteral("单区域人口预测(&S)"), &Tvendol::Projection1Click);
    item(projection, "N6", QStringLiteral("分城乡人口预测(&M)"), &Tvendol::N6Click);
    if (session_->edition() == Edition::Target)
        item(analysis, "Simulation1", QStringLiteral("人口目标分析(&S)"), &Tvendol::Simulation1Click);

    QMenu* graph = submenu(bar, "Graph1", QStringLiteral("图形（&G）"));
    item(graph, "Line1", QStringLiteral("线型图(&L)"), &Tvendol::Line1Click);
    item(graph, "Bar1", QStringLiteral("垂直直方图(&B)"), &Tvendol::Bar1Click);
    item(graph, "HorizBar1", QStringLiteral("水平直方图(&H)"), &Tvendol::HorizBar1Click);
    item(graph, "Point1", QStringLiteral("点状图(&P)"), &Tvendol::Point1Click);
    item(graph, "Area1", QStringLiteral("面积图(&A)"), &Tvendol::Area1Click);
    graph->addSeparator()->setObjectName(QStringLiteral("N1"));
    item(graph, "Scator1", QStringLiteral("散点图(&S)"), &Tvendol::Scator1Click);
    item(graph, "AgePyrimider1", QStringLiteral("年龄结构图(&T)"), &Tvendol::AgePyrimider1Click);

    QMenu* help = submenu(bar, "Help1", QStringLiteral("帮助（&H）"));
    item(help, "About1", QStringLiteral("关于(&A)"), &Tvendol::About1Click);
    item(help, "Content1", QStringLiteral("内容(&C)"), &Tvendol::Content1Click);

    topMenus_[0] = file;
    topMenus_[1] = data;
    topMenus_[2] = analysis;
    topMenus_[3] = graph;
    topMenus_[4] = help;
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

// ---- checks and table handling ----

bool Tvendol::tableIsOpen(const QString& message)
{
    if (session_->tableOpen != 0)
        return true;
    Prompts::information(this, message);
    return false;
}

bool Tvendol::tableIsOpen() { return tableIsOpen(kNoTable); }

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
    if (readOnly)
        Prompts::information(this, kOpenedReadOnly.arg(path));
    return true;
}

// ---- 文件 ----

void Tvendol::New1Click()
{
    session_->structureEditorMode = 1;
    if (newTableForm_)
        newTableForm_->deleteLater();
    newTableForm_ = new TNew_Table_Frm(*session_, [this](const QString& path) { return openTable(path); }, this);
    newTableForm_->setWindowModality(Qt::ApplicationModal);
    newTableForm_->show();
}

void Tvendol::Open1Click()
{
    const QString name = Prompts::openFileName(this, kOpenFilter);
    if (name.isEmpty())
        return;
    openTable(name);
}

void Tvendol::N8Click()
{
    // The projection wizard's first page (人口预测向导 第一步) opens here, without a table.
}

void Tvendol::Save1Click()
{
    if (!session_->table().isOpen())
        return;
    if (!postPendingEdit())
        return;
    try {
        session_->table().file().flush();
    } catch (const std::exception& e) {
        Prompts::information(this, errorText(e));
    }
}

void Tvendol::Close1Click() { closeTable(); }

void Tvendol::Exit1Click() { close(); }

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
    if (helpWindow_)
        helpWindow_->close();
    event->accept();
}

// ---- 数据管理 ----

void Tvendol::preparePopulationTable(bool urbanRural)
{
    // The current table is closed before the file is asked for, also when the user then
    // cancels. An edit that cannot be stored keeps the table open instead of being lost.
    if (!closeTable())
        return;
    QString path = Prompts::saveFileName(this, kSaveFilter, kSaveSuffix);
    if (path.isEmpty())
        return;
    path = QString::fromStdString(tables::withDefaultExtension(path.toStdString()));
    tables::PreparedTable prepared;
    try {
        prepared = tables::preparePopulationTable(
            path.toStdString(),
            urbanRural ? tables::PopulationSchema::RuralUrban : tables::PopulationSchema::SingleRegion,
            session_->edition());
    } catch (const Refusal& refusal) {
        Prompts::information(this, QString::fromStdString(refusal.what()));
        return;
    } catch (const std::exception& e) {
        Prompts::information(this, errorText(e));
        return;
    }
    if (!openTable(QString::fromStdString(prepared.path)))
        return;
    if (!prepared.remarks.empty()) {
        QStringList remarks;
        for (const auto& remark : prepared.remarks)
            remarks << QString::fromStdString(remark);
        Prompts::information(this, kRemarks.arg(remarks.join(QLatin1Char('\n'))));
    }
}

void Tvendol::N10Click() { preparePopulationTable(false); }

void Tvendol::N11Click() { preparePopulationTable(true); }

void Tvendol::Table_infoClick()
{
    if (!tableIsOpen())
        return;
    if (tableInfoForm_)
        tableInfoForm_->deleteLater();
    tableInfoForm_ = new TTable_info_frm(this);
    tableInfoForm_->fill(structureRows(session_->table().fields()));
    tableInfoForm_->setWindowModality(Qt::ApplicationModal);
    tableInfoForm_->show();
}

void Tvendol::Restructure1Click()
{
    if (!tableIsOpen(kNoTableShort))
        return;
    if (!postPendingEdit())
        return;
    session_->structureEditorMode = 2;
    const auto rows = structureRows(session_->table().fields());
    if (restructureForm_)
        restructureForm_->deleteLater();
    restructureForm_ =
        new TTable_Restructure_Frm(*session_, [this](const QString& path) { return openTable(path); }, this);
    restructureForm_->fill(rows);
    session_->structureSnapshot = structureSnapshot(rows);
    restructureForm_->setWindowModality(Qt::ApplicationModal);
    restructureForm_->show();
}

void Tvendol::Convert1Click()
{
    if (!tableIsOpen() || !postPendingEdit())
        return;
    if (convertForm_)
        convertForm_->deleteLater();
    convertForm_ = new Tconvert_table_frm(this);
    convertForm_->Edit1->setText(session_->currentTableName);
    convertForm_->setWindowModality(Qt::ApplicationModal);
    convertForm_->show();
}

void Tvendol::Compute1Click()
{
    if (!tableIsOpen() || !postPendingEdit())
        return;
    if (computeForm_)
        computeForm_->deleteLater();
    computeForm_ = new Tcompute_Frm(*session_, this);
    computeForm_->setWindowModality(Qt::ApplicationModal);
    computeForm_->show();
}

// ---- 人口分析 ----

void Tvendol::N3Click()
{
    if (!tableIsOpen())
        return;
    // The age-structure quality indexes (Data Quality) open here.
}

void Tvendol::N4Click()
{
    if (!tableIsOpen())
        return;
    // The UN sex-age accuracy index (联合国法) opens here.
}

void Tvendol::LifeTable1Click()
{
    if (!tableIsOpen())
        return;
    if (lifeTableForm_)
        lifeTableForm_->deleteLater();
    lifeTableForm_ = new TLife_table_frm(*session_, this);
    lifeTableForm_->setWindowModality(Qt::ApplicationModal);
    lifeTableForm_->show();
}

void Tvendol::N7Click()
{
    if (!tableIsOpen())
        return;
    // The end-of-year population structure (推算年末人口数) opens here.
}

void Tvendol::N12Click()
{
    if (!tableIsOpen())
        return;
    // Population standardization (人口数据标准化) opens here.
}

void Tvendol::Projection1Click()
{
    if (!tableIsOpen())
        return;
    if (singleRegionForm_)
        singleRegionForm_->deleteLater();
    singleRegionForm_ = new TSingle_Region_frm(*session_, DBGrid1, this);
    singleRegionForm_->setWindowModality(Qt::ApplicationModal);
    singleRegionForm_->show();
}

void Tvendol::N6Click()
{
    if (!tableIsOpen())
        return;
    // The urban-rural projection dialog opens here.
}

void Tvendol::Simulation1Click()
{
    if (!tableIsOpen())
        return;
    // Population target planning opens here.
}

// ---- 图形 ----

void Tvendol::Line1Click()
{
    if (!tableIsOpen())
        return;
}

void Tvendol::Bar1Click()
{
    if (!tableIsOpen())
        return;
}

void Tvendol::HorizBar1Click()
{
    if (!tableIsOpen())
        return;
}

void Tvendol::Point1Click()
{
    if (!tableIsOpen())
        return;
}

void Tvendol::Area1Click()
{
    if (!tableIsOpen())
        return;
}

void Tvendol::Scator1Click()
{
    if (!tableIsOpen())
        return;
}

void Tvendol::AgePyrimider1Click()
{
    if (!tableIsOpen())
        return;
}

// ---- 帮助 ----

void Tvendol::About1Click()
{
    if (aboutForm_)
        aboutForm_->deleteLater();
    aboutForm_ = new TAbout_Frm(this);
    aboutForm_->setWindowModality(Qt::ApplicationModal);
    aboutForm_->show();
}

void Tvendol::Content1Click()
{
    session_->helpFile = kContentsHelpFile;
    if (!helpWindow_)
        helpWindow_ = new HelpWindow(this);
    helpWindow_->showTopic(session_->helpFile, kContentsTopic);
}

}  // namespace zandor::ui
