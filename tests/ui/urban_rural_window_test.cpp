// Tmulti_pop_Frm and Tmulti_result_Frm driven by object name over samples/urban_rural.DB: how
// the dialog opens, the ten field lists seeding the grids, the shared years-changed flag and
// selected row, an interpolation, "运算" up to a text listing and an age-pyramid frame.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>

#include "projection/urban_rural_projection.h"
#include "tables/table.h"
#include "test_support.h"
#include "ui/app/main_window.h"
#include "ui/charts/graph.h"
#include "ui/projection/multi_pop_frm.h"
#include "ui/projection/multi_result_frm.h"
#include "ui/projection/pop_data_result_frm.h"
#include "ui/projection/schedule_grid.h"
#include "ui/session/session.h"
#include "ui/tables/data_grid.h"

using namespace testing_support;
using zandor::ui::ScheduleGrid;
namespace projection = zandor::projection;

namespace {

const char* const kLists[] = {"ComboBox2", "ComboBox3",  "ComboBox4",  "ComboBox5",  "ComboBox6",
                              "ComboBox1", "ComboBox10", "ComboBox11", "ComboBox12", "ComboBox13"};
const char* const kFields[] = {"农村男性人口", "农村女性人口", "农村男性死亡率", "农村女性死亡率", "农村年龄别生育率",
                               "城镇男性人口", "城镇女性人口", "城镇男性死亡率", "城镇女性死亡率", "城镇年龄别生育率"};

template <typename T>
T* child(const QObject* window, const char* name)
{
    T* found = window->findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no control named %s", name);
    return found;
}

struct Fixture {
    Fixture() : window(std::make_unique<zandor::ui::Tvendol>(zandor::Edition::Full))
    {
        table = dir.filePath(QStringLiteral("urban_rural.DB"));
        if (!QFile::copy(QStringLiteral(ZANDOR_SOURCE_DIR "/samples/urban_rural.DB"), table))
            qFatal("cannot copy the sample table");
        QFile::setPermissions(table, QFile::ReadOwner | QFile::WriteOwner);
        if (!window->openTable(table))
            qFatal("cannot open the sample table");
        action(window.get(), QStringLiteral("N6"))->trigger();
        dialog = window->session().dialogs.of<zandor::ui::Tmulti_pop_Frm>();
        if (!dialog)
            qFatal("the urban-rural dialog did not open");
    }

    template <typename T>
    T* get(const char* name) const { return child<T>(dialog, name); }
    QString cell(const char* grid, int row, int column) const
    {
        return get<ScheduleGrid>(grid)->model()->index(row - 1, column - 1).data().toString();
    }
    void setCell(const char* grid, int row, int column, const QString& text) const
    {
        auto* model = get<ScheduleGrid>(grid)->model();
        QVERIFY(model->setData(model->index(row - 1, column - 1), text));
    }
    void chooseFields() const
    {
        for (int i = 0; i < 10; ++i)
            get<QComboBox>(kLists[i])->setCurrentText(QString::fromUtf8(kFields[i]));
    }

    QTemporaryDir dir;
    QString table;
    PromptRecorder prompts;
    std::unique_ptr<zandor::ui::Tvendol> window;
    zandor::ui::Tmulti_pop_Frm* dialog = nullptr;
};

}  // namespace

class UrbanRuralWindowTest : public QObject {
    Q_OBJECT

private slots:
    // The charts' frames are checked, not their pace.
    void initTestCase() { zandor::ui::FrameAnimator::setSpeed(100); }

    void opensWithItsPagesYearsAndGrids()
    {
        Fixture f;
        QCOMPARE(f.dialog->windowTitle(), QString("城乡人口预测"));
        const auto* pages = f.get<QTabWidget>("PageControl1");
        QCOMPARE(pages->count(), 8);
        QCOMPARE(pages->tabText(7), QString("城镇化模式"));
        QCOMPARE(f.get<QSpinBox>("SpinEdit16")->value(), 1990);
        QCOMPARE(f.get<QSpinBox>("SpinEdit17")->maximum(), 2050);
        QCOMPARE(f.get<QComboBox>("ComboBox13")->count(), 11);
        QCOMPARE(f.get<QComboBox>("ComboBox7")->currentText(), QString("男性"));
        QCOMPARE(f.get<ScheduleGrid>("StringGrid6")->model()->rowCount(), 102);
        QCOMPARE(f.get<ScheduleGrid>("StringGrid3")->model()->headerData(9, Qt::Horizontal).toString(),
                 QString("2000"));
        QCOMPARE(f.cell("StringGrid8", 2, 10), QString("0.0"));
    }

