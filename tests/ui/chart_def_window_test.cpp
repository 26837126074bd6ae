// The chart commands of the 图形 menu walked as a user does, by object name: fields moved
// with ">>>" (text fields passed over, a field twice), "<<<", 2-D or 3-D, the dialog staying
// open for a second chart, the point style kept from one point dialog to the next, the font
// settings shared by the family, fields reported by name, the scatter plot with labels and
// the age pyramid. And once: a chart of the dialog's defaults is the chart zandor-cli draws.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFontDialog>
#include <QListView>
#include <QTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <cstdio>

#include "charts/chart_export.h"
#include "cli/cli.h"
#include "test_support.h"
#include "ui/app/main_window.h"
#include "ui/charts/age_stru_frm.h"
#include "ui/charts/chart_def_frm.h"
#include "ui/charts/chart_prompts.h"
#include "ui/charts/graph.h"
#include "ui/charts/scatter_frm.h"
#include "ui/session/session.h"

using namespace testing_support;
using namespace zandor::ui;
namespace charts = zandor::charts;

namespace {

template <typename Widget>
Widget* child(QWidget* parent, const char* name)
{
    return parent->findChild<Widget*>(QString::fromLatin1(name));
}

void click(QWidget* parent, const char* name)
{
    auto* button = child<QAbstractButton>(parent, name);
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton);
}

// Selects the named items of a list (and only them), as a user's clicks do.
void select(QListWidget* list, const QStringList& names)
{
    list->clearSelection();
    for (const QString& name : names) {
        QListWidgetItem* item = list->findItems(name, Qt::MatchExactly).value(0);
        QVERIFY2(item, qPrintable(name));
        item->setSelected(true);
        list->setCurrentItem(item, QItemSelectionModel::Select);
    }
}

