// The life-table dialog and its result window, driven by object name from the main window's
// command over the sample table: defaults, the enabling rules, the remembered list index,
// computing, the refusals, saving, and the survival chart.
#include <QtTest>

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include "charts/chart.h"
#include "tables/table.h"
#include "text/numbers.h"
#include "test_support.h"
#include "ui/analysis/life_table_frm.h"
#include "ui/analysis/life_table_result.h"
#include "ui/app/main_window.h"
#include "ui/charts/graph.h"
#include "ui/session/session.h"

using namespace testing_support;
using zandor::Edition;
using zandor::ui::TLife_table_frm;
using zandor::ui::TLife_table_result;
using zandor::ui::Tvendol;

namespace {

const QString kSample = QStringLiteral(ZANDOR_SOURCE_DIR "/samples/single_region.DB");
const QStringList kSampleFields = {"年龄", "男性人口", "女性人口", "男性死亡率", "女性死亡率", "年龄别生育率"};

template <typename Widget>
Widget* child(QWidget* parent, const char* name)
{
    auto* widget = parent->findChild<Widget*>(QString::fromLatin1(name));
    if (!widget)
        qWarning("no %s", name);
    return widget;
}

QStringList gridRow(QTableWidget* grid, int row)
{
    QStringList cells;
    for (int c = 0; c < grid->columnCount(); ++c)
        cells << (grid->item(row, c) ? grid->item(row, c)->text() : QStringLiteral("<none>"));
    return cells;
}

// Clicks a field of the list as a user would.
void clickField(TLife_table_frm* form, int row)
{
    auto* list = child<QListWidget>(form, "ListBox2");
    QListWidgetItem* item = list->item(row);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

}  // namespace

class LifeTableWindowTest : public QObject {
    Q_OBJECT

private:
    // The main window over a copy of the sample table, and the life-table dialog opened by
    // its command.
    struct Opened {
        std::unique_ptr<Tvendol> window;
        TLife_table_frm* form = nullptr;
    };

    // With `groups`, the table is one of that many five-year groups (the sample's fields),
    // held in memory, instead of the sample of single years.
    Opened open(std::size_t groups = 0)
    {
        Opened o;
        o.window = std::make_unique<Tvendol>(Edition::Full);
        if (groups > 0) {
            auto store = std::make_shared<MemoryStore>();
            for (const QString& name : kSampleFields)
                store->fields.push_back(field(name.toStdString(), tables::StorageType::Number));
            for (std::size_t i = 0; i < groups; ++i)
                store->rows.push_back({double(i), 5000.0, 4800.0, i + 1 < groups ? 0.01 : 0.3, 0.008, 0.0});
            store->count = groups;
            o.window->session().setCurrentTable(tables::Table(std::make_unique<MemoryTableFile>(store)),
                                                QStringLiteral("/data/grouped.DB"));
            action(o.window.get(), "LifeTable1")->trigger();
            o.form = o.window->lifeTableForm();
            return o;
        }
        const QString copy = dir_.filePath("single_region.DB");
        if (!QFile::exists(copy))
            QFile::copy(kSample, copy);
        if (!o.window->openTable(copy))
            return o;
        action(o.window.get(), "LifeTable1")->trigger();
        o.form = o.window->lifeTableForm();
        return o;
    }

    // Chooses the rate field through the list and its button, as a user does.
    void chooseRates(TLife_table_frm* form, const QString& field)
    {
        clickField(form, int(kSampleFields.indexOf(field)));
        QTest::mouseClick(child<QPushButton>(form, "Button3"), Qt::LeftButton);
    }

