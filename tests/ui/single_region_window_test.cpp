// TSingle_Region_frm driven by object name over the sample table: how it opens, the field
// lists (their checks and the columns they mark), the year rebuild, the five interpolation
// tools, the options, cancel, and "开始预测" up to the results dialog's text listing and chart.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

#include "projection/indicators.h"
#include "projection/messages.h"
#include "text/numbers.h"
#include "projection_window_support.h"
#include "ui/charts/graph.h"
#include "ui/projection/pop_data_result_frm.h"
#include "ui/projection/pop_result_frm.h"
#include "ui/projection/single_region_frm.h"
#include "ui/session/session.h"
#include "ui/tables/data_grid.h"
#include "ui/tables/table_model.h"

using namespace testing_support;
using zandor::Edition;
using zandor::ui::contrastRatio;
using zandor::ui::ScheduleGrid;
using zandor::ui::TSingle_Region_frm;
using zandor::ui::Tvendol;
namespace projection = zandor::projection;

Q_DECLARE_METATYPE(zandor::Edition)

namespace {

const char* const kLists[] = {"ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5", "ComboBox6"};
const QColor kListColours[] = {QColor(Qt::red), QColor(Qt::blue), QColor(0, 128, 128), QColor(Qt::yellow),
                               QColor(0, 128, 0)};

// The main window with the sample open and the projection dialog opened by its command.
struct Fixture {
    explicit Fixture(Edition edition = Edition::Full) : window(mainWindowWithSample(edition, dir))
    {
        action(window.get(), QStringLiteral("Projection1"))->trigger();
        dialog = window->singleRegionForm();
        if (!dialog)
            qFatal("the projection dialog did not open");
    }

    template <typename T>
    T* get(const char* name) const { return child<T>(dialog, name); }
    ScheduleGrid* grid(const char* name) const { return get<ScheduleGrid>(name); }
    QString cell(const char* gridName, int row, int column) const
    {
        // Grid row and column as the engine counts them (row 0 and column 0 are the headers).
        return grid(gridName)->model()->index(row - 1, column - 1).data().toString();
    }
    void setCell(const char* gridName, int row, int column, const QString& text) const
    {
        auto* model = grid(gridName)->model();
        QVERIFY(model->setData(model->index(row - 1, column - 1), text));
    }
    int columnOf(const char* field) const { return window->session().table().fieldIndex(field); }
    QColor columnColour(const char* field) const { return window->grid()->columnColour(columnOf(field)); }

    void chooseFields() const
    {
        for (int i = 0; i < 5; ++i)
            get<QComboBox>(kLists[i])->setCurrentText(QString::fromUtf8(kFieldNames[i]));
    }
    // Years set, then rebuilt by a double-click on the end-year box.
    void setYears(int base, int end) const
    {
        get<QSpinBox>("SpinEdit10")->setValue(base);
        get<QSpinBox>("SpinEdit11")->setValue(end);
        dialog->SpinEdit11DblClick();
    }

    QTemporaryDir dir;
    PromptRecorder prompts;
    std::unique_ptr<Tvendol> window;
    TSingle_Region_frm* dialog = nullptr;
};

QString tableCopy(const Fixture& f) { return f.dir.filePath(QStringLiteral("single_region.DB")); }

}  // namespace

class SingleRegionWindowTest : public QObject {
    Q_OBJECT
private slots:
    // The charts' frames are checked, not their pace.
    void initTestCase() { zandor::ui::FrameAnimator::setSpeed(100); }

