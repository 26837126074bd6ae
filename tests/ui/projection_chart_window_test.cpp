// The animated charts of the single-region results dialog in chart windows: the line chart's
// grey pass and its points turning red one per frame, the bars appearing one per frame, the
// age pyramid's frames and the chart window's pyramid buttons on the result set, entries
// without a chart, and chart windows that stay open after the results dialog closes.
#include <QtTest>

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

#include "projection/indicators.h"
#include "projection_window_support.h"
#include "ui/charts/graph.h"

using namespace testing_support;
using zandor::Edition;
using zandor::ui::TGraph;
namespace projection = zandor::projection;
namespace charts = zandor::charts;

Q_DECLARE_METATYPE(zandor::Edition)

namespace {

const QColor kSilver(192, 192, 192);

// What one frame left on the chart.
struct Frame {
    QString title;
    int points = 0;  // of the first series
    int red = 0;     // points drawn in red
};

// Presses "显示" in the given mode and returns the new chart window, recording every frame
// it shows until its animation has ended.
TGraph* showChart(ResultsFixture& f, const char* mode, const QString& entry, QList<Frame>* frames = nullptr)
{
    f.get<QRadioButton>(mode)->click();
    f.get<QComboBox>("ComboBox1")->setEditText(entry);
    const auto before = f.dialog->findChildren<TGraph*>().size();
    f.get<QPushButton>("BitBtn2")->click();
    const auto windows = f.dialog->findChildren<TGraph*>();
    if (windows.size() != before + 1)
        return nullptr;
    TGraph* graph = windows.last();
    if (frames) {
        QObject::connect(&graph->animator(), &zandor::ui::FrameAnimator::frameShown, graph, [graph, frames] {
            const charts::ChartModel& m = graph->chartModel();
            Frame frame{m.title, 0, 0};
            if (!m.series.empty()) {
                const auto& s = m.series.front();
                frame.points = static_cast<int>(s.points.size());
                for (std::size_t i = 0; i < s.points.size(); ++i)
                    frame.red += s.pointColor(i) == QColor(Qt::red) ? 1 : 0;
            }
            frames->append(frame);
        });
    }
    return graph;
}

bool waitForAnimation(TGraph* graph)
{
    return QTest::qWaitFor([graph] { return !graph->animator().running(); }, 60000);
}

}  // namespace

class ProjectionChartWindowTest : public QObject {
    Q_OBJECT
private slots:
    // The frames and their order are what is checked, not their pace.
    void initTestCase() { zandor::ui::FrameAnimator::setSpeed(100); }

    void lineChartTurnsRedPointByPoint()
    {
        ResultsFixture f;
        QList<Frame> frames;
        TGraph* graph = showChart(f, "RadioButton1", "出生人数", &frames);
        QVERIFY(graph);
        QVERIFY(waitForAnimation(graph));
        QVERIFY(graph->isVisible());
        QVERIFY(graph->windowState() & Qt::WindowMaximized);
        QCOMPARE(graph->windowModality(), Qt::NonModal);
        QCOMPARE(graph->parent(), f.dialog);
        QCOMPARE(f.window->session().charts.newestChartWindow.data(), graph);

        // The grey pass, then one more red point per frame.
        QCOMPARE(frames.size(), 6);
        for (int i = 0; i < frames.size(); ++i) {
            QCOMPARE(frames[i].points, 5);
            QCOMPARE(frames[i].red, i);
        }
        const charts::ChartModel& m = graph->chartModel();
        QCOMPARE(m.title, QString("出生人数"));
        QCOMPARE(m.titleFont.size, 18);
        QCOMPARE(m.titleFont.color, QColor(Qt::black));
        QVERIFY(!m.view.enabled);
        QVERIFY(!m.legendVisible);
        QCOMPARE(m.series.size(), std::size_t(1));
        const charts::Series& s = m.series.front();
        QCOMPARE(s.kind, charts::SeriesKind::Line);
        QVERIFY(!s.marksVisible);
        QCOMPARE(s.lineWidth, 1);
        // Births are plotted unrounded, labelled with the calendar year.
        const auto births = projection::indicatorValues(f.results(), projection::indicator::kBirths);
        for (int t = 0; t < 5; ++t) {
            QCOMPARE(s.points[t].y, births[t]);
            QCOMPARE(s.points[t].label, QString::number(2001 + t));
        }
        QVERIFY(births[0] != std::round(births[0]));
    }

