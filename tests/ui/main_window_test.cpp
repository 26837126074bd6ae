// Tvendol driven by object name: the menu bar of both editions, the tool bars, the
// open-table checks, Open, Close, Exit, data preparation, the structure display and bad
// table files.
#include <QtTest>

#include <QAbstractButton>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

#include <unistd.h>

#include <memory>

#include "tables/prepared.h"
#include "tables/xlsx_writer.h"
#include "test_support.h"
#include "ui/app/first_run_panel.h"
#include "ui/app/main_window.h"
#include "ui/session/session.h"
#include "ui/session/structure_rows.h"
#include "ui/tables/data_grid.h"
#include "ui/tables/import_table.h"
#include "ui/tables/table_info.h"
#include "ui/tables/table_model.h"

using namespace testing_support;
using zandor::Edition;
using zandor::ui::Session;
using zandor::ui::Tvendol;
using Mode = Session::StructureEditorMode;

Q_DECLARE_METATYPE(zandor::Edition)

namespace {

const QString kNoTable = QStringLiteral("没有打开的数据表!请先打开数据表.");
const QString kNoTableShort = QStringLiteral("没有打开的数据表!");
const QString kFileExists = QStringLiteral(" 文件已存在，请输入新文件名.");
// The menu bar as "name|caption" lines, submenu entries indented by two spaces a level.
QStringList menuOutline(const QList<QAction*>& actions, int depth = 0)
{
    QStringList lines;
    const QString indent(depth * 2, QLatin1Char(' '));
    for (QAction* a : actions) {
        lines << indent + a->objectName() + "|" + (a->isSeparator() ? QStringLiteral("-") : a->text());
        if (a->menu())
            lines << menuOutline(a->menu()->actions(), depth + 1);
    }
    return lines;
}

QStringList expectedMenus(Edition edition)
{
    QStringList lines = {
        "Flie1|文件（&F）",
        "  New1|新建(&N)",
        "  Open1|打开(&O)",
        "  Import1|导入(&I)…",
        "  Export1|导出(&E)…",
        "  N8|预测向导(&Y)",
        "  Save1|保存(&S)",
        "  Close1|关闭(&C)",
        "  Exit1|退出(&X)",
        "DataManagement1|数据管理（&D）",
        "  N9|数据准备(&P)",
        "    N10|单区域(&S)",
        "    N11|分城乡(&U)",
        "  Table_info|表结构(&T)",
        "  Restructure1|修改表结构(&R)",
        "  Convert1|格式转换(&V)",
        "  Compute1|计算(&C)",
        "PopulationAnalysis1|人口分析（&P）",
        "  N2|数据质量评价(&E)",
        "    N3|年龄结构法(&A)",
        "    N4|联合国法(&U)",
        "    N13|年龄数据调整(&J)",
        "  LifeTable1|生命表(&L)",
        "  N7|推算年末人口结构(&U)",
        "  N12|人口数据标准化(&Z)",
        "  N5|人口预测(&P)",
        "    Projection1|单区域人口预测(&S)",
        "    N6|分城乡人口预测(&M)",
        "Graph1|图形（&G）",
        "  Line1|线型图(&L)",
        "  Bar1|垂直直方图(&B)",
        "  HorizBar1|水平直方图(&H)",
        "  Point1|点状图(&P)",
        "  Area1|面积图(&A)",
        "  N1|-",
        "  Scator1|散点图(&S)",
        "  AgePyrimider1|年龄结构图(&T)",
        "Help1|帮助（&H）",
        "  About1|关于(&A)",
        "  Content1|内容(&C)",
    };
    if (edition == Edition::Target) {
        lines.removeAll("  N12|人口数据标准化(&Z)");
        lines.insert(lines.indexOf("    N6|分城乡人口预测(&M)") + 1, "  Simulation1|人口目标分析(&S)");
    }
    return lines;
}

// Commands that need an open table, with the message each gives without one.
const std::pair<const char*, const QString*> kTableCommands[] = {
    {"Table_info", &kNoTable}, {"Restructure1", &kNoTableShort}, {"Convert1", &kNoTable}, {"Compute1", &kNoTable},
    {"N3", &kNoTable},         {"N4", &kNoTable},                {"N13", &kNoTable},
    {"LifeTable1", &kNoTable}, {"N7", &kNoTable},
    {"N12", &kNoTable},        {"Projection1", &kNoTable},       {"N6", &kNoTable},       {"Simulation1", &kNoTable},
    {"Line1", &kNoTable},      {"Bar1", &kNoTable},              {"HorizBar1", &kNoTable}, {"Point1", &kNoTable},
    {"Area1", &kNoTable},      {"Scator1", &kNoTable},           {"AgePyrimider1", &kNoTable},
};

void openMemoryTable(Tvendol& window, std::shared_ptr<MemoryStore> store)
{
    window.session().setCurrentTable(tables::Table(std::make_unique<MemoryTableFile>(std::move(store))),
                                     QStringLiteral("/data/memory.DB"));
}

QString prepare(const QString& path, tables::PopulationSchema schema = tables::PopulationSchema::SingleRegion)
{
    return QString::fromStdString(tables::preparePopulationTable(path.toStdString(), schema, Edition::Full).path);
}

QStringList headers(Tvendol& window)
{
    QStringList names;
    auto* model = window.grid()->model();
    for (int c = 0; c < model->columnCount(); ++c)
        names << model->headerData(c, Qt::Horizontal).toString();
    return names;
}

void triggerOrClick(Tvendol& window, const QString& name)
{
    if (QAction* a = action(&window, name)) {
        a->trigger();
        return;
    }
    auto* button = window.findChild<QToolButton*>(name);
    QVERIFY2(button, qPrintable(name));
    button->click();
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void menuBarOfEachEdition_data()
    {
        QTest::addColumn<Edition>("edition");
        QTest::newRow("Zandor") << Edition::Full;
        QTest::newRow("ZandorT") << Edition::Target;
    }

    void menuBarOfEachEdition()
    {
        QFETCH(Edition, edition);
        Tvendol window(edition);
        QCOMPARE(window.menuBar()->objectName(), QString("MainMenu1"));
        const QStringList actual = menuOutline(window.menuBar()->actions());
        const QStringList expected = expectedMenus(edition);
        QCOMPARE(actual, expected);
        // Every command carries its handler under the name the menu documents give.
        for (const QString& line : expected) {
            const QString name = line.trimmed().section('|', 0, 0);
            QAction* a = action(&window, name);
            QVERIFY2(a, qPrintable(name));
            if (a->menu() || a->isSeparator())
                continue;
            const QByteArray slot = (name + "Click()").toLatin1();
            QVERIFY2(window.metaObject()->indexOfSlot(slot) >= 0, slot.constData());
        }
        // The target-planning handler exists in both editions, bound to a menu item in ZandorT only.
        QVERIFY(window.metaObject()->indexOfSlot("Simulation1Click()") >= 0);
    }

    void commandsNeedAnOpenTable_data()
    {
        QTest::addColumn<Edition>("edition");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("message");
        for (const auto& [name, message] : kTableCommands) {
            const Edition edition = QLatin1String(name) == "Simulation1" ? Edition::Target : Edition::Full;
            QTest::newRow(name) << edition << QString(name) << *message;
        }
        QTest::newRow("N12 in ZandorT has no item") << Edition::Target << QString("N12") << QString();
    }

    void commandsNeedAnOpenTable()
    {
        QFETCH(Edition, edition);
        QFETCH(QString, command);
        QFETCH(QString, message);
        PromptRecorder prompts;
        Tvendol window(edition);
        QAction* a = action(&window, command);
        if (message.isEmpty()) {
            QVERIFY(!a);
            return;
        }
        QVERIFY(a);
        a->trigger();
        QCOMPARE(prompts.messages, QStringList{message});
        QVERIFY(!window.tableInfoForm());
        QCOMPARE(window.session().structureEditorMode, Mode::None);

        // With a table open the check passes silently.
        prompts.messages.clear();
        openMemoryTable(window, populationTable());
        a->trigger();
        QCOMPARE(prompts.messages, QStringList{});
    }

    void commandsWithoutTheCheckRunWithoutATable_data()
    {
        QTest::addColumn<QString>("command");
        for (const char* name : {"New1", "N8", "Save1", "Close1", "About1", "Content1", "ToolButton6", "ToolButton8",
                                 "ToolButton9", "ToolButton10"})
            QTest::newRow(name) << QString(name);
    }

    void commandsWithoutTheCheckRunWithoutATable()
    {
        QFETCH(QString, command);
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        triggerOrClick(window, command);
        QCOMPARE(prompts.messages, QStringList{});
        QCOMPARE(window.session().tableOpen(), false);
    }

    void newSetsTheDefinitionMode()
    {
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        action(&window, "New1")->trigger();
        QCOMPARE(window.session().structureEditorMode, Mode::Define);
    }

    // Every command opens its window through one path: a fresh instance replaces the
    // previous one as the session's newest, shown modally.
    void aCommandReplacesTheNewestInstance()
    {
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        window.show();
        openMemoryTable(window, populationTable());
        action(&window, "Table_info")->trigger();
        QPointer<zandor::ui::TTable_info_frm> first = window.tableInfoForm();
        QVERIFY(first);
        QCOMPARE(window.session().dialogs.of<zandor::ui::TTable_info_frm>(), first.data());
        action(&window, "Table_info")->trigger();
        auto* second = window.tableInfoForm();
        QVERIFY(second && second != first);
        QVERIFY(second->isVisible());
        QCOMPARE(second->windowModality(), Qt::ApplicationModal);
        QTRY_VERIFY(!first);
        QCOMPARE(prompts.messages, QStringList());
    }

    void toolBarOneDropsDownTheMenus()
    {
        Tvendol window(Edition::Full);
        auto* bar = window.findChild<QToolBar*>("ToolBar1");
        QVERIFY(bar);
        QCOMPARE(bar->parent()->objectName(), QString("ControlBar1"));
        const std::pair<const char*, const char*> buttons[] = {{"ToolButton1", "Flie1"},
                                                               {"ToolButton2", "DataManagement1"},
                                                               {"ToolButton3", "PopulationAnalysis1"},
                                                               {"ToolButton4", "Graph1"},
                                                               {"ToolButton5", "Help1"}};
        for (const auto& [name, menu] : buttons) {
            auto* button = bar->findChild<QToolButton*>(name);
            QVERIFY2(button, name);
            QVERIFY(button->menu());
            QCOMPARE(button->menu()->objectName(), QString(menu));
            QCOMPARE(button->text(), button->menu()->title());
            QCOMPARE(button->popupMode(), QToolButton::InstantPopup);
            QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextOnly);
        }
        QCOMPARE(bar->findChild<QToolButton*>("ToolButton3")->text(), QString("人口分析（&P）"));
    }