    void opensWithItsPagesAndDefaults()
    {
        Fixture f;
        QVERIFY(f.dialog->isVisible());
        QCOMPARE(f.dialog->windowTitle(), QString("人口预测"));
        auto* pages = f.get<QTabWidget>("PageControl1");
        QStringList titles;
        for (int i = 0; i < pages->count(); ++i)
            titles << pages->tabText(i);
        QCOMPARE(titles, (QStringList{"基础数据", "总和生育率", "死亡参数", "性别比", "生育模式", "城镇化", "流动人口"}));
        QCOMPARE(pages->currentIndex(), 0);

        const QStringList fields = f.window->session().fieldNames();
        for (const char* name : {"ComboBox2", "ComboBox3", "ComboBox4", "ComboBox5", "ComboBox6", "ComboBox8", "ComboBox9"}) {
            auto* box = f.get<QComboBox>(name);
            QStringList items;
            for (int i = 0; i < box->count(); ++i)
                items << box->itemText(i);
            QCOMPARE(items, fields);
            QVERIFY2(box->currentText().isEmpty(), name);
        }
        QVERIFY(!f.get<QComboBox>("ComboBox8")->isEnabled());
        QVERIFY(!f.get<QComboBox>("ComboBox9")->isEnabled());
        QCOMPARE(f.get<QSpinBox>("SpinEdit10")->value(), 2000);
        QCOMPARE(f.get<QSpinBox>("SpinEdit11")->value(), 2010);
        QCOMPARE(f.get<QLineEdit>("Edit1")->text(), QString("0.26"));
        QCOMPARE(f.get<QLineEdit>("Edit2")->text(), QString("50000"));
        for (const char* checked : {"RadioButton16", "RadioButton11", "RadioButton7", "RadioButton9", "RadioButton5",
                                    "RadioButton2", "RadioButton8", "RadioButton17"})
            QVERIFY2(f.get<QRadioButton>(checked)->isChecked(), checked);
        for (const char* unchecked : {"RadioButton20", "RadioButton6", "RadioButton1", "RadioButton10"})
            QVERIFY2(!f.get<QRadioButton>(unchecked)->isChecked(), unchecked);
        QCOMPARE(f.get<QRadioButton>("RadioButton6")->text(), QString("新的男性和女性存活概率曲线(lx) "));
        QVERIFY(f.get<QPushButton>("BitBtn2")->isEnabled());
        QCOMPARE(f.get<QPushButton>("BitBtn2")->text(), QString("开始预测"));

        auto* tfrReference = f.get<QComboBox>("ComboBox1");
        QCOMPARE(tfrReference->count(), 36);
        QCOMPARE(tfrReference->currentText(), QString("2000年世界平均总和生育率 2.8"));
        QCOMPARE(tfrReference->itemText(35), QString("   新西兰:2.0"));
        auto* e0Reference = f.get<QComboBox>("ComboBox7");
        QCOMPARE(e0Reference->count(), 36);
        QCOMPARE(e0Reference->currentText(), QString("2000年世界平均出生预期寿命:  男:65 女:69"));
        QCOMPARE(e0Reference->itemText(9), QString("   中国:   男:69 女:73"));

        // A first opening in the session has no projected years: only the row labels.
        QCOMPARE(shownGrid(f.grid("StringGrid3")), (QStringList{"", "男性", "女性"}));
        QCOMPARE(shownGrid(f.grid("StringGrid5")), (QStringList{"", "新增人口", "出生率", "死亡率"}));
        const QStringList pattern = shownGrid(f.grid("StringGrid4"));
        QCOMPARE(pattern.size(), 37);
        QCOMPARE(pattern[1], QString("15"));
        QCOMPARE(pattern[36], QString("合计"));
        QCOMPARE(f.get<QSpinBox>("SpinEdit2")->minimum(), 2001);
        QCOMPARE(f.get<QSpinBox>("SpinEdit2")->maximum(), 2009);
        QCOMPARE(f.get<QSpinBox>("SpinEdit3")->value(), 2010);
    }

    // The grids the dialog shows after the five fields are chosen are the engine's, driven as
    // zandor-cli drives it.
    void choosingFieldsFillsTheGrids()
    {
        Fixture f;
        f.chooseFields();
        QVERIFY2(f.prompts.messages.isEmpty(), qPrintable(f.prompts.messages.join('\n')));
        const EngineRun engine = chooseSampleFields(tableCopy(f), 2000, 2010);
        QCOMPARE(shownGrid(f.grid("StringGrid1")), engineGrid(engine.grids.tfr));
        QCOMPARE(shownGrid(f.grid("StringGrid2")), engineGrid(engine.grids.sexRatio));
        QCOMPARE(shownGrid(f.grid("StringGrid3")), engineGrid(engine.grids.lifeExpectancy));
        QCOMPARE(shownGrid(f.grid("StringGrid4")), engineGrid(engine.grids.pattern));
        QCOMPARE(shownGrid(f.grid("StringGrid5")), engineGrid(engine.grids.migrants));
        QCOMPARE(f.window->session().projectionYearCount, 10);

        // What the user reads, from the sample's own figures.
        auto table = zandor::tables::Table::open(tableCopy(f).toStdString(), true);
        table.first();
        const double m0 = table.asFloat("男性人口");
        const double f0 = table.asFloat("女性人口");
        QCOMPARE(shownGrid(f.grid("StringGrid1"))[0], QString("2001|2002|2003|2004|2005|2006|2007|2008|2009|2010"));
        QCOMPARE(f.cell("StringGrid2", 1, 10), QString::fromStdString(zandor::text::formatPattern(100 * m0 / f0, "#####.####")));
        QCOMPARE(f.cell("StringGrid1", 1, 1), QString("1.5"));
        QCOMPARE(f.cell("StringGrid4", 36, 5), QString("1"));
        QVERIFY(qAbs(f.cell("StringGrid3", 1, 1).toDouble() - 75.0) < 0.5);
        QVERIFY(qAbs(f.cell("StringGrid3", 2, 10).toDouble() - 80.0) < 0.5);
    }