    QTemporaryDir dir_;

private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(kSample), "the sample table samples/single_region.DB is missing");
        QVERIFY(dir_.isValid());
    }

    // A new program starts with the remembered index 0.
    void dialogOpensWithItsDefaults()
    {
        PromptRecorder prompts;
        auto o = open();
        QVERIFY(o.form);
        TLife_table_frm* f = o.form;
        QCOMPARE(f->windowTitle(), QStringLiteral("生命表"));
        QVERIFY(f->isVisible());
        QCOMPARE(f->windowModality(), Qt::ApplicationModal);

        auto* list = child<QListWidget>(f, "ListBox2");
        QStringList names;
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        QCOMPARE(names, kSampleFields);
        QCOMPARE(o.window->session().lifeTableFieldIndex, 0);

        for (const char* edit : {"Edit2", "Edit3", "Edit6"})
            QCOMPARE(child<QLineEdit>(f, edit)->text(), QString());
        QCOMPARE(child<QLineEdit>(f, "Edit4")->text(), QStringLiteral("0.2"));
        QCOMPARE(child<QLineEdit>(f, "Edit5")->text(), QStringLiteral("1.5"));
        QCOMPARE(child<QComboBox>(f, "ComboBox1")->currentText(), QStringLiteral("Male"));
        QCOMPARE(child<QComboBox>(f, "ComboBox1")->count(), 2);
        QCOMPARE(child<QComboBox>(f, "ComboBox1")->itemText(1), QStringLiteral("Female"));

        const std::pair<const char*, const char*> radios[] = {
            {"RadioButton1", "1 Year "}, {"RadioButton2", "5 Years"},      {"RadioButton7", "死亡人口数"},
            {"RadioButton8", "死亡率"},  {"RadioButton3", "均匀分布"},     {"RadioButton4", "蒋庆琅法"},
            {"RadioButton5", "Coale-Demeny"}, {"RadioButton6", "联合国法"}};
        for (const auto& [name, caption] : radios)
            QCOMPARE(child<QRadioButton>(f, name)->text(), QString::fromUtf8(caption));
        QVERIFY(child<QRadioButton>(f, "RadioButton1")->isChecked());
        QVERIFY(child<QRadioButton>(f, "RadioButton8")->isChecked());
        QVERIFY(child<QRadioButton>(f, "RadioButton3")->isChecked());
        QVERIFY(!child<QPushButton>(f, "Button1")->isEnabled());
        QVERIFY(!child<QPushButton>(f, "Button2")->isEnabled());
        QVERIFY(child<QPushButton>(f, "Button3")->isEnabled());
        QCOMPARE(child<QPushButton>(f, "Button1")->text(), QStringLiteral(">>>"));
        QCOMPARE(child<QPushButton>(f, "BitBtn1")->text(), QStringLiteral("确认"));
        QCOMPARE(child<QPushButton>(f, "BitBtn2")->text(), QStringLiteral("取消"));

        // Without a click the remembered index 0 copies the first field.
        QTest::mouseClick(child<QPushButton>(f, "Button3"), Qt::LeftButton);
        QCOMPARE(child<QLineEdit>(f, "Edit6")->text(), QStringLiteral("年龄"));
        QCOMPARE(prompts.messages, QStringList());
    }

    void modeButtonsSwitchTheCopyButtons()
    {
        PromptRecorder prompts;
        auto o = open();
        TLife_table_frm* f = o.form;
        // Exclusive groups: choosing one of a pair clears the other, and other groups stay.
        QTest::mouseClick(child<QRadioButton>(f, "RadioButton7"), Qt::LeftButton);
        QVERIFY(!child<QRadioButton>(f, "RadioButton8")->isChecked());
        QVERIFY(child<QRadioButton>(f, "RadioButton1")->isChecked());
        QVERIFY(child<QRadioButton>(f, "RadioButton3")->isChecked());
        QVERIFY(child<QPushButton>(f, "Button1")->isEnabled());
        QVERIFY(child<QPushButton>(f, "Button2")->isEnabled());
        QVERIFY(!child<QPushButton>(f, "Button3")->isEnabled());
        QTest::mouseClick(child<QRadioButton>(f, "RadioButton6"), Qt::LeftButton);
        QVERIFY(!child<QRadioButton>(f, "RadioButton3")->isChecked());
        QTest::mouseClick(child<QRadioButton>(f, "RadioButton8"), Qt::LeftButton);
        QVERIFY(!child<QPushButton>(f, "Button1")->isEnabled());
        QVERIFY(!child<QPushButton>(f, "Button2")->isEnabled());
        QVERIFY(child<QPushButton>(f, "Button3")->isEnabled());
    }

    void listIndexIsRememberedAcrossOpenings()
    {
        PromptRecorder prompts;
        auto o = open();
        QTest::mouseClick(child<QRadioButton>(o.form, "RadioButton7"), Qt::LeftButton);
        clickField(o.form, 1);
        QTest::mouseClick(child<QPushButton>(o.form, "Button1"), Qt::LeftButton);
        clickField(o.form, 3);
        QTest::mouseClick(child<QPushButton>(o.form, "Button2"), Qt::LeftButton);
        QCOMPARE(child<QLineEdit>(o.form, "Edit2")->text(), QStringLiteral("男性人口"));
        QCOMPARE(child<QLineEdit>(o.form, "Edit3")->text(), QStringLiteral("男性死亡率"));
        QTest::mouseClick(child<QPushButton>(o.form, "BitBtn2"), Qt::LeftButton);
        QVERIFY(!o.form->isVisible());

        // The command opens a new dialog in the same program run.
        action(o.window.get(), "LifeTable1")->trigger();
        TLife_table_frm* again = o.window->lifeTableForm();
        QVERIFY(again && again != o.form);
        QCOMPARE(o.window->session().lifeTableFieldIndex, 3);
        QTest::mouseClick(child<QPushButton>(again, "Button3"), Qt::LeftButton);
        QCOMPARE(child<QLineEdit>(again, "Edit6")->text(), QStringLiteral("男性死亡率"));
    }

    // The sample's male rates come from a Siler schedule with e0 = 75.00 (samples/README.md);
    // the uniform a-values and q = 1 - exp(-M) land within a tenth of a year of it.
    void computesFromTheSampleTable()
    {
        PromptRecorder prompts;
        auto o = open();
        chooseRates(o.form, "男性死亡率");
        QTest::mouseClick(child<QPushButton>(o.form, "BitBtn1"), Qt::LeftButton);
        QVERIFY(runsEnded(o.form));
        QCOMPARE(prompts.messages, QStringList());
        TLife_table_result* r = o.form->resultWindow();
        QVERIFY(r);
        QVERIFY(r->isVisible());
        QVERIFY(o.form->isVisible());  // the dialog stays open
        QCOMPARE(r->windowTitle(), QStringLiteral("生命表"));
        auto* grid = child<QTableWidget>(r, "StringGrid1");
        QCOMPARE(grid->rowCount(), 102);
        QCOMPARE(grid->columnCount(), 8);
        QCOMPARE(gridRow(grid, 0), (QStringList{"年龄组", "Mx", "qx", "lx", "Dx", "Lx", "Tx", "ex"}));
        QCOMPARE(grid->item(1, 0)->text(), QStringLiteral("0"));
        QCOMPARE(grid->item(1, 3)->text(), QStringLiteral("1"));
        QVERIFY(std::abs(grid->item(1, 7)->text().toDouble() - 75.0) < 0.1);
        QCOMPARE(grid->item(101, 0)->text(), QStringLiteral("100"));
        QCOMPARE(grid->item(101, 2)->text(), QStringLiteral("1"));
        QCOMPARE(grid->item(101, 3)->text(), grid->item(101, 4)->text());
        QCOMPARE(child<QPushButton>(r, "BitBtn3")->text(), QStringLiteral("图形"));
        QCOMPARE(child<QPushButton>(r, "BitBtn1")->text(), QStringLiteral("保存"));
        QCOMPARE(child<QPushButton>(r, "BitBtn2")->text(), QStringLiteral("取消"));

        // 导出Excel writes the table as a workbook where the user says.
        QTemporaryDir dir;
        prompts.saveAnswers = {dir.filePath("生命表.xlsx")};
        QTest::mouseClick(child<QPushButton>(r, "BitBtn4"), Qt::LeftButton);
        QCOMPARE(prompts.messages, QStringList());
        QFile written(dir.filePath("生命表.xlsx"));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.read(2), QByteArray("PK"));

        // A second press opens a new window; 取消 closes it.
        QTest::mouseClick(child<QPushButton>(o.form, "BitBtn1"), Qt::LeftButton);
        QVERIFY(runsEnded(o.form));
        QVERIFY(o.form->resultWindow() != r);
        QTest::mouseClick(child<QPushButton>(o.form->resultWindow(), "BitBtn2"), Qt::LeftButton);
        QVERIFY(!o.form->resultWindow()->isVisible());
    }

    void refusalsOpenNoResultWindow_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("message");
        QTest::newRow("no rate field") << "" << "Not enough variable selected!";
        QTest::newRow("deaths field missing") << "counts" << "Not enough variable selected!";
        QTest::newRow("sex typed in lower case")
            << "coale-demeny male"
            << "性别“male”既不是 \"Male\" 也不是 \"Female\": Coale-Demeny 需要其中之一.";
        QTest::newRow("5 Years on single years")
            << "abridged"
            << "\"5 Years\" 要求按 0, 1-4, 5-9 ... 岁分组的数据, 而字段“男性死亡率”有 101 个记录 (多于 30 个, "
               "是单岁数据): 请选择 \"1 Year\".";
        QTest::newRow("a0 no number") << "a0" << "均匀分布的 a0: “0,2”不是有效的数值";
        // Population counts taken for rates: nobody survives the first year.
        QTest::newRow("counts as rates")
            << "population" << "第 1 年龄组已无存活者 (最后一组之前 lx = 0): 字段“男性人口”第 0 年龄组的死亡率过高, "
                               "无法计算 ex = Tx/lx.";
    }

    void refusalsOpenNoResultWindow()
    {
        QFETCH(QString, setup);
        QFETCH(QString, message);
        PromptRecorder prompts;
        auto o = open();
        TLife_table_frm* f = o.form;
        if (setup == "counts") {
            QTest::mouseClick(child<QRadioButton>(f, "RadioButton7"), Qt::LeftButton);
            child<QLineEdit>(f, "Edit2")->setText("男性人口");
        } else if (setup == "coale-demeny male") {
            chooseRates(f, "男性死亡率");
            QTest::mouseClick(child<QRadioButton>(f, "RadioButton5"), Qt::LeftButton);
            auto* sex = child<QComboBox>(f, "ComboBox1");
            sex->clearEditText();
            QTest::keyClicks(sex, "male");
        } else if (setup == "a0") {
            chooseRates(f, "男性死亡率");
            child<QLineEdit>(f, "Edit4")->setText("0,2");
        } else if (setup == "abridged") {
            chooseRates(f, "男性死亡率");
            QTest::mouseClick(child<QRadioButton>(f, "RadioButton2"), Qt::LeftButton);
        } else if (setup == "population") {
            chooseRates(f, "男性人口");
        }
        QTest::mouseClick(child<QPushButton>(f, "BitBtn1"), Qt::LeftButton);
        QVERIFY(runsEnded(f));
        QCOMPARE(prompts.messages, QStringList{message});
        QVERIFY(!f->resultWindow());
        QVERIFY(f->isVisible());
    }

    void chartShowsTheSurvivalCurve_data()
    {
        QTest::addColumn<bool>("abridged");
        QTest::addColumn<QStringList>("firstLabels");
        QTest::newRow("single years") << false << QStringList{"0", "1", "2", "3", "4", "5"};
        QTest::newRow("abridged groups") << true << QStringList{"0", "4", "9", "14", "19", "24"};
    }

    void chartShowsTheSurvivalCurve()
    {
        QFETCH(bool, abridged);
        QFETCH(QStringList, firstLabels);
        PromptRecorder prompts;
        auto o = open(abridged ? 22 : 0);
        chooseRates(o.form, "男性死亡率");
        if (abridged)
            QTest::mouseClick(child<QRadioButton>(o.form, "RadioButton2"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(o.form, "BitBtn1"), Qt::LeftButton);
        QVERIFY(runsEnded(o.form));
        TLife_table_result* r = o.form->resultWindow();
        QVERIFY(r);
        QTest::mouseClick(child<QPushButton>(r, "BitBtn3"), Qt::LeftButton);

        zandor::ui::TGraph* graph = r->chartWindow();
        QVERIFY(graph);
        QVERIFY(graph->isVisible());
        QCOMPARE(graph->windowModality(), Qt::ApplicationModal);
        QCOMPARE(o.window->session().charts.newestChartWindow.data(), graph);
        const zandor::charts::ChartModel& chart = graph->chartModel();
        QVERIFY(chart.view.enabled);
        QCOMPARE(chart.title, QStringLiteral("存活曲线图"));
        QCOMPARE(chart.bottomAxis.title, QStringLiteral("年龄"));
        QCOMPARE(chart.leftAxis.title, QStringLiteral("存活概率(lx)"));
        QCOMPARE(chart.series.size(), std::size_t(1));
        const zandor::charts::Series& curve = chart.series.front();
        QCOMPARE(curve.kind, zandor::charts::SeriesKind::Line);
        QCOMPARE(curve.title, QStringLiteral("存活曲线"));
        QCOMPARE(curve.color, QColor(255, 0, 0));
        QCOMPARE(curve.points.size(), std::size_t(abridged ? 22 : 101));

        // The points are the grid's lx, coloured blue, labelled by age.
        auto* grid = child<QTableWidget>(r, "StringGrid1");
        QStringList labels;
        for (std::size_t k = 0; k < curve.points.size(); ++k) {
            const auto& point = curve.points[k];
            QCOMPARE(point.color, QColor(0, 0, 255));
            QCOMPARE(zandor::text::formatPattern(point.y, "####.######"),
                     grid->item(int(k) + 1, 3)->text().toStdString());
            if (k < std::size_t(firstLabels.size()))
                labels << point.label;
        }
        QCOMPARE(labels, firstLabels);
        QCOMPARE(curve.points.back().label, abridged ? QStringLiteral("104") : QStringLiteral("100"));

        // It draws: the chart area holds more than its background.
        const QImage image = graph->chartArea()->grabChart();
        QVERIFY(!image.isNull());
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 4)
            for (int x = 0; x < image.width(); x += 4)
                colours.insert(image.pixel(x, y));
        QVERIFY(colours.size() > 3);
        QCOMPARE(prompts.messages, QStringList());

        // The legend shows what the plot draws: a red line with blue points.
        const zandor::charts::Chart drawn(chart);
        const zandor::charts::ChartLayout& layout = drawn.layout(QSizeF(800, 600));
        QCOMPARE(layout.legend.size(), std::size_t(1));
        const QRectF symbol = layout.legend.front().symbol;
        QSet<QString> plotLines, plotMarkers, legendLines, legendMarkers;
        for (const auto& item : layout.items) {
            if (const auto* line = std::get_if<zandor::charts::PolylineItem>(&item)) {
                const QColor c = line->pen.color();
                if (c.hsvSaturation() > 0)  // not the black and grey of walls and axes
                    (symbol.contains(line->points.boundingRect().center()) ? legendLines : plotLines) << (c.hsvHue() == 0 ? "red" : c.name());
            } else if (const auto* marker = std::get_if<zandor::charts::MarkerItem>(&item)) {
                (symbol.contains(marker->centre) ? legendMarkers : plotMarkers) << marker->brush.color().name();
            }
        }
        QCOMPARE(plotLines, QSet<QString>{"red"});
        QCOMPARE(legendLines, QSet<QString>{"red"});
        QCOMPARE(plotMarkers, QSet<QString>{"#0000ff"});
        QCOMPARE(legendMarkers, QSet<QString>{"#0000ff"});
    }

    void savesTheGridOnceUnderOneName()
    {
        PromptRecorder prompts;
        auto o = open(22);
        chooseRates(o.form, "女性死亡率");
        QTest::mouseClick(child<QRadioButton>(o.form, "RadioButton2"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(o.form, "BitBtn1"), Qt::LeftButton);
        QVERIFY(runsEnded(o.form));
        TLife_table_result* r = o.form->resultWindow();
        QVERIFY(r);
        auto* save = child<QPushButton>(r, "BitBtn1");

        // Cancelled: nothing happens.
        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(prompts.saveFilters.size(), 1);
        QCOMPARE(prompts.messages, QStringList());

        const QString path = dir_.filePath("女性生命表.db");
        prompts.saveAnswers = {path};
        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(prompts.messages, QStringList{"File already Saved!"});

        auto* grid = child<QTableWidget>(r, "StringGrid1");
        auto saved = zandor::tables::Table::open(path.toStdString(), true);
        QCOMPARE(saved.recordCount(), std::size_t(grid->rowCount()));
        saved.first();
        for (int row = 0; row < grid->rowCount(); ++row, saved.next())
            for (int c = 0; c < 8; ++c)
                QCOMPARE(QString::fromStdString(saved.asString("field0" + std::to_string(c))),
                         grid->item(row, c)->text());
        saved.close();

        // The same name again, typed without the extension: refused.
        prompts.messages.clear();
        prompts.saveAnswers = {dir_.filePath("女性生命表")};
        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(prompts.messages,
                 QStringList{"File" + path + " already exist, Please change another file name!"});
    }
};

QTEST_MAIN(LifeTableWindowTest)
#include "life_table_window_test.moc"
