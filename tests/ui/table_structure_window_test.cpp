// The table-definition and restructure dialogs driven by object name from the menu: typing
// names, types and widths into the structure grid (keys, pickers, arrows, Delete), the
// buttons, creating a table that becomes the current one, and applying a restructure.
#include <QtTest>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include "tables/statements.h"
#include "tables/table.h"
#include "test_support.h"
#include "ui/analysis/life_table_frm.h"
#include "ui/app/main_window.h"
#include "ui/session/session.h"
#include "ui/tables/compute_frm.h"
#include "ui/tables/convert_table.h"
#include "ui/projection/single_region_frm.h"
#include "ui/tables/data_type_frm.h"
#include "ui/tables/data_width_frm.h"
#include "ui/tables/new_table.h"
#include "ui/tables/structure_grid.h"
#include "ui/tables/table_restructure.h"

using namespace testing_support;
using zandor::Edition;
using zandor::ui::StructureGrid;
using zandor::ui::Tvendol;

namespace {

const QString kNameError = QStringLiteral("Field Name Define Error!");

// The grid as "number|name|type|width" lines.
QStringList gridLines(const StructureGrid& grid)
{
    QStringList lines;
    for (int r = 0; r < grid.rowCount(); ++r)
        lines << QStringList{grid.cell(r, 0), grid.cell(r, 1), grid.cell(r, 2), grid.cell(r, 3)}.join('|');
    return lines;
}

// Types a name into the name cell of `row` as a user does: select it, type, Enter.
void typeName(StructureGrid& grid, int row, const QString& name)
{
    grid.setFocus();
    grid.setCurrentCell(row, 1);
    QTest::keyClick(&grid, name.at(0).toLatin1() ? name.at(0).toLatin1() : 'x');
    auto* editor = qobject_cast<QLineEdit*>(grid.indexWidget(grid.currentIndex()));
    QVERIFY(editor);
    editor->setText(name);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
}

void pressInCell(StructureGrid& grid, int row, int column)
{
    const QRect rect = grid.visualRect(grid.model()->index(row, column));
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
}

void key(StructureGrid& grid, int row, int column, Qt::Key k)
{
    grid.setCurrentCell(row, column);
    QTest::keyClick(&grid, k);
}

std::vector<std::string> fieldNames(const QString& path)
{
    std::vector<std::string> names;
    const auto table = tables::Table::open(path.toStdString(), true);
    for (const auto& f : table.fields())
        names.push_back(f.name + ":" + std::string(tables::kindName(f.kind())));
    return names;
}

QByteArray bytes(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

}  // namespace

class TableStructureWindowTest : public QObject {
    Q_OBJECT

private slots:
    void theGridTakesTypesWidthsAndRowsByKeysAndPickers()
    {
        Tvendol window(Edition::Full);
        action(&window, "New1")->trigger();
        auto* form = window.session().dialogs.of<zandor::ui::TNew_Table_Frm>();
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QString("定义数据结构"));
        form->show();
        auto& grid = *form->findChild<StructureGrid*>("StringGrid1");
        QCOMPARE(gridLines(grid), QStringList{"1|||"});

        typeName(grid, 0, "年龄");
        key(grid, 0, 2, Qt::Key_I);
        key(grid, 0, 2, Qt::Key_X);  // no type has that key
        key(grid, 0, 3, Qt::Key_5);  // widths are for "Char" rows only
        QCOMPARE(gridLines(grid), QStringList{"1|年龄|Integer|"});
        key(grid, 0, 2, Qt::Key_Down);
        QCOMPARE(gridLines(grid), (QStringList{"1|年龄|Integer|", "2|||"}));
        key(grid, 1, 1, Qt::Key_Down);  // an incomplete last row gets no row below it
        QCOMPARE(grid.rowCount(), 2);

        typeName(grid, 1, "地区");
        pressInCell(grid, 1, 2);
        auto* typePicker = grid.findChild<zandor::ui::TData_type_frm*>("Data_type_frm");
        QVERIFY(typePicker && typePicker->isVisible());
        auto* list = typePicker->findChild<QListWidget*>("ListBox1");
        QCOMPARE(list->count(), 5);
        const QRect charItem = list->visualItemRect(list->item(2));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, charItem.center());
        QVERIFY(!typePicker->isVisible());
        QCOMPARE(grid.cell(1, 2), QString("Char"));
        key(grid, 1, 1, Qt::Key_Down);  // a "Char" row needs its width first
        QCOMPARE(grid.rowCount(), 2);