// Clicks the item's radio button on its round indicator.
void choose(QWidget* group, int item)
{
    auto* button = child<QRadioButton>(group, QStringLiteral("RadioButton%1").arg(item).toLatin1().constData());
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

QStringList items(QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

QStringList seriesTitles(const charts::ChartModel& model)
{
    QStringList titles;
    for (const charts::Series& s : model.series)
        titles << s.title;
    return titles;
}

// A table with a text field among the numeric ones.
std::shared_ptr<MemoryStore> mixedTable()
{
    auto store = std::make_shared<MemoryStore>();
    store->fields = {field("年龄", tables::StorageType::LongInt), field("地区", tables::StorageType::Alpha, 10),
                     field("男性人口", tables::StorageType::Number), field("女性人口", tables::StorageType::Number)};
    for (int i = 0; i < 4; ++i)
        store->rows.push_back({std::int64_t(i), std::string("区") + std::to_string(i), 100.0 - 10 * i, 90.0 - 10 * i});
    store->count = 4;
    return store;
}

}  // namespace

class ChartDefWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Tvendol> window_;
    std::unique_ptr<PromptRecorder> prompts_;

    Session& session() { return window_->session(); }

    template <class Dialog>
    Dialog* open(const char* command)
    {
        action(window_.get(), command)->trigger();
        return session().dialogs.of<Dialog>();
    }

private slots:
    void init()
    {
        prompts_ = std::make_unique<PromptRecorder>();
        window_ = std::make_unique<Tvendol>(zandor::Edition::Full);
        window_->session().setCurrentTable(tables::Table(std::make_unique<MemoryTableFile>(mixedTable())),
                                           QStringLiteral("/data/memory.DB"));
    }
    void cleanup()
    {
        window_.reset();
        prompts_.reset();
    }

    void fieldsAreMovedAndDrawnOnePerSeries()
    {
        auto* dialog = open<TLine_def_frm>("Line1");
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("线形图"));
        QCOMPARE(items(dialog->ListBox1), (QStringList{"年龄", "地区", "男性人口", "女性人口"}));
        QVERIFY(child<QRadioButton>(dialog->RadioGroup1, "RadioButton0")->isChecked());

        // The text field is passed over; the same selection twice lists the fields twice.
        select(dialog->ListBox1, {"地区", "男性人口", "女性人口"});
        click(dialog, "Button4");
        QCOMPARE(items(dialog->ListBox2), (QStringList{"男性人口", "女性人口"}));
        click(dialog, "Button5");
        QCOMPARE(items(dialog->ListBox2), QStringList{});
        select(dialog->ListBox1, {"男性人口"});
        click(dialog, "Button4");
        click(dialog, "Button4");
        dialog->Edit1->setText("人口");
        dialog->Edit2->setText("年龄");
        click(dialog, "BitBtn2");

        TGraph* first = dialog->chartWindow();
        QVERIFY(first && first->isVisible());
        QCOMPARE(first->windowModality(), Qt::ApplicationModal);
        const charts::ChartModel& m = first->chartModel();
        QCOMPARE(seriesTitles(m), (QStringList{"男性人口", "男性人口"}));
        QCOMPARE(m.series[0].points.size(), std::size_t(4));
        QCOMPARE(m.series[1].points[3].y, 70.0);
        QCOMPARE(m.title, QStringLiteral("人口"));
        QCOMPARE(m.bottomAxis.title, QStringLiteral("年龄"));
        QVERIFY(m.view.enabled);
        click(first, "BitBtn6");  // the chart window's "取消"

        // The dialog stays open: a flat chart next.
        QVERIFY(dialog->isVisible());
        choose(dialog->RadioGroup1, 1);
        click(dialog, "BitBtn2");
        QVERIFY(dialog->chartWindow() != first);
        QVERIFY(!dialog->chartWindow()->chartModel().view.enabled);
        QCOMPARE(prompts_->messages, QStringList{});
        click(dialog->chartWindow(), "BitBtn6");
        click(dialog, "BitBtn1");
        QVERIFY(!dialog->isVisible());
    }

    void eachMemberAddsItsOwnSettings()
    {
        auto* bars = open<TBar_def_frm>("Bar1");
        QCOMPARE(bars->windowTitle(), QStringLiteral("垂直直方图"));
        select(bars->ListBox1, {"男性人口", "女性人口"});
        click(bars, "Button4");
        choose(bars->RadioGroup2, 2);  // 叠式
        bars->CheckBox1->setChecked(true);
        click(bars, "BitBtn2");
        const charts::Series& bar = bars->chartWindow()->chartModel().series[1];
        QCOMPARE(bar.kind, charts::SeriesKind::Bar);
        QCOMPARE(bar.stacking, charts::Stacking::Stacked);
        QVERIFY(bar.marksVisible);
        click(bars->chartWindow(), "BitBtn6");

        auto* horiz = open<THoriz_def_frm>("HorizBar1");
        QCOMPARE(horiz->CheckBox1->text(), QStringLiteral("Visible Label"));
        QCOMPARE(horiz->RadioGroup2->itemIndex(), 0);

        auto* area = open<TArea_def_frm>("Area1");
        select(area->ListBox1, {"女性人口"});
        click(area, "Button4");
        choose(area->RadioGroup2, 2);  // 叠式(100%)
        click(area, "BitBtn2");
        QCOMPARE(area->chartWindow()->chartModel().series[0].kind, charts::SeriesKind::Area);
        QCOMPARE(area->chartWindow()->chartModel().series[0].stacking, charts::Stacking::Stacked100);
    }

    void thePointStyleOutlivesItsDialogAndTheFontsAreShared()
    {
        auto* points = open<TPoint_def_frm>("Point1");
        points->ComboBox2->setCurrentText("星形");
        points->SpinEdit1->setValue(9);
        click(points, "BitBtn1");

        // A new point dialog shows "矩形" but draws stars.
        points = open<TPoint_def_frm>("Point1");
        QCOMPARE(points->ComboBox2->currentText(), QStringLiteral("矩形"));
        QCOMPARE(points->SpinEdit1->value(), 4);
        select(points->ListBox1, {"年龄"});
        click(points, "Button4");
        click(points, "BitBtn2");
        QCOMPARE(points->chartWindow()->chartModel().series[0].pointShape, charts::PointShape::Star);
        click(points->chartWindow(), "BitBtn6");

        // 主标题 opens the standard font dialog itself, with its font list filled and shown;
        // 取消 there leaves the title font as it was.
        const charts::FontSpec untouched = session().charts.titleFont;
        bool listShown = false;
        QTimer::singleShot(0, [&listShown] {
            auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QVERIFY(dialog->isVisible());
            auto* families = dialog->findChild<QListView*>();
            listShown = families && families->isVisible() && families->model()->rowCount() > 0;
            QVERIFY(dialog->findChild<QPushButton*>(QStringLiteral("ColorButton")));
            dialog->reject();
        });
        click(points, "BitBtn3");
        QVERIFY(listShown);
        QCOMPARE(session().charts.titleFont.size, untouched.size);
        QCOMPARE(session().charts.titleFont.bold, untouched.bold);

        // The title font chosen in one dialog is the title font of every chart dialog.
        ChartPromptHooks hooks;
        hooks.font = [](const charts::FontSpec& initial) {
            charts::FontSpec chosen = initial;
            chosen.size = 20;
            chosen.color = Qt::darkGreen;
            chosen.bold = true;
            return std::optional(chosen);
        };
        const ChartPromptHooks before = ChartPrompts::setHooks(hooks);
        click(points, "BitBtn3");
        ChartPrompts::setHooks(before);
        auto* area = open<TArea_def_frm>("Area1");
        select(area->ListBox1, {"年龄"});
        click(area, "Button4");
        click(area, "BitBtn2");
        const charts::FontSpec& title = area->chartWindow()->chartModel().titleFont;
        QCOMPARE(title.size, 20);
        QCOMPARE(title.color, QColor(Qt::darkGreen));
        QVERIFY(title.bold);
        QCOMPARE(area->chartWindow()->chartModel().leftAxis.titleFont.size, 10);
    }

    void scatterPlotWithLabelsAndFieldsReportedByName()
    {
        auto* scatter = open<Tscatter_Frm>("Scator1");
        QCOMPARE(scatter->windowTitle(), QStringLiteral("散点图"));
        click(scatter, "BitBtn2");
        QCOMPARE(prompts_->messages.value(0), QStringLiteral("请先选择纵坐标字段."));

        // Any field goes into a box; a text field is refused by name when drawing.
        select(scatter->ListBox1, {"地区"});
        click(scatter, "Button4");
        select(scatter->ListBox1, {"年龄"});
        click(scatter, "Button5");
        QCOMPARE(scatter->Edit4->text(), QStringLiteral("地区"));
        // Each field box holds the table's longest field name whole.
        for (const QString& name : session().fieldNames())
            QVERIFY2(scatter->Edit4->minimumWidth() > scatter->Edit4->fontMetrics().horizontalAdvance(name),
                     qPrintable(name));
        click(scatter, "BitBtn2");
        QCOMPARE(prompts_->messages.value(1), QStringLiteral("字段“地区”不是数值型字段."));
        QVERIFY(!scatter->chartWindow());

        select(scatter->ListBox1, {"男性人口"});
        click(scatter, "Button4");
        select(scatter->ListBox1, {"地区"});
        click(scatter, "Button1");
        scatter->CheckBox1->setChecked(true);
        scatter->ComboBox2->setCurrentIndex(1);  // 圆形, apart from the point dialog's style
        click(scatter, "BitBtn2");
        const charts::ChartModel& m = scatter->chartWindow()->chartModel();
        QVERIFY(!m.legendVisible);
        QCOMPARE(m.series.size(), std::size_t(1));
        const charts::Series& s = m.series[0];
        QVERIFY(s.hasXValues && s.marksVisible && s.marksShowLabels);
        QCOMPARE(s.pointShape, charts::PointShape::Circle);
        QCOMPARE(session().charts.pointStyle, 0);
        QCOMPARE(s.points[2].x, 2.0);
        QCOMPARE(s.points[2].y, 80.0);
        QCOMPARE(s.points[2].label, QStringLiteral("区2"));
        click(scatter->chartWindow(), "BitBtn6");

        // A label field that is gone is named.
        scatter->Edit6->setText("标签");
        click(scatter, "BitBtn2");
        QCOMPARE(prompts_->messages.value(2), QStringLiteral("数据表中没有字段“标签”."));
    }

    void agePyramidOfSharesAndItsRefusals()
    {
        auto* pyramid = open<TAge_stru_frm>("AgePyrimider1");
        QCOMPARE(pyramid->windowTitle(), QStringLiteral("年龄结构金子塔"));
        // ">>>" passes over a text field.
        select(pyramid->ListBox1, {"地区"});
        click(pyramid, "Button4");
        QCOMPARE(pyramid->Edit2->text(), QString());
        select(pyramid->ListBox1, {"男性人口"});
        click(pyramid, "Button4");
        select(pyramid->ListBox1, {"女性人口"});
        click(pyramid, "Button5");
        pyramid->Edit1->setText("金字塔");
        click(pyramid, "BitBtn2");
        const charts::ChartModel& m = pyramid->chartWindow()->chartModel();
        QCOMPARE(seriesTitles(m), (QStringList{"男性人口", "女性人口"}));
        QVERIFY(!m.view.enabled);
        QCOMPARE(m.series[0].color, QColor(Qt::blue));
        QCOMPARE(m.series[1].color, QColor(Qt::red));
        double sum = 0;
        for (const charts::Series& s : m.series)
            for (const charts::DataPoint& p : s.points)
                sum += std::abs(p.y);
        QCOMPARE(sum, 1.0);
        QVERIFY(m.series[0].points[0].y < 0 && m.series[1].points[0].y > 0);
        QCOMPARE(m.series[0].points[3].label, QStringLiteral("3"));
        TGraph* drawn = pyramid->chartWindow();
        click(drawn, "BitBtn6");

        // Both sums zero: said so, nothing drawn.
        pyramid->Edit2->setText("年龄");
        pyramid->Edit3->setText("年龄");
        auto& table = session().table();
        for (table.first(); !table.eof(); table.next()) {
            table.edit();
            table.setValue("年龄", tables::Value(std::int64_t(0)));
            table.post();
        }
        click(pyramid, "BitBtn2");
        QCOMPARE(prompts_->messages, QStringList{"男性和女性人口合计为零, 无法计算年龄结构."});
        QCOMPARE(pyramid->chartWindow(), drawn);
    }

    // The dialog with its default settings and zandor-cli with the same fields draw the same
    // pixels at the same size.
    void theDialogsChartIsTheCommandsChart()
    {
        QTemporaryDir dir;
        const QString table = dir.filePath("single_region.DB");
        QVERIFY(QFile::copy(QStringLiteral(ZANDOR_SOURCE_DIR "/samples/single_region.DB"), table));
        QVERIFY(window_->openTable(table));
        auto* dialog = open<TLine_def_frm>("Line1");
        select(dialog->ListBox1, {"男性人口", "女性人口"});
        click(dialog, "Button4");
        click(dialog, "BitBtn2");
        const QImage drawn = charts::renderToImage(dialog->chartWindow()->chartArea()->chart(), QSize(640, 480));

        const QString out = dir.filePath("chart.png");
        std::FILE* sink = std::tmpfile();
        const int status = zandor::cli::runCli({"chart", table.toStdString(), "--kind", "line", "--fields",
                                                "男性人口,女性人口", "--3d", "--size", "640x480", "--out", out.toStdString()},
                                               {sink, sink});
        std::fclose(sink);
        QCOMPARE(status, 0);
        QCOMPARE(QImage(out).convertToFormat(drawn.format()), drawn);
    }
};

QTEST_MAIN(ChartDefWindowTest)
#include "chart_def_window_test.moc"