    // The field lists seed the rows of their region; editing a year turns "运算" off (the
    // flag is the one the single-region dialog shares) until a page change rebuilds the grids.
    void fieldsYearsAndTheSharedRow()
    {
        Fixture f;
        f.chooseFields();
        QVERIFY2(f.prompts.messages.isEmpty(), qPrintable(f.prompts.messages.join('\n')));
        QVERIFY(!f.cell("StringGrid2", 2, 1).isEmpty());
        const auto& urban = f.window->session().urbanRural.urban;
        QCOMPARE(f.cell("StringGrid3", 4, 1), QString::fromStdString(urban.region.female.baseLifeExpectancyText));
        // The rural region is the single-region input set.
        QCOMPARE(f.window->session().singleRegion.inputs.fields.fertility, std::string("农村年龄别生育率"));

        f.get<QSpinBox>("SpinEdit17")->setValue(2005);
        QVERIFY(f.window->session().yearsChanged);
        QVERIFY(!f.get<QPushButton>("BitBtn2")->isEnabled());
        f.get<QTabWidget>("PageControl1")->setCurrentIndex(6);
        QVERIFY(!f.window->session().yearsChanged);
        QVERIFY(f.get<QPushButton>("BitBtn2")->isEnabled());
        QCOMPARE(f.get<ScheduleGrid>("StringGrid8")->model()->columnCount(), 15);
        QCOMPARE(f.get<QSpinBox>("SpinEdit13")->value(), 2005);

        // A row selected in the four-row life-expectancy grid is the row the movers page
        // interpolates: row 4 is not there.
        emit f.get<ScheduleGrid>("StringGrid3")->cellSelected(4);
        f.get<QPushButton>("Button6")->click();
        QCOMPARE(f.prompts.messages.size(), 1);
        emit f.get<ScheduleGrid>("StringGrid8")->cellSelected(1);
        f.setCell("StringGrid8", 1, 1, "1000");
        f.setCell("StringGrid8", 1, 15, "2400");
        f.get<QSpinBox>("SpinEdit12")->setValue(1991);
        f.get<QPushButton>("Button6")->click();
        QCOMPARE(f.cell("StringGrid8", 1, 8), QString("1700"));
    }

    // "精确模式" on the first page, off at first; ticked, the results say so.
    // Esc with a cell selected asks before eight pages of schedules are dropped.
    void escapeAsksBeforeDroppingTypedSchedules()
    {
        Fixture f;
        f.setCell("StringGrid8", 1, 1, "1000");
        auto* grid = f.get<ScheduleGrid>("StringGrid8");
        grid->setCurrentIndex(grid->model()->index(0, 0));
        f.prompts.confirmAnswers = {false};
        QTest::keyClick(grid, Qt::Key_Escape);
        QCOMPARE(f.prompts.questions, QStringList{"确认放弃输入的数据?"});
        QVERIFY(f.dialog->isVisible());
        f.prompts.confirmAnswers = {true};
        QTest::keyClick(grid, Qt::Key_Escape);
        QVERIFY(!f.dialog->isVisible());
    }

    void exactModeIsMarkedInTheResults()
    {
        Fixture f;
        auto* exact = f.get<QCheckBox>("CheckBoxExact");
        QCOMPARE(exact->text(), QString("精确模式"));
        QVERIFY(!exact->isChecked());
        QCOMPARE(exact->parentWidget(), f.get<QWidget>("TabSheet1"));
        f.chooseFields();
        f.get<QSpinBox>("SpinEdit16")->setValue(2020);
        f.get<QSpinBox>("SpinEdit17")->setValue(2022);
        f.dialog->SpinEdit17DblClick();
        exact->setChecked(true);
        f.get<QPushButton>("BitBtn2")->click();
        QVERIFY(runsEnded(f.dialog));
        QVERIFY2(f.prompts.messages.isEmpty(), qPrintable(f.prompts.messages.join('\n')));
        auto* results = f.dialog->resultForm();
        QVERIFY(results && results->isVisible());
        QCOMPARE(results->windowTitle(), QString("预测结果（精确模式）"));
        QVERIFY(f.window->session().urbanRural.results.exact);
        child<QPushButton>(results, "BitBtn1")->click();
    }