        pressInCell(grid, 1, 3);
        auto* widthPicker = grid.findChild<zandor::ui::TData_width_frm*>("Data_width_frm");
        QVERIFY(widthPicker && widthPicker->isVisible());
        auto* spin = widthPicker->findChild<QSpinBox*>("SpinEdit1");
        QCOMPARE(spin->minimum(), 1);
        QCOMPARE(spin->maximum(), 255);
        spin->setValue(1);
        QTest::keyClick(spin, Qt::Key_Up);
        QTest::keyClick(spin, Qt::Key_Return);
        QVERIFY(!widthPicker->isVisible());
        key(grid, 1, 3, Qt::Key_0);
        QCOMPARE(gridLines(grid), (QStringList{"1|年龄|Integer|", "2|地区|Char|20"}));

        key(grid, 1, 3, Qt::Key_Down);
        QCOMPARE(grid.rowCount(), 3);
        key(grid, 2, 3, Qt::Key_Up);  // the empty last row goes again
        QCOMPARE(grid.rowCount(), 2);
        key(grid, 1, 1, Qt::Key_Delete);  // Delete belongs to the restructure grid
        QCOMPARE(grid.rowCount(), 2);

        grid.setCurrentCell(1, 1);
        form->findChild<QPushButton*>("Button2")->click();
        QCOMPARE(gridLines(grid), (QStringList{"1|年龄|Integer|", "2|||", "3|地区|Char|20"}));
        form->findChild<QPushButton*>("Button2")->click();  // the current row is empty now
        QCOMPARE(grid.rowCount(), 3);
        form->findChild<QPushButton*>("Button3")->click();
        QCOMPARE(gridLines(grid), (QStringList{"1|年龄|Integer|", "2|地区|Char|20"}));