    void toolBarTwoRunsCommands_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("hint");
        QTest::newRow("6") << "ToolButton6" << "新建数据表";
        QTest::newRow("7") << "ToolButton7" << "打开数据表";
        QTest::newRow("8") << "ToolButton8" << "关闭数据表";
        QTest::newRow("9") << "ToolButton9" << "保存数据表";
        QTest::newRow("10") << "ToolButton10" << "人口预测向导";
        QTest::newRow("11") << "ToolButton11" << "单区域人口预测数据准备";
        QTest::newRow("12") << "ToolButton12" << "分城乡人口预测数据准备";
    }

    void toolBarTwoRunsCommands()
    {
        QFETCH(QString, button);
        QFETCH(QString, hint);
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        auto store = populationTable();
        openMemoryTable(window, store);
        auto* bar = window.findChild<QToolBar*>("ToolBar2");
        QVERIFY(bar);
        QCOMPARE(bar->parent()->objectName(), QString("ControlBar2"));
        auto* b = bar->findChild<QToolButton*>(button);
        QVERIFY(b);
        QCOMPARE(b->toolTip(), hint);
        QVERIFY(!b->icon().isNull());
        auto* model = window.grid()->tableModel();
        QVERIFY(model->setData(model->index(0, 1), "12"));

        b->click();

        const auto& session = window.session();
        const bool closes = button == "ToolButton8" || button == "ToolButton11" || button == "ToolButton12";
        QCOMPARE(session.tableOpen(), !closes);
        QCOMPARE(session.structureEditorMode, button == "ToolButton6" ? Mode::Define : Mode::None);
        QCOMPARE(prompts.openFilters.size(), button == "ToolButton7" ? 1 : 0);
        QCOMPARE(prompts.saveFilters.size(), button == "ToolButton11" || button == "ToolButton12" ? 1 : 0);
        // Saving and closing store the edit; the others leave it in edit.
        const bool posted = closes || button == "ToolButton9";
        QCOMPARE(store->writes, std::size_t(posted ? 1 : 0));
        QCOMPARE(prompts.messages, QStringList{});
    }

    void openShowsTheChosenTable()
    {
        QTemporaryDir dir;
        const QString path = prepare(dir.filePath("人口.DB"));
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        prompts.openAnswers = {path};
        action(&window, "Open1")->trigger();
        QCOMPARE(prompts.openFilters, QStringList{"*.db (*.db *.DB);;*.dbf (*.dbf *.DBF)"});
        QCOMPARE(prompts.messages, QStringList());
        QCOMPARE(window.session().tableOpen(), true);
        QCOMPARE(window.session().currentTableName, path);
        QCOMPARE(window.grid()->model()->rowCount(), 81);
        QCOMPARE(headers(window), (QStringList{"年龄", "男性人口", "女性人口", "男性死亡率", "女性死亡率", "年龄别生育率"}));
        QCOMPARE(window.session().fieldNames(), headers(window));

        // Cancelling the next open leaves the table as it was.
        action(&window, "Open1")->trigger();
        QCOMPARE(window.session().tableOpen(), true);
        QCOMPARE(window.session().currentTableName, path);
    }

    // Without a table the grid offers the first steps; its links run the menu commands.
    void firstRunPanelWhileNoTableIsOpen()
    {
        QTemporaryDir dir;
        const QString path = prepare(dir.filePath("人口.DB"));
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        auto* panel = window.findChild<QWidget*>("FirstRunPanel");
        QVERIFY(panel);
        QVERIFY(panel->isVisibleTo(&window));
        auto link = [&](const char* name) { return window.findChild<QAbstractButton*>(QLatin1String(name)); };

        link("WizardLink")->click();
        QCOMPARE(prompts.messages, QStringList{});

        prompts.openAnswers = {path};
        link("OpenTableLink")->click();
        QCOMPARE(prompts.openFilters.size(), 1);
        QCOMPARE(window.session().currentTableName, path);
        QVERIFY(!panel->isVisibleTo(&window));

        action(&window, "Close1")->trigger();
        QVERIFY(panel->isVisibleTo(&window));
        // The sample lies in share/velmora beside the program's folder (the build tree too);
        // the link opens a writable copy made once in the documents folder, and says where.
        QVERIFY(zandor::ui::FirstRunPanel::samplePath().endsWith("/share/velmora/samples/single_region.DB"));
        const QByteArray home = qgetenv("HOME");
        const QByteArray config = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", dir.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", dir.filePath(".config").toUtf8());
        const QString copy = dir.filePath("Documents/Velmora 示例/single_region.DB");
        link("OpenSampleLink")->click();
        QCOMPARE(window.session().currentTableName, copy);
        QVERIFY(QFileInfo(copy).isWritable());
        QVERIFY(QFile::exists(dir.filePath("Documents/Velmora 示例/urban_rural.DB")));
        QCOMPARE(window.grid()->model()->rowCount(), 101);
        QVERIFY(!panel->isVisibleTo(&window));
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.messages[0].contains(dir.filePath("Documents/Velmora 示例")));
        action(&window, "Close1")->trigger();
        link("OpenSampleLink")->click();
        QCOMPARE(window.session().currentTableName, copy);
        QCOMPARE(prompts.messages.size(), 1);
        qputenv("HOME", home);
        if (config.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", config);
    }

    void editsReachTheFileOnRowChangeAndSave()
    {
        QTemporaryDir dir;
        const QString path = prepare(dir.filePath("人口.DB"));
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        QVERIFY(window.openTable(path));
        auto* grid = window.grid();
        auto* model = grid->tableModel();
        QVERIFY(model->setData(model->index(3, 1), "1234.5"));
        grid->setCurrentIndex(model->index(4, 1));
        QVERIFY(model->setData(model->index(4, 2), "99"));
        action(&window, "Save1")->trigger();

        auto check = tables::Table::open(path.toStdString(), true);
        check.moveTo(3);
        QCOMPARE(check.asFloat("男性人口"), 1234.5);
        check.moveTo(4);
        QCOMPARE(check.asFloat("女性人口"), 99.0);
        QCOMPARE(prompts.messages, QStringList());

        QVERIFY(!model->setData(model->index(5, 1), "many"));
        QCOMPARE(prompts.messages.size(), 1);
        QCOMPARE(model->index(5, 1).data().toString(), QString("0"));
    }

    void badFilesLeaveThePreviousTableUsable_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("not a table") << "not a table";
        QTest::newRow("damaged") << "damaged";
        QTest::newRow("vanished") << "vanished";
        QTest::newRow("unknown extension") << "unknown extension";
        QTest::newRow("directory") << "directory";
    }

    void badFilesLeaveThePreviousTableUsable()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString good = prepare(dir.filePath("good.DB"));
        QString bad = dir.filePath("bad.DB");
        if (kind == "not a table") {
            QFile f(bad);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("年龄,男性人口\n0,100\n");
        } else if (kind == "damaged") {
            QVERIFY(QFile::copy(good, bad));
            QFile f(bad);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.resize(60));
        } else if (kind == "unknown extension") {
            bad = dir.filePath("notes.txt");
            QVERIFY(QFile::copy(good, bad));
        } else if (kind == "directory") {
            QVERIFY(QDir(dir.path()).mkdir("folder.DB"));
            bad = dir.filePath("folder.DB");
        }

        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        QVERIFY(window.openTable(good));
        prompts.openAnswers = {bad};
        action(&window, "Open1")->trigger();
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY2(prompts.messages.first().startsWith("无法打开数据表 " + bad), qPrintable(prompts.messages.first()));
        QCOMPARE(window.session().tableOpen(), true);
        QCOMPARE(window.session().currentTableName, good);

        // The previous table still reads and takes edits.
        auto* model = window.grid()->tableModel();
        QCOMPARE(model->rowCount(), 81);
        QVERIFY(model->setData(model->index(80, 1), "8"));
        action(&window, "Save1")->trigger();
        auto check = tables::Table::open(good.toStdString(), true);
        check.moveTo(80);
        QCOMPARE(check.asFloat("男性人口"), 8.0);
    }

    void readOnlyFileOpensForViewing()
    {
        if (::geteuid() == 0)
            QSKIP("file permissions do not bind the superuser");
        QTemporaryDir dir;
        const QString path = prepare(dir.filePath("locked.DB"));
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner));
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        QVERIFY(window.openTable(path));
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.messages.first().contains("只读"));
        auto* model = window.grid()->tableModel();
        QVERIFY(!(model->flags(model->index(0, 1)) & Qt::ItemIsEditable));
        QCOMPARE(model->rowCount(), 81);
    }

    void closeAndExit()
    {
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        window.show();
        openMemoryTable(window, populationTable());
        action(&window, "Close1")->trigger();
        QCOMPARE(window.session().tableOpen(), false);
        QVERIFY(!window.session().table().isOpen());
        QCOMPARE(window.session().currentTableName, QString("/data/memory.DB"));
        QCOMPARE(window.grid()->model()->columnCount(), 0);
        action(&window, "LifeTable1")->trigger();
        QCOMPARE(prompts.messages, QStringList{kNoTable});

        openMemoryTable(window, populationTable());
        action(&window, "Exit1")->trigger();
        QVERIFY(!window.isVisible());
        QVERIFY(!window.session().table().isOpen());
    }

    void preparationCreatesAndOpensThePopulationTable_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("created");
        QTest::addColumn<int>("fields");
        QTest::newRow("单区域, no extension") << "N10" << "人口" << "人口.DB" << 6;
        QTest::newRow("单区域 tool button") << "ToolButton11" << "a.DB" << "a.DB" << 6;
        QTest::newRow("分城乡") << "N11" << "城乡.db" << "城乡.db" << 11;
        QTest::newRow("分城乡 tool button") << "ToolButton12" << "b.DB" << "b.DB" << 11;
    }

    void preparationCreatesAndOpensThePopulationTable()
    {
        QFETCH(QString, command);
        QFETCH(QString, typed);
        QFETCH(QString, created);
        QFETCH(int, fields);
        QTemporaryDir dir;
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        prompts.saveAnswers = {dir.filePath(typed)};
        triggerOrClick(window, command);
        QCOMPARE(prompts.saveFilters, QStringList{"DB (*.DB *.db);;DBF (*.dbf *.DBF)"});
        QCOMPARE(prompts.saveSuffixes, QStringList{"DB"});
        QCOMPARE(prompts.messages, QStringList());
        QVERIFY(QFile::exists(dir.filePath(created)));
        QCOMPARE(window.session().tableOpen(), true);
        QCOMPARE(window.session().currentTableName, dir.filePath(created));
        auto* model = window.grid()->model();
        QCOMPARE(model->columnCount(), fields);
        QCOMPARE(model->rowCount(), 81);
        QCOMPARE(model->index(80, 0).data().toString(), QString("80"));
        QCOMPARE(model->index(80, fields - 1).data().toString(), QString("0"));
        QCOMPARE(headers(window).first(), QString("年龄"));
        if (fields == 11)
            QCOMPARE(headers(window).at(6), QString("城镇男性人口"));
    }

    void preparationAsDBaseReportsShortenedNames()
    {
        QTemporaryDir dir;
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        prompts.saveAnswers = {dir.filePath("城乡.dbf")};
        action(&window, "N11")->trigger();
        QCOMPARE(window.session().tableOpen(), true);
        QCOMPARE(window.grid()->model()->columnCount(), 11);
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.messages.first().contains("农村男性人口"));
    }

    void preparationRefusesAnExistingFileAndLeavesNoTableOpen()
    {
        QTemporaryDir dir;
        const QString existing = prepare(dir.filePath("old.DB"));
        const QFileInfo before(existing);
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        openMemoryTable(window, populationTable());
        prompts.saveAnswers = {existing};
        action(&window, "N10")->trigger();
        QCOMPARE(prompts.messages, QStringList{kFileExists});
        QCOMPARE(window.session().tableOpen(), false);
        QCOMPARE(QFileInfo(existing).size(), before.size());
    }

    void cancelledPreparationStillClosesTheTable()
    {
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        auto store = populationTable();
        openMemoryTable(window, store);
        auto* model = window.grid()->tableModel();
        QVERIFY(model->setData(model->index(2, 2), "5"));
        action(&window, "N11")->trigger();
        QCOMPARE(prompts.saveFilters.size(), 1);
        QCOMPARE(window.session().tableOpen(), false);
        QCOMPARE(tables::toDouble(store->stored(2).at(2)), 5.0);
        for (const char* command : {"Projection1", "N6", "Table_info"})
            action(&window, command)->trigger();
        QCOMPARE(prompts.messages, (QStringList{kNoTable, kNoTable, kNoTable}));
    }

    // 导出: the open table as a workbook where the user says; without a table, the usual message.
    // 文件 → 导入: the workbook chosen in the real open dialog, its second sheet picked, the
    // types shown above the first records, then the new dBase table created and opened.
    void importPreviewsTheTypesThenOpensTheNewTable()
    {
        QTemporaryDir dir;
        const QString book = dir.filePath("普查.xlsx");
        std::vector<zandor::tables::Record> rows = {
            {std::string("北京"), std::int64_t{100}, 0.5, zandor::tables::Date{2020, 11, 1}},
            {std::string("上海"), std::int64_t{200}, 1.25, zandor::tables::Date{2020, 11, 1}},
        };
        std::size_t next = 0;
        zandor::tables::writeXlsxFile(book.toStdString(),
                                      {{"说明", {"备注"}, {}, [done = false](zandor::tables::Record& row) mutable {
                                            row = {std::string("第七次普查")};
                                            return !std::exchange(done, true);
                                        }},
                                       {"分地区", {"地区", "人口", "比重", "日期"}, {}, [&](zandor::tables::Record& row) {
                                            if (next == rows.size())
                                                return false;
                                            row = rows[next++];
                                            return true;
                                        }}});
        PromptRecorder prompts;
        // The source comes from the real open dialog.
        zandor::ui::PromptHooks hooks = zandor::ui::Prompts::setHooks({});
        hooks.openFileName = nullptr;
        zandor::ui::Prompts::setHooks(hooks);
        Tvendol window(Edition::Full);
        action(&window, "Import1")->trigger();
        auto* dialog = window.findChild<zandor::ui::TImport_Frm*>("Import_Frm");
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(!dialog->Button2->isEnabled());
        QTimer::singleShot(0, [&] {
            auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(files);
            auto* edit = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(edit);
            edit->setText(book);
            QTest::keyClick(edit, Qt::Key_Return);
        });
        dialog->Button1->click();
        // The preview is read off the user-interface thread: the grid fills when it is done.
        QCOMPARE(dialog->ComboBox1->count(), 2);
        QTRY_COMPARE(dialog->StringGrid1->columnCount(), 1);
        dialog->ComboBox1->setCurrentIndex(1);
        QTableWidget* grid = dialog->StringGrid1;
        QTRY_COMPARE(grid->columnCount(), 4);
        QCOMPARE(grid->rowCount(), 3);
        QStringList names, types, first;
        for (int c = 0; c < 4; ++c) {
            names << grid->horizontalHeaderItem(c)->text();
            types << grid->item(0, c)->text();
            first << grid->item(1, c)->text();
        }
        QCOMPARE(names, (QStringList{"地区", "人口", "比重", "日期"}));
        QCOMPARE(types, (QStringList{"Char(4)", "Integer", "Float", "Date"}));
        QCOMPARE(first, (QStringList{"北京", "100", "0.5", "2020-11-01"}));
        QVERIFY(dialog->Button2->isEnabled());

        prompts.saveAnswers = {dir.filePath("人口.dbf")};
        dialog->Button2->click();
        QTRY_VERIFY(!dialog->isVisible());
        QCOMPARE(prompts.messages, QStringList());
        QCOMPARE(window.session().tableOpen(), true);
        QCOMPARE(headers(window), (QStringList{"地区", "人口", "比重", "日期"}));
        QCOMPARE(window.grid()->model()->rowCount(), 2);
        // A second import to the same name is refused; the table stays as it is.
        action(&window, "Import1")->trigger();
        auto* again = window.findChildren<zandor::ui::TImport_Frm*>("Import_Frm").last();
        QVERIFY(again != dialog);
        again->chooseSource(book);
        QTRY_VERIFY(again->Button2->isEnabled());
        prompts.saveAnswers = {dir.filePath("人口.dbf")};
        again->Button2->click();
        QTRY_COMPARE(prompts.messages, QStringList{dir.filePath("人口.dbf") + " 文件已存在."});
    }

    void exportWritesTheOpenTableAsAWorkbook()
    {
        QTemporaryDir dir;
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        action(&window, "Export1")->trigger();
        QCOMPARE(prompts.messages, QStringList{kNoTable});
        prompts.messages.clear();
        QVERIFY(window.openTable(prepare(dir.filePath("人口.DB"))));
        prompts.saveAnswers = {dir.filePath("人口.xlsx")};
        action(&window, "Export1")->trigger();
        QCOMPARE(prompts.messages, QStringList());
        QCOMPARE(prompts.saveFilters, QStringList{"Excel 工作簿 (*.xlsx)"});
        QFile written(dir.filePath("人口.xlsx"));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.read(2), QByteArray("PK"));
    }

    void targetEditionPreparesAnEmptyTable()
    {
        QTemporaryDir dir;
        PromptRecorder prompts;
        Tvendol window(Edition::Target);
        prompts.saveAnswers = {dir.filePath("t.DB")};
        action(&window, "N10")->trigger();
        QCOMPARE(prompts.messages, QStringList());
        QCOMPARE(window.session().tableOpen(), true);
        QCOMPARE(window.grid()->model()->columnCount(), 6);
        QCOMPARE(window.grid()->model()->rowCount(), 0);
    }

    void structureDisplayShowsEveryFieldType()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("types.DB");
        using tables::FieldKind;
        tables::createTableFile(path.toStdString(), tables::TableFormat::Paradox,
                                {{"地区名称", FieldKind::Char, 12}, {"年龄", FieldKind::Integer},
                                 {"人口", FieldKind::Float}, {"调查日期", FieldKind::Date}, {"城镇", FieldKind::Boolean}});
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        window.show();
        QVERIFY(window.openTable(path));
        action(&window, "Table_info")->trigger();
        auto* form = window.tableInfoForm();
        QVERIFY(form);
        QVERIFY(form->isVisible());
        QCOMPARE(form->windowTitle(), QString("表结构"));
        QTableWidget* grid = form->StringGrid1;
        QCOMPARE(grid->objectName(), QString("StringGrid1"));
        const QStringList expected[] = {{"1", "地区名称", "Char", "12"},
                                        {"2", "年龄", "Integer", ""},
                                        {"3", "人口", "Float", ""},
                                        {"4", "调查日期", "Date", ""},
                                        {"5", "城镇", "Boolean", ""}};
        QCOMPARE(grid->rowCount(), 5);
        QCOMPARE(grid->columnCount(), 4);
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 4; ++c)
                QCOMPARE(grid->item(r, c)->text(), expected[r][c]);
        QStringList labels;
        for (auto* label : form->findChildren<QLabel*>())
            labels << label->text();
        QCOMPARE(labels, (QStringList{"字段号:", "字段名", "字段类型", "字段宽度"}));

        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, QPoint(4, 4));
        QVERIFY(!form->isVisible());
        QCOMPARE(prompts.messages, QStringList());
    }

    void structureRowsNameEveryStoredType_data()
    {
        QTest::addColumn<int>("storage");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("width");
        using S = tables::StorageType;
        QTest::newRow("alpha") << int(S::Alpha) << "Char" << "20";
        QTest::newRow("long integer") << int(S::LongInt) << "Integer" << "";
        QTest::newRow("short integer") << int(S::ShortInt) << "Integer" << "";
        QTest::newRow("number") << int(S::Number) << "Float" << "";
        QTest::newRow("currency") << int(S::Currency) << "Float" << "";
        QTest::newRow("date") << int(S::Date) << "Date" << "";
        QTest::newRow("logical") << int(S::Logical) << "Boolean" << "";
        QTest::newRow("auto-increment") << int(S::AutoInc) << "Char" << "20";
        QTest::newRow("time") << int(S::Time) << "Char" << "20";
        QTest::newRow("timestamp") << int(S::Timestamp) << "Char" << "20";
        QTest::newRow("memo") << int(S::Memo) << "Char" << "20";
        QTest::newRow("blob") << int(S::Blob) << "Char" << "20";
        QTest::newRow("bcd") << int(S::Bcd) << "Char" << "20";
        QTest::newRow("bytes") << int(S::Bytes) << "Char" << "20";
    }

    void structureRowsNameEveryStoredType()
    {
        QFETCH(int, storage);
        QFETCH(QString, type);
        QFETCH(QString, width);
        const auto rows = zandor::ui::structureRows(
            {field("序号", tables::StorageType::LongInt), field("x", tables::StorageType(storage), 20)});
        QCOMPARE(rows.size(), std::size_t(2));
        QCOMPARE(QString::fromStdString(rows[1].number), QString("2"));
        QCOMPARE(QString::fromStdString(rows[1].typeName), type);
        QCOMPARE(QString::fromStdString(rows[1].width), width);
        const auto snapshot = zandor::ui::structureSnapshot(rows);
        QCOMPARE(snapshot[1].width, width.isEmpty() ? 0 : width.toInt());
        QCOMPARE(snapshot[1].flag, 0);
    }

    void restructureTakesTheSnapshot()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("s.DB");
        using tables::FieldKind;
        tables::createTableFile(path.toStdString(), tables::TableFormat::Paradox,
                                {{"名称", FieldKind::Char, 8}, {"人口", FieldKind::Float}});
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        QVERIFY(window.openTable(path));
        action(&window, "Restructure1")->trigger();
        const auto& session = window.session();
        QCOMPARE(session.structureEditorMode, Mode::Restructure);
        QCOMPARE(session.structureSnapshot.size(), std::size_t(2));
        QCOMPARE(QString::fromStdString(session.structureSnapshot[0].name), QString("名称"));
        QCOMPARE(QString::fromStdString(session.structureSnapshot[0].typeName), QString("Char"));
        QCOMPARE(session.structureSnapshot[0].width, 8);
        QCOMPARE(QString::fromStdString(session.structureSnapshot[1].typeName), QString("Float"));
        QCOMPARE(session.structureSnapshot[1].width, 0);
        QCOMPARE(prompts.messages, QStringList{});
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