    void runShowsAListingAndAPyramid()
    {
        Fixture f;
        f.chooseFields();
        f.get<QSpinBox>("SpinEdit16")->setValue(2020);
        f.get<QSpinBox>("SpinEdit17")->setValue(2025);
        f.dialog->SpinEdit17DblClick();
        f.setCell("StringGrid8", 1, 1, "3000");
        // Movers with the pattern left at zeros would move nobody: refused, naming year and sex.
        f.get<QPushButton>("BitBtn2")->click();
        QVERIFY(runsEnded(f.dialog));
        QCOMPARE(f.prompts.messages.size(), 1);
        QVERIFY2(f.prompts.messages[0].startsWith("2021年城镇化规模男性为3000人"), qPrintable(f.prompts.messages[0]));
        QVERIFY(f.dialog->isVisible());
        f.prompts.messages.clear();
        for (int c = 1; c <= 5; ++c)
            f.setCell("StringGrid6", 21, c, "1");
        f.window->grid()->markColumn(2, Qt::green);
        f.get<QPushButton>("BitBtn2")->click();
        QVERIFY(runsEnded(f.dialog));
        QVERIFY2(f.prompts.messages.isEmpty(), qPrintable(f.prompts.messages.join('\n')));
        QVERIFY(!f.dialog->isVisible());
        auto* results = f.dialog->resultForm();
        QVERIFY(results && results->isVisible());
        QCOMPARE(child<QComboBox>(results, "ComboBox1")->count(), 30);

        // What the engine gives for the same choices.
        auto table = zandor::tables::Table::open(f.table.toStdString(), true);
        projection::SingleRegionInputs rural;
        projection::SingleRegionInputs urban;
        auto grids = projection::openUrbanRuralGrids(5, 2020);
        for (int i = 0; i < 10; ++i) {
            projection::chooseUrbanRuralField(i < 5 ? rural : urban,
                                              i < 5 ? projection::Region::Rural : projection::Region::Urban, grids,
                                              static_cast<projection::InputField>(i % 5), kFields[i], table, 2020,
                                              2025);
        }
        grids.movers.setCell(1, 1, "3000");
        for (int c = 1; c <= 5; ++c)
            grids.maleMoverShares.setCell(21, c, "1");
        const auto expected =
            projection::projectUrbanRural(rural, urban, projection::parseUrbanRuralSchedules(rural, urban, grids)).results;

        child<QComboBox>(results, "ComboBox1")->setCurrentText("城市男性总人口数");
        child<QPushButton>(results, "BitBtn2")->click();
        const auto listings = results->findChildren<zandor::ui::Tpop_data_resultForm1*>();
        QCOMPARE(listings.size(), 1);
        QCOMPARE(listings[0]->lines(), projection::urbanRuralTextListing(expected, "城市男性总人口数"));
        listings[0]->Button2Click();

        // 导出Excel: a sheet per region and the end year's ages, years as rows.
        const QString book = f.dir.filePath("分城乡.xlsx");
        f.prompts.saveAnswers << book;
        child<QPushButton>(results, "BitBtn3")->click();
        QCOMPARE(f.prompts.messages, QStringList());
        QVERIFY(QFile::exists(book));
        if (openpyxlAvailable()) {
            const QStringList read = readWithOpenpyxl(book);
            QStringList sheets;
            for (const QString& line : read)
                if (!line.contains(QLatin1Char('|')))
                    sheets << line;
            QCOMPARE(sheets, (QStringList{"合计\t6\t10", "农村\t6\t10", "城市\t6\t10",
                                          QStringLiteral("2025年年龄结构\t%1\t7").arg(expected.ageCount + 1)}));
            const QStringList urban = read[8].split(QLatin1Char('\t'));  // 城市, 2021
            QCOMPARE(urban[0], QStringLiteral("2021|0"));
            QCOMPARE(urban[2].section(QLatin1Char('|'), 0, 0).toDouble(), expected.urban.maleTotal[0]);
        } else {
            qWarning("python3-openpyxl is not installed (scripts/install-deps.sh): the workbook is not read back");
        }

        child<QRadioButton>(results, "RadioButton1")->click();
        child<QComboBox>(results, "ComboBox1")->setCurrentText("总人口年龄结构");
        child<QPushButton>(results, "BitBtn2")->click();
        const auto charts = results->findChildren<zandor::ui::TGraph*>();
        QCOMPARE(charts.size(), 1);
        QVERIFY(QTest::qWaitFor([&] { return !charts[0]->animator().running(); }, 60000));
        const auto& chart = charts[0]->chartModel();
        QCOMPARE(chart.title, QString("2025总人口年龄结构金字塔"));
        QCOMPARE(chart.titleFont.size, 14);
        QCOMPARE(chart.series.at(0).points.at(30).y, expected.totalMaleShare(30, 4));
        QVERIFY(!child<QPushButton>(charts[0], "Button1")->isVisible());

        child<QPushButton>(results, "BitBtn1")->click();
        QVERIFY(!results->isVisible());
        QCOMPARE(f.window->grid()->columnColour(2), QColor(Qt::green));
    }
};

QTEST_MAIN(UrbanRuralWindowTest)
#include "urban_rural_window_test.moc"