        // A click away from an empty last row takes it away.
        key(grid, 1, 3, Qt::Key_Down);
        pressInCell(grid, 0, 1);
        QCOMPARE(grid.rowCount(), 2);
    }

    void createRefusesEqualNamesThenCreatesAndOpensTheTable()
    {
        QTemporaryDir dir;
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        action(&window, "New1")->trigger();
        auto* form = window.session().dialogs.of<zandor::ui::TNew_Table_Frm>();
        form->show();
        auto& grid = *form->StringGrid1;
        grid.setRows({{"", "A", "Float", ""}, {"", "B", "Float", ""}, {"", "A", "Float", ""}, {"", "A", "Date", ""}});
        form->Button5->click();
        QCOMPARE(prompts.messages, QStringList(3, kNameError));  // one per equal pair
        QVERIFY(prompts.saveFilters.isEmpty());

        // One field, no comma; the empty last row is left out.
        prompts.messages.clear();
        grid.setRows({{"", "人口", "Float", ""}, {"", "", "", ""}});
        const QString path = dir.filePath("one.db");
        prompts.saveAnswers << path;
        form->Button5->click();
        QCOMPARE(prompts.saveFilters, QStringList{"*.db (*.db);;*.dbf (*.dbf)"});
        QCOMPARE(prompts.messages, QStringList());
        QCOMPARE(fieldNames(path), std::vector<std::string>{"人口:Float"});
        QVERIFY(window.session().tableOpen());
        QCOMPARE(window.session().currentTableName, path);
        QCOMPARE(window.session().structureEditorMode, zandor::ui::Session::StructureEditorMode::None);
        QVERIFY(form->isVisible());

        // The same name again: refused, and in ZandorT without a word.
        prompts.saveAnswers << path;
        form->Button5->click();
        QCOMPARE(prompts.messages, QStringList{" 文件已存在."});
        Tvendol target(Edition::Target);
        action(&target, "New1")->trigger();
        target.session().dialogs.of<zandor::ui::TNew_Table_Frm>()->StringGrid1->setRows({{"", "x", "Float", ""}});
        prompts.messages.clear();
        prompts.saveAnswers << path;
        target.session().dialogs.of<zandor::ui::TNew_Table_Frm>()->Button5->click();
        QCOMPARE(prompts.messages, QStringList());
        QVERIFY(!target.session().tableOpen());
    }

    void everyTypeTextAndEveryAnalysisAcceptTheNewTable()
    {
        QTemporaryDir dir;
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        action(&window, "New1")->trigger();
        auto* form = window.session().dialogs.of<zandor::ui::TNew_Table_Frm>();
        form->StringGrid1->setRows({{"", "年龄", "integer", ""},
                                    {"", "男性人口", "Float", ""},
                                    {"", "女性人口", "float", ""},
                                    {"", "地区", "char", "12"},
                                    {"", "日期", "Date", ""},
                                    {"", "有效", "boolean", ""}});
        const QString path = dir.filePath("all.dbf");
        prompts.saveAnswers << path;
        form->Button5->click();
        QCOMPARE(prompts.messages, QStringList());
        QCOMPARE(fieldNames(path), (std::vector<std::string>{"年龄:Integer", "男性人口:Float", "女性人口:Float",
                                                             "地区:Char", "日期:Date", "有效:Boolean"}));
        form->close();

        for (const char* command : {"Table_info", "Restructure1", "Convert1", "Compute1", "N3", "N4", "LifeTable1",
                                    "N7", "N12", "Projection1", "N6", "Line1", "Scator1", "AgePyrimider1"}) {
            // Accepted: no table check refuses it.
            action(&window, command)->trigger();
            QVERIFY2(prompts.messages.isEmpty(), command);
        }
        QVERIFY(window.session().dialogs.of<zandor::ui::TLife_table_frm>());
        QVERIFY(window.session().dialogs.of<zandor::ui::TSingle_Region_frm>());
    }

    void restructureAppliesAddsAndConfirmedDrops()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("r.DB");
        tables::runStatement("Create table \"" + path.toStdString() + "\" (名称 char(8),人口 float,旧 integer)");
        {
            auto t = tables::Table::open(path.toStdString());
            t.append();
            t.setValue("名称", std::string("城镇"));
            t.setValue("人口", 1250.5);
            t.setValue("旧", std::int64_t{7});
            t.post();
        }
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        QVERIFY(window.openTable(path));
        action(&window, "Restructure1")->trigger();
        auto* form = window.session().dialogs.of<zandor::ui::TTable_Restructure_Frm>();
        QVERIFY(form);
        QCOMPARE(form->windowTitle(), QString("表结构修改"));
        form->show();
        auto& grid = *form->StringGrid1;
        QCOMPARE(gridLines(grid), (QStringList{"1|名称|Char|8", "2|人口|Float|", "3|旧|Integer|"}));
        QVERIFY(!grid.inPlaceEditing());

        // A changed type of a kept name runs no statement.
        key(grid, 1, 2, Qt::Key_I);
        const QByteArray before = bytes(path);
        form->Button5->click();
        QVERIFY(!form->isVisible());
        QCOMPARE(bytes(path), before);
        QVERIFY(prompts.questions.isEmpty());

        // Add a field below the last row, delete the third, rename nothing.
        action(&window, "Restructure1")->trigger();
        form = window.session().dialogs.of<zandor::ui::TTable_Restructure_Frm>();
        form->show();
        auto& grid2 = *form->StringGrid1;
        key(grid2, 2, 1, Qt::Key_Down);
        QVERIFY(grid2.inPlaceEditing());
        typeName(grid2, 3, "比例");
        key(grid2, 3, 2, Qt::Key_F);
        key(grid2, 2, 1, Qt::Key_Delete);
        QCOMPARE(gridLines(grid2), (QStringList{"1|名称|Char|8", "2|人口|Float|", "3|比例|Float|"}));

        prompts.confirmAnswers << false;
        form->Button5->click();
        QCOMPARE(prompts.questions.size(), 1);
        QVERIFY(prompts.questions[0].contains("旧"));
        QVERIFY(form->isVisible());
        QCOMPARE(bytes(path), before);

        prompts.confirmAnswers << true;
        form->Button5->click();
        QVERIFY(!form->isVisible());
        QCOMPARE(prompts.messages, QStringList());
        QCOMPARE(fieldNames(path), (std::vector<std::string>{"名称:Char", "人口:Float", "比例:Float"}));
        QVERIFY(window.session().tableOpen());
        auto& table = window.session().table();
        table.first();
        QCOMPARE(table.asFloat("人口"), 1250.5);
        QCOMPARE(table.asString("名称"), std::string("城镇"));
    }

    void restructureChecksEveryDefinitionBeforeTheFirstStatement()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("c.dbf");
        tables::runStatement("Create table \"" + path.toStdString() + "\" (A float,B float)");
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        QVERIFY(window.openTable(path));
        action(&window, "Restructure1")->trigger();
        auto* form = window.session().dialogs.of<zandor::ui::TTable_Restructure_Frm>();
        auto& grid = *form->StringGrid1;
        const QByteArray before = bytes(path);

        const std::vector<std::vector<zandor::ui::StructureRow>> refused = {
            {{"", "A", "Float", ""}, {"", "B", "Float", ""}, {"", "C", "Float", ""}, {"", "D", "Char", "300"}},
            {{"", "A", "Float", ""}, {"", "B", "Float", ""}, {"", "C", "Float", ""}, {"", "D", "Text", ""}},
            {{"", "A", "Float", ""}, {"", "b", "Float", ""}, {"", "C", "Float", ""}, {"", "C", "Integer", ""}},
            {{"", "", "", ""}},
        };
        for (const auto& rows : refused) {
            prompts.messages.clear();
            grid.setRows(rows);
            form->Button5->click();
            QCOMPARE(prompts.messages.size(), 1);
            QCOMPARE(bytes(path), before);
        }
        QCOMPARE(prompts.messages, QStringList{"数据表至少要保留一个字段."});

        // The only row cannot be deleted.
        key(grid, 0, 1, Qt::Key_Delete);
        QCOMPARE(grid.rowCount(), 1);
    }
};

QTEST_MAIN(TableStructureWindowTest)
#include "table_structure_window_test.moc"