    void barChartAddsBarsOneByOne()
    {
        ResultsFixture f;
        QList<Frame> frames;
        TGraph* graph = showChart(f, "RadioButton15", "0--14岁人口比重", &frames);
        QVERIFY(graph);
        QVERIFY(graph->isVisible());
        QVERIFY(waitForAnimation(graph));
        QCOMPARE(frames.size(), 5);
        for (int i = 0; i < frames.size(); ++i) {
            QCOMPARE(frames[i].points, i + 1);
            QCOMPARE(frames[i].red, i + 1);
        }
        const charts::ChartModel& m = graph->chartModel();
        QVERIFY(m.view.enabled);  // the chart window's own 3-D view
        QVERIFY(!m.legendVisible);
        QCOMPARE(m.title, QString("0--14岁人口比重"));
        QCOMPARE(m.series.front().kind, charts::SeriesKind::Bar);
        const auto shares = projection::indicatorValues(f.results(), 6);
        QCOMPARE(m.series.front().points[4].y, shares[4]);
    }

    void pyramidPlaysEveryYear_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("line mode") << "RadioButton1";
        QTest::newRow("bar mode") << "RadioButton15";
    }

    void pyramidPlaysEveryYear()
    {
        QFETCH(QString, mode);
        ResultsFixture f;
        QList<Frame> frames;
        TGraph* graph = showChart(f, qPrintable(mode), "总人口年龄结构", &frames);
        QVERIFY(graph);
        QVERIFY(waitForAnimation(graph));
        QStringList titles;
        for (const Frame& frame : frames)
            titles << frame.title;
        QCOMPARE(titles, (QStringList{"2001 年龄结构金字塔", "2002 年龄结构金字塔", "2003 年龄结构金字塔",
                                      "2004 年龄结构金字塔", "2005 年龄结构金字塔", "2005 年龄结构金字塔"}));
        const charts::ChartModel& m = graph->chartModel();
        QVERIFY(!m.view.enabled);
        QVERIFY(m.legendVisible);
        QCOMPARE(m.series.size(), std::size_t(2));
        QCOMPARE(m.series[0].title, QString("男性"));
        QCOMPARE(m.series[0].color, QColor(Qt::blue));
        QCOMPARE(m.series[1].title, QString("女性"));
        QCOMPARE(m.series[1].color, QColor(Qt::red));
        const projection::PyramidFrame last = projection::pyramidFrame(f.results(), 4);
        QCOMPARE(m.series[0].points.size(), std::size_t(101));
        for (std::size_t a = 0; a < 101; ++a) {
            QCOMPARE(m.series[0].points[a].y, last.maleShares[a]);
            QCOMPARE(m.series[1].points[a].y, last.femaleShares[a]);
        }
        QVERIFY(m.series[0].points[30].y < 0);
        QVERIFY(child<QPushButton>(graph, "Button1")->isVisible());
        QVERIFY(child<QPushButton>(graph, "Button2")->isVisible());
    }

    // "<<<" steps back from the end year through the result set, and cycles.
    void pyramidButtonsReadTheResultSet()
    {
        ResultsFixture f;
        TGraph* graph = showChart(f, "RadioButton1", "总人口年龄结构");
        QVERIFY(graph);
        QVERIFY(waitForAnimation(graph));
        auto& results = f.window->session().singleRegion.results;
        const int& cursor = f.window->session().singleRegion.pyramidFrameCursor;
        QCOMPARE(cursor, 5);
        QStringList shown;
        for (int press = 0; press < 6; ++press) {
            child<QPushButton>(graph, "Button1")->click();
            QVERIFY(waitForAnimation(graph));
            shown << graph->chartModel().title;
        }
        QCOMPARE(shown, (QStringList{"2005 年龄结构金字塔", "2004 年龄结构金字塔", "2003 年龄结构金字塔",
                                     "2002 年龄结构金字塔", "2001 年龄结构金字塔", "2005 年龄结构金字塔"}));
        QCOMPARE(cursor, 4);
        const projection::PyramidFrame year2005 = projection::pyramidFrame(results, 4);
        QCOMPARE(graph->chartModel().series[1].points[20].y, year2005.femaleShares[20]);

        // The replay ends on the end year and leaves the cursor there.
        child<QPushButton>(graph, "Button2")->click();
        QVERIFY(waitForAnimation(graph));
        QCOMPARE(graph->chartModel().title, QString("2005 年龄结构金字塔"));
        QCOMPARE(cursor, 5);
    }

    void entriesWithoutAChart_data()
    {
        QTest::addColumn<Edition>("edition");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("shown");
        QTest::newRow("migrant population") << Edition::Full << "流动人口规模" << false;
        QTest::newRow("migrant deaths") << Edition::Full << "流动人口死亡数" << false;
        QTest::newRow("parameters") << Edition::Full << "人口预测参数设置" << false;
        QTest::newRow("ZandorT's parameters draw the total") << Edition::Target << "人口预测参数设置" << true;
    }

    void entriesWithoutAChart()
    {
        QFETCH(Edition, edition);
        QFETCH(QString, entry);
        QFETCH(bool, shown);
        ResultsFixture f(edition);
        TGraph* graph = showChart(f, "RadioButton1", entry);
        QVERIFY(graph);
        QVERIFY(waitForAnimation(graph));
        QCOMPARE(graph->isVisible(), shown);
        if (shown) {
            const auto total = projection::indicatorValues(f.results(), projection::indicator::kTotal);
            QCOMPARE(graph->chartModel().series.front().points[2].y, total[2]);
            QCOMPARE(graph->chartModel().title, entry);
        }
    }

    void chartWindowsOutliveTheDialog()
    {
        ResultsFixture f;
        TGraph* line = showChart(f, "RadioButton1", "总人口数");
        TGraph* bars = showChart(f, "RadioButton15", "死亡率");
        QVERIFY(line && bars && line != bars);
        // The dialog is modal, its chart windows are not: they take input while it is open.
        QVERIFY(!QApplication::activeModalWidget() || QApplication::activeModalWidget() == f.dialog);
        f.get<QPushButton>("BitBtn1")->click();
        QVERIFY(!f.dialog->isVisible());
        QVERIFY(waitForAnimation(line));
        QVERIFY(waitForAnimation(bars));
        QVERIFY(line->isVisible());
        QVERIFY(bars->isVisible());
        QCOMPARE(bars->chartModel().series.front().points.size(), std::size_t(5));
        // A click on an animating chart shows its final frame at once.
        QList<Frame> frames;
        TGraph* clicked = showChart(f, "RadioButton1", "总人口数", &frames);
        QVERIFY(clicked && clicked->animator().running());
        QTest::mouseClick(clicked->findChild<QWidget*>("DBChart1"), Qt::LeftButton);
        QVERIFY(!clicked->animator().running());
        QVERIFY(!frames.isEmpty());
        QCOMPARE(frames.last().red, frames.last().points);
        // Closing a chart window mid-animation stops it.
        TGraph* third = showChart(f, "RadioButton1", "出生率");
        QVERIFY(third);
        child<QPushButton>(third, "BitBtn6")->click();
        QVERIFY(!third->animator().running());
        QVERIFY(!third->isVisible());
    }
};

QTEST_MAIN(ProjectionChartWindowTest)
#include "projection_chart_window_test.moc"