    void fieldListsMarkTheirColumns_data()
    {
        QTest::addColumn<Edition>("edition");
        QTest::newRow("Zandor restores the column marked before") << Edition::Full;
        QTest::newRow("ZandorT leaves it marked") << Edition::Target;
    }

    void fieldListsMarkTheirColumns()
    {
        QFETCH(Edition, edition);
        Fixture f(edition);
        f.chooseFields();
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(f.columnColour(kFieldNames[i]), kListColours[i]);
            QCOMPARE(f.get<QComboBox>(kLists[i])->palette().color(QPalette::Button), kListColours[i]);
            // The marked column's text stays readable on its fill (WCAG AA for normal text).
            const QModelIndex cell = f.window->grid()->model()->index(0, f.columnOf(kFieldNames[i]));
            const auto fill = cell.data(Qt::BackgroundRole).value<QColor>();
            QVERIFY2(contrastRatio(cell.data(Qt::ForegroundRole).value<QColor>(), fill) > 4.5, kFieldNames[i]);
        }
        QCOMPARE(f.columnColour("年龄"), QColor(Qt::white));

        // The male population list moves to another field.
        f.get<QComboBox>("ComboBox2")->setCurrentText("年龄");
        QCOMPARE(f.columnColour("年龄"), QColor(Qt::red));
        QCOMPARE(f.columnColour("男性人口"), edition == Edition::Full ? QColor(Qt::white) : QColor(Qt::red));
        QCOMPARE(f.window->session().singleRegion.markedColumns[0], f.columnOf("年龄"));
    }

    void fieldChecksRefuseBadSeries_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("gridName");
        QTest::addColumn<int>("row");
        // The age field: 0 at age 0 is no death rate, and ages above 1 are no fertility rates.
        QTest::newRow("age as male death rates") << "ComboBox4" << "年龄" << "StringGrid3" << 1;
        QTest::newRow("age as female death rates") << "ComboBox5" << "年龄" << "StringGrid3" << 2;
        QTest::newRow("age as fertility rates") << "ComboBox6" << "年龄" << "StringGrid1" << 1;
        QTest::newRow("population as fertility rates") << "ComboBox6" << "女性人口" << "StringGrid1" << 1;
    }

    void fieldChecksRefuseBadSeries()
    {
        QFETCH(QString, list);
        QFETCH(QString, field);
        QFETCH(QString, gridName);
        QFETCH(int, row);
        Fixture f;
        f.chooseFields();
        const QStringList before = shownGrid(f.grid(qPrintable(gridName)));
        f.get<QComboBox>(qPrintable(list))->setCurrentText(field);
        QCOMPARE(f.prompts.messages, QStringList{"数据格式不正确."});
        // The grid keeps what it showed; the field is marked all the same.
        QCOMPARE(shownGrid(f.grid(qPrintable(gridName))), before);
        QVERIFY(f.cell(qPrintable(gridName), row, 1) != QString("0.0"));
        QVERIFY(f.columnColour(qPrintable(field)) != QColor(Qt::white));
    }

    void shortTablesAreRefused()
    {
        PromptRecorder prompts;
        Tvendol window(Edition::Full);
        window.session().setCurrentTable(tables::Table(std::make_unique<MemoryTableFile>(populationTable(70))),
                                         QStringLiteral("/data/memory.DB"));
        action(&window, QStringLiteral("Projection1"))->trigger();
        TSingle_Region_frm* dialog = window.singleRegionForm();
        QVERIFY(dialog);
        child<QComboBox>(dialog, "ComboBox2")->setCurrentText("男性人口");
        QCOMPARE(prompts.messages, QStringList{QString::fromStdString(projection::message::tooFewAgeRows(70))});
        QCOMPARE(child<ScheduleGrid>(dialog, "StringGrid2")->model()->columnCount(), 0);
    }

    void changedYearsWaitForTheRebuild_data()
    {
        QTest::addColumn<QString>("rebuild");
        QTest::newRow("double-click on the base year") << "SpinEdit10";
        QTest::newRow("double-click on the end year") << "SpinEdit11";
        QTest::newRow("change of page") << "PageControl1";
    }

    void changedYearsWaitForTheRebuild()
    {
        QFETCH(QString, rebuild);
        Fixture f;
        f.chooseFields();
        auto* run = f.get<QPushButton>("BitBtn2");
        f.get<QSpinBox>("SpinEdit10")->setValue(2001);
        f.get<QSpinBox>("SpinEdit11")->setValue(2006);
        QVERIFY(!run->isEnabled());
        QCOMPARE(f.window->session().yearsChanged, true);
        // The grids still show the old years.
        QCOMPARE(f.grid("StringGrid1")->model()->columnCount(), 10);

        if (rebuild == "PageControl1") {
            f.get<QTabWidget>("PageControl1")->setCurrentIndex(2);
        } else {
            auto* box = f.get<QSpinBox>(qPrintable(rebuild));
            auto* edit = box->findChild<QLineEdit*>();
            QVERIFY(edit);
            QTest::mouseDClick(edit, Qt::LeftButton);
        }
        QVERIFY(run->isEnabled());
        QCOMPARE(f.window->session().yearsChanged, false);
        QCOMPARE(f.window->session().projectionYearCount, 5);
        const EngineRun engine = chooseSampleFields(tableCopy(f), 2001, 2006);
        for (const char* name : {"StringGrid1", "StringGrid2", "StringGrid3", "StringGrid4"}) {
            QCOMPARE(shownGrid(f.grid(name))[0], QString("2002|2003|2004|2005|2006"));
        }
        QCOMPARE(shownGrid(f.grid("StringGrid3")), engineGrid(engine.grids.lifeExpectancy));
        QCOMPARE(shownGrid(f.grid("StringGrid4")), engineGrid(engine.grids.pattern));
        for (const auto& [start, end] : {std::pair{"SpinEdit2", "SpinEdit3"}, {"SpinEdit4", "SpinEdit5"},
                                         {"SpinEdit6", "SpinEdit7"}, {"SpinEdit8", "SpinEdit9"},
                                         {"SpinEdit1", "SpinEdit12"}}) {
            auto* s = f.get<QSpinBox>(start);
            auto* e = f.get<QSpinBox>(end);
            QCOMPARE((QList<int>{s->minimum(), s->maximum(), s->value()}), (QList<int>{2001, 2006, 2002}));
            QCOMPARE((QList<int>{e->minimum(), e->maximum(), e->value()}), (QList<int>{2003, 2006, 2006}));
        }
        QVERIFY(f.prompts.messages.isEmpty());
    }

    void reversedYearsKeepTheButtonOff()
    {
        Fixture f;
        f.chooseFields();
        f.setYears(2000, 1999);
        QCOMPARE(f.prompts.messages, QStringList{QString::fromStdString(projection::message::endBeforeBase(2000, 1999))});
        QVERIFY(!f.get<QPushButton>("BitBtn2")->isEnabled());
        QCOMPARE(f.grid("StringGrid1")->model()->columnCount(), 10);
        // More clicks in the year box say nothing new; a new value is said once more.
        auto* endEdit = f.get<QSpinBox>("SpinEdit11")->findChild<QLineEdit*>();
        QTest::mouseDClick(endEdit, Qt::LeftButton);
        QTest::mouseDClick(endEdit, Qt::LeftButton);
        QCOMPARE(f.prompts.messages.size(), 1);
        f.setYears(2000, 1998);
        QCOMPARE(f.prompts.messages.size(), 2);
        // Years that work afterwards bring the button back.
        f.prompts.messages.clear();
        f.setYears(2000, 2003);
        QVERIFY(f.get<QPushButton>("BitBtn2")->isEnabled());
        QCOMPARE(f.grid("StringGrid1")->model()->columnCount(), 3);
    }

    void interpolatedColumnsWidenToTheirTexts()
    {
        Fixture f;
        f.chooseFields();
        f.setYears(2000, 2030);
        f.setCell("StringGrid1", 1, 1, "2");
        f.setCell("StringGrid1", 1, 30, "1");
        f.get<QSpinBox>("SpinEdit2")->setValue(2001);
        f.get<QSpinBox>("SpinEdit3")->setValue(2030);
        f.get<QRadioButton>("RadioButton9")->click();
        f.get<QPushButton>("Button1")->click();
        auto* grid = f.window->findChild<ScheduleGrid*>("StringGrid1");
        const QString longest = f.cell("StringGrid1", 1, 2);  // 2 - 1/29: full precision
        QVERIFY(longest.size() > 12);
        for (int column = 1; column < 30; ++column) {
            const QString text = f.cell("StringGrid1", 1, column);
            const int needed = grid->fontMetrics().horizontalAdvance(text);
            QVERIFY2(grid->columnWidth(column - 1) >= std::min(needed, grid->widestColumn() - 12), qPrintable(text));
        }
    }

    void interpolationTools_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("gridName");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("method");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<QString>("p");
        QTest::addColumn<QString>("q");
        QTest::addColumn<QStringList>("expected");  // the row's cells of 2001..2006
        QTest::addColumn<QString>("message");
        QTest::newRow("linear TFR") << "Button1" << "StringGrid1" << 1 << "RadioButton9" << 2001 << 2005 << "2"
                                    << "1" << QStringList{"2", "1.75", "1.5", "1.25", "1", "1.5"} << "";
        QTest::newRow("copy sex ratio") << "Button2" << "StringGrid2" << 1 << "RadioButton4" << 2002 << 2004 << "106"
                                        << "110" << QStringList{"X", "106", "106", "106", "X", "X"} << "";
        QTest::newRow("exponential male e0") << "Button3" << "StringGrid3" << 1 << "RadioButton13" << 2001 << 2003
                                             << "70" << "280" << QStringList{"70", "140", "280", "X", "X", "X"} << "";
        QTest::newRow("start not after the base year")
            << "Button1" << "StringGrid1" << 1 << "RadioButton9" << 2000 << 2004 << "2" << "1"
            << QStringList{"2", "1.5", "1.5", "1", "1.5", "1.5"} << "插值设定错误！请重新设定。";
        QTest::newRow("start not before the end")
            << "Button2" << "StringGrid2" << 1 << "RadioButton2" << 2004 << 2004 << "106" << "110"
            << QStringList{"X", "X", "X", "110", "X", "X"} << "插值设定错误！请重新设定。";
        QTest::newRow("exponential from zero")
            << "Button1" << "StringGrid1" << 1 << "RadioButton10" << 2002 << 2004 << "0" << "1"
            << QStringList{"1.5", "0", "1.5", "1", "1.5", "1.5"}
            << QString::fromStdString(projection::message::noExponentialInterpolation("总和生育率", 0, 1));
        QTest::newRow("a cell that is no number")
            << "Button1" << "StringGrid1" << 1 << "RadioButton9" << 2001 << 2003 << "两个" << "1"
            << QStringList{"两个", "1.5", "1", "1.5", "1.5", "1.5"}
            << QString::fromStdString(projection::message::badCell("总和生育率", 2001, "两个"));
    }

    void interpolationTools()
    {
        QFETCH(QString, button);
        QFETCH(QString, gridName);
        QFETCH(int, row);
        QFETCH(QString, method);
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(QString, p);
        QFETCH(QString, q);
        QFETCH(QStringList, expected);
        QFETCH(QString, message);
        Fixture f;
        f.chooseFields();
        f.setYears(2000, 2006);
        const QByteArray gridBytes = gridName.toUtf8();
        const char* grid = gridBytes.constData();
        const QString untouched = f.cell(grid, row, 6);
        f.setCell(grid, row, start - 2000 > 0 ? start - 2000 : 1, p);
        f.setCell(grid, row, end - 2000, q);
        const char* boxes[][3] = {{"Button1", "SpinEdit2", "SpinEdit3"}, {"Button2", "SpinEdit4", "SpinEdit5"},
                                  {"Button3", "SpinEdit6", "SpinEdit7"}};
        for (const auto& b : boxes) {
            if (button == b[0]) {
                f.get<QSpinBox>(b[1])->setValue(start);
                f.get<QSpinBox>(b[2])->setValue(end);
            }
        }
        f.get<QRadioButton>(qPrintable(method))->click();
        f.get<QPushButton>(qPrintable(button))->click();
        QCOMPARE(f.prompts.messages, message.isEmpty() ? QStringList{} : QStringList{message});
        QStringList actual;
        for (int c = 1; c <= 6; ++c)
            actual << f.cell(grid, row, c);
        for (QString& e : expected)
            if (e == "X")
                e = untouched;
        QCOMPARE(actual, expected);
    }

    // The life-expectancy and migrant tools work on the row of the cell last selected in
    // either grid.
    void selectedRowChoosesTheRow()
    {
        Fixture f;
        f.chooseFields();
        f.setYears(2000, 2004);
        auto* e0 = f.grid("StringGrid3");
        e0->setCurrentIndex(e0->model()->index(1, 2));  // 女性, 2003
        QCOMPARE(f.window->session().singleRegion.selectedScheduleRow, 2);
        f.setCell("StringGrid3", 2, 1, "80");
        f.setCell("StringGrid3", 2, 4, "83");
        const QString male = f.cell("StringGrid3", 1, 2);
        f.get<QPushButton>("Button3")->click();
        QCOMPARE(f.cell("StringGrid3", 2, 2), QString("81"));
        QCOMPARE(f.cell("StringGrid3", 1, 2), male);

        // The migrant grid's row 3, then its tool.
        f.get<QRadioButton>("RadioButton20")->click();
        auto* migrants = f.grid("StringGrid5");
        migrants->setCurrentIndex(migrants->model()->index(2, 0));
        QCOMPARE(f.window->session().singleRegion.selectedScheduleRow, 3);
        f.setCell("StringGrid5", 3, 4, "0.006");
        f.get<QRadioButton>("RadioButton17")->click();
        f.get<QPushButton>("Button5")->click();
        QCOMPARE(f.cell("StringGrid5", 3, 2), QString("0.004"));
        QCOMPARE(f.cell("StringGrid5", 1, 2), QString("10000"));
        QVERIFY(f.prompts.messages.isEmpty());

        // Row 3 has no life-expectancy row: an empty cell, which is no number.
        const QStringList e0Before = shownGrid(e0);
        f.get<QPushButton>("Button3")->click();
        QCOMPARE(f.prompts.messages, QStringList{"本页表格没有第 3 行 (选中的行在另一页的表格里): 请先在本页表格中选择要插值的行."});
        QCOMPARE(shownGrid(e0), e0Before);
    }

    void patternToolRefillsTheTotals()
    {
        Fixture f;
        f.chooseFields();
        f.setYears(2000, 2004);
        for (int row = 1; row <= 35; ++row)
            f.setCell("StringGrid4", row, 4, row == 10 ? "1" : "0");
        f.get<QRadioButton>("RadioButton8")->click();
        f.get<QPushButton>("Button4")->click();
        QVERIFY(f.prompts.messages.isEmpty());
        // Age 24 (row 10) moves linearly towards 1, the other ages towards 0; each year sums to 1.
        const double start = f.cell("StringGrid4", 10, 1).toDouble();
        QCOMPARE(f.cell("StringGrid4", 10, 2).toDouble(), start + (1 - start) / 3);
        for (int c = 1; c <= 4; ++c)
            QCOMPARE(f.cell("StringGrid4", 36, c), QString("1"));
        QCOMPARE(f.cell("StringGrid4", 1, 4), QString("0"));
    }

    void migrantOption_data()
    {
        QTest::addColumn<Edition>("edition");
        QTest::newRow("Zandor") << Edition::Full;
        QTest::newRow("ZandorT") << Edition::Target;
    }

    void migrantOption()
    {
        QFETCH(Edition, edition);
        Fixture f(edition);
        f.chooseFields();
        f.get<QRadioButton>("RadioButton20")->click();
        const bool full = edition == Edition::Full;
        QCOMPARE(f.window->session().singleRegion.inputs.includeMigrants, full);
        QCOMPARE(f.cell("StringGrid5", 1, 10), full ? QString("10000") : QString("0.0"));
        QCOMPARE(f.cell("StringGrid5", 2, 1), full ? QString("0.012") : QString("0.0"));
        QCOMPARE(f.cell("StringGrid5", 3, 5), full ? QString("0.003") : QString("0.0"));
        f.get<QRadioButton>("RadioButton16")->click();
        QVERIFY(!f.window->session().singleRegion.inputs.includeMigrants);
        QCOMPARE(f.cell("StringGrid5", 1, 10), QString("0.0"));
    }

    void mortalityChoicesExcludeEachOther()
    {
        Fixture f;
        auto* curves = f.get<QRadioButton>("RadioButton6");
        auto* e0 = f.get<QRadioButton>("RadioButton7");
        curves->click();
        QVERIFY(curves->isChecked());
        QVERIFY(!e0->isChecked());
        QVERIFY(f.get<QComboBox>("ComboBox8")->isEnabled());
        QVERIFY(f.get<QComboBox>("ComboBox9")->isEnabled());
        curves->click();  // a second click keeps the choice
        QVERIFY(curves->isChecked());
        e0->click();
        QVERIFY(e0->isChecked());
        QVERIFY(!curves->isChecked());
        QVERIFY(!f.get<QComboBox>("ComboBox8")->isEnabled());
    }

    void cancelPaintsTheGridWhite()
    {
        Fixture f;
        f.chooseFields();
        const auto marked = f.window->session().singleRegion.markedColumns;
        f.get<QPushButton>("BitBtn1")->click();
        QVERIFY(!f.dialog->isVisible());
        QCOMPARE(f.dialog->result(), int(QDialog::Rejected));
        for (int c = 0; c < 6; ++c)
            QCOMPARE(f.window->grid()->columnColour(c), QColor(Qt::white));
        // The lists remember their columns: the next choice of the male list repaints the
        // field it marked before white, and marks its new one.
        QCOMPARE(f.window->session().singleRegion.markedColumns, marked);
        QVERIFY(!f.dialog->resultForm());
    }

    void runRefusals_data()
    {
        QTest::addColumn<bool>("chooseFields");
        QTest::addColumn<QString>("typed");   // typed into the open editor of the TFR cell of 2003
        QTest::addColumn<QString>("urbanShare");  // the text of "起始年城镇人口比重:"
        QTest::addColumn<QString>("message");
        QTest::newRow("no fields") << false << "" << "0.26" << "选定原始数据变量不够!";
        QTest::newRow("a cell that is no number")
            << true << "1,8" << "0.26" << QString::fromStdString(projection::message::badCell("总和生育率", 2003, "1,8"));
        QTest::newRow("an urban share beyond 1")
            << true << "" << "26" << "起始年城镇人口比重必须在0到1之间，不能是26.";
    }

    void runRefusals()
    {
        QFETCH(bool, chooseFields);
        QFETCH(QString, typed);
        QFETCH(QString, urbanShare);
        QFETCH(QString, message);
        Fixture f;
        if (chooseFields)
            f.chooseFields();
        f.get<QLineEdit>("Edit1")->setText(urbanShare);
        if (!typed.isEmpty()) {
            // The editor is still open when the button is pressed: what it holds is read.
            auto* grid = f.grid("StringGrid1");
            const QModelIndex cell = grid->model()->index(0, 2);
            grid->setCurrentIndex(cell);
            grid->edit(cell);
            auto* editor = grid->viewport()->findChild<QLineEdit*>();
            QVERIFY(editor);
            editor->setText(typed);
        }
        f.get<QPushButton>("BitBtn2")->click();
        QVERIFY(runsEnded(f.dialog));
        QCOMPARE(f.prompts.messages, QStringList{message});
        QVERIFY(f.dialog->isVisible());
        QVERIFY(!f.dialog->resultForm());
    }

    // From the five fields to the text listing, compared with the engine run as zandor-cli
    // runs it with the same schedules.
    void runShowsTheResults()
    {
        Fixture f;
        f.chooseFields();
        f.setYears(2000, 2005);
        f.setCell("StringGrid3", 1, 5, "76");
        f.setCell("StringGrid1", 1, 3, "1.7");
        f.get<QLineEdit>("Edit1")->setText("0.5");
        f.get<QPushButton>("BitBtn2")->click();
        QVERIFY(runsEnded(f.dialog));
        QVERIFY2(f.prompts.messages.isEmpty(), qPrintable(f.prompts.messages.join('\n')));
        QVERIFY(!f.dialog->isVisible());
        auto* results = f.dialog->resultForm();
        QVERIFY(results);
        QVERIFY(results->isVisible());
        QCOMPARE(results->windowTitle(), QString("预测结果"));

        EngineRun engine = chooseSampleFields(tableCopy(f), 2000, 2005);
        engine.grids.lifeExpectancy.setCell(1, 5, "76");
        engine.grids.tfr.setCell(1, 3, "1.7");
        projection::RunOptions options;
        options.urbanShareText = "0.5";
        const auto expected =
            projection::projectSingleRegion(engine.inputs, projection::parseSchedules(engine.inputs, engine.grids, options),
                                            options).results;

        for (const char* entry : {"总人口数", "城镇人口数", "总人口年龄结构", "人口预测参数设置"}) {
            child<QComboBox>(results, "ComboBox1")->setCurrentText(QString::fromUtf8(entry));
            child<QPushButton>(results, "BitBtn2")->click();
            const auto windows = results->findChildren<zandor::ui::Tpop_data_resultForm1*>();
            QVERIFY(!windows.isEmpty());
            auto* listing = windows.last();
            QVERIFY(listing->isVisible());
            QCOMPARE(listing->lines(), projection::textListing(expected, entry, Edition::Full));
            listing->Button2Click();
        }

        // And as a bar chart in a chart window of the results dialog.
        child<QRadioButton>(results, "RadioButton15")->click();
        child<QComboBox>(results, "ComboBox1")->setCurrentText("总人口数");
        child<QPushButton>(results, "BitBtn2")->click();
        const auto charts = results->findChildren<zandor::ui::TGraph*>();
        QCOMPARE(charts.size(), 1);
        QVERIFY(charts[0]->isVisible());
        QVERIFY(QTest::qWaitFor([&] { return !charts[0]->animator().running(); }, 60000));
        const auto& bars = charts[0]->chartModel().series.at(0).points;
        QCOMPARE(bars.size(), std::size_t(5));
        for (int t = 0; t < 5; ++t)
            QCOMPARE(bars[t].y, expected.total[t]);
    }

    // "精确模式" on the "基础数据" page (as in the urban-rural dialog), off at first; ticked,
    // the results say so.
    void exactModeIsMarkedInTheResults()
    {
        Fixture f;
        auto* exact = f.get<QCheckBox>("CheckBoxExact");
        QCOMPARE(exact->text(), QString("精确模式"));
        QVERIFY(!exact->isChecked());
        QCOMPARE(exact->parentWidget(), f.get<QWidget>("TabSheet1"));
        f.chooseFields();
        f.setYears(2000, 2003);
        exact->setChecked(true);
        f.get<QPushButton>("BitBtn2")->click();
        QVERIFY(runsEnded(f.dialog));
        QVERIFY2(f.prompts.messages.isEmpty(), qPrintable(f.prompts.messages.join('\n')));
        auto* results = f.dialog->resultForm();
        QVERIFY(results);
        QCOMPARE(results->windowTitle(), QString("预测结果（精确模式）"));
        child<QComboBox>(results, "ComboBox1")->setCurrentText("死亡人数");
        child<QPushButton>(results, "BitBtn2")->click();
        auto* listing = results->findChildren<zandor::ui::Tpop_data_resultForm1*>().last();
        QCOMPARE(listing->lines().at(1), std::string("死亡人数（精确模式）"));
    }

    // "新的男性和女性存活概率曲线(lx) " reads the two lx fields of its lists. (The death-rate
    // fields stand in for survival curves: the wiring is what is compared.)
    void survivalCurvesComeFromTheirLists()
    {
        Fixture f;
        f.chooseFields();
        f.setYears(2000, 2004);
        f.get<QRadioButton>("RadioButton6")->click();
        f.get<QPushButton>("BitBtn2")->click();
        QVERIFY(runsEnded(f.dialog));
        // No lx field chosen: the table's own error, and the dialog stays open.
        QCOMPARE(f.prompts.messages.size(), 1);
        QVERIFY(f.dialog->isVisible());
        f.prompts.messages.clear();

        f.get<QComboBox>("ComboBox8")->setCurrentText("男性死亡率");
        f.get<QComboBox>("ComboBox9")->setCurrentText("女性死亡率");
        f.get<QPushButton>("BitBtn2")->click();
        QVERIFY(runsEnded(f.dialog));
        QVERIFY2(f.prompts.messages.isEmpty(), qPrintable(f.prompts.messages.join('\n')));
        QVERIFY(f.dialog->resultForm());

        EngineRun engine = chooseSampleFields(tableCopy(f), 2000, 2004);
        auto table = zandor::tables::Table::open(tableCopy(f).toStdString(), true);
        projection::RunOptions options;
        options.mortality = projection::MortalityOption::SurvivalCurves;
        options.maleSurvival = projection::loadAgeSeries(table, "男性死亡率");
        options.femaleSurvival = projection::loadAgeSeries(table, "女性死亡率");
        const auto expected =
            projection::projectSingleRegion(engine.inputs, projection::parseSchedules(engine.inputs, engine.grids, options),
                                            options).results;
        QCOMPARE(f.window->session().singleRegion.results.total, expected.total);
        QCOMPARE(f.window->session().singleRegion.results.deaths, expected.deaths);
    }
};

QTEST_MAIN(SingleRegionWindowTest)
#include "single_region_window_test.moc"
