// The pyramid step buttons of the chart window on a fake projection: "<<<" steps back one
// year and cycles from the end year, ">>>|" replays every year and leaves the cursor at Y
// (not in ZandorT), the frames show the shares of their year, quick clicks play in turn, and
// the window stays usable while frames wait on timers.
#include <QtTest>

#include <QPushButton>

#include <memory>

#include "ui/charts/graph.h"
#include "ui/charts/pyramid_frames.h"

using namespace zandor::ui;
namespace charts = zandor::charts;

namespace {

// Y years from base year 2020; the male share of age a in projected year y is -(y + 1) / 1000
// - a / 100000, the female share its magnitude plus 1 / 10000, so that every frame is known.
class FakeFrames : public PyramidFrames {
public:
    explicit FakeFrames(int years, int ages = 3) : years_(years), ages_(ages), cursor_(years) {}
    int baseYear() const override { return 2020; }
    int yearCount() const override { return years_; }
    std::vector<double> maleShares(int y) const override
    {
        std::vector<double> shares;
        for (int a = 0; a < ages_; ++a)
            shares.push_back(male(y, a));
        return shares;
    }
    std::vector<double> femaleShares(int y) const override
    {
        std::vector<double> shares;
        for (int a = 0; a < ages_; ++a)
            shares.push_back(-male(y, a) + 1e-4);
        return shares;
    }
    int frameCursor() const override { return cursor_; }
    void setFrameCursor(int k) override { cursor_ = k; }

    static double male(int y, int a) { return -(y + 1) / 1000.0 - a / 100000.0; }

private:
    int years_;
    int ages_;
    int cursor_;
};

struct Frame {
    QString title;
    std::vector<double> male;
    std::vector<QString> labels;
};

}  // namespace

class PyramidButtonsTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        // The frames and their order are what is checked, not their pace.
        FrameAnimator::setSpeed(100);
        settings_ = std::make_unique<ChartSettings>();
        makeWindow(zandor::Edition::Full, 3);
    }
    void cleanup() { window_.reset(); }

    void stepBackShowsTheEndYearThenEachEarlierYearAndCycles()
    {
        const QStringList expected = {"2023 年龄结构金字塔", "2022 年龄结构金字塔", "2021 年龄结构金字塔",
                                      "2023 年龄结构金字塔"};
        const int cursors[] = {2, 1, 3, 2};
        int press = 0;
        for (const QString& title : expected) {
            frames_.clear();
            click("Button1");
            waitIdle();
            QCOMPARE(frames_.size(), std::size_t(2));
            // First the empty pyramid under the plain title, then the year's frame.
            QCOMPARE(frames_[0].title, QString("年龄结构金字塔"));
            QVERIFY(frames_[0].male.empty());
            QCOMPARE(frames_[1].title, title);
            QCOMPARE(source_->frameCursor(), cursors[press++]);
        }
        const charts::ChartModel& m = window_->chartModel();
        QVERIFY(!m.view.enabled);
        QVERIFY(m.legendVisible);
        QCOMPARE(m.titleFont.size, 18);
        QCOMPARE(m.titleFont.color, QColor(Qt::black));
        QVERIFY(window_->isMaximized());
        QVERIFY(window_->findChild<QPushButton*>("Button1")->isVisible());
        QVERIFY(window_->findChild<QPushButton*>("Button2")->isVisible());
        QCOMPARE(frames_.back().male, (std::vector<double>{FakeFrames::male(2, 0), FakeFrames::male(2, 1), FakeFrames::male(2, 2)}));
        QCOMPARE(frames_.back().labels, (std::vector<QString>{"0", "1", "2"}));
        checkPyramidSeries(m);
        QCOMPARE(source_->frameCursor(), 2);
    }

    void replayShowsEveryYearAndLeavesTheCursorAtTheEnd()
    {
        source_->setFrameCursor(1);
        click("Button2");
        waitIdle();
        QStringList titles;
        for (const Frame& f : frames_)
            titles << f.title;
        QCOMPARE(titles, (QStringList{"年龄结构金字塔", "2021 年龄结构金字塔", "2022 年龄结构金字塔",
                                      "2023 年龄结构金字塔", "2023 年龄结构金字塔"}));
        QCOMPARE(frames_[1].male.front(), FakeFrames::male(0, 0));
        QCOMPARE(frames_[3].male.front(), FakeFrames::male(2, 0));
        QCOMPARE(source_->frameCursor(), 3);
        // A following "<<<" shows the end year.
        frames_.clear();
        click("Button1");
        waitIdle();
        QCOMPARE(frames_.back().title, QString("2023 年龄结构金字塔"));
    }

    void zandorTLeavesTheCursorWhereItWasAfterAReplay()
    {
        makeWindow(zandor::Edition::Target, 3);
        source_->setFrameCursor(2);
        click("Button2");
        waitIdle();
        QCOMPARE(frames_.back().title, QString("2023 年龄结构金字塔"));
        QCOMPARE(source_->frameCursor(), 2);
        frames_.clear();
        click("Button1");
        waitIdle();
        QCOMPARE(frames_.back().title, QString("2022 年龄结构金字塔"));
    }

    void quickClicksPlayOneAfterAnother()
    {
        click("Button1");
        click("Button1");
        waitIdle();
        QStringList titles;
        for (const Frame& f : frames_)
            titles << f.title;
        QCOMPARE(titles, (QStringList{"年龄结构金字塔", "2023 年龄结构金字塔", "年龄结构金字塔", "2022 年龄结构金字塔"}));
    }

    void aCursorOutsideTheYearsStartsAtTheEndAndNoYearsDrawNoFrame()
    {
        source_->setFrameCursor(0);
        click("Button1");
        waitIdle();
        QCOMPARE(frames_.back().title, QString("2023 年龄结构金字塔"));
        QCOMPARE(source_->frameCursor(), 2);

        makeWindow(zandor::Edition::Full, 0);
        click("Button1");
        click("Button2");
        waitIdle();
        for (const Frame& f : frames_) {
            QCOMPARE(f.title, QString("年龄结构金字塔"));
            QVERIFY(f.male.empty());
        }
    }

    void theWindowMovesAndClosesWhileFramesWait()
    {
        FrameAnimator::setSpeed(1);  // real waits: the window is used between two frames
        makeWindow(zandor::Edition::Full, 40);
        click("Button2");
        QTRY_VERIFY(frames_.size() >= 2);
        window_->showNormal();
        window_->move(30, 40);
        window_->resize(500, 400);
        QCoreApplication::processEvents();
        QCOMPARE(window_->chartArea()->width(), 500);
        window_->close();
        QVERIFY(!window_->animator().running());
        const std::size_t shown = frames_.size();
        QTest::qWait(400);
        QCOMPARE(frames_.size(), shown);
    }

private:
    void makeWindow(zandor::Edition edition, int years)
    {
        window_.reset();
        source_ = std::make_unique<FakeFrames>(years);
        window_ = std::make_unique<TGraph>(*settings_, edition);
        window_->setPyramidFrames(source_.get());
        window_->show();
        frames_.clear();
        connect(&window_->animator(), &FrameAnimator::frameShown, this, [this] {
            const charts::ChartModel& m = window_->chartModel();
            Frame f;
            f.title = m.title;
            if (!m.series.empty())
                for (const charts::DataPoint& p : m.series.front().points) {
                    f.male.push_back(p.y);
                    f.labels.push_back(p.label);
                }
            frames_.push_back(f);
        });
    }
    void click(const char* name) { window_->findChild<QPushButton*>(name)->click(); }
    void waitIdle() { QTRY_VERIFY_WITH_TIMEOUT(!window_->animator().running(), 20000); }

    // The two series of the pyramid: males blue, females red, horizontal bars drawn over each
    // other without marks.
    static void checkPyramidSeries(const charts::ChartModel& m)
    {
        QCOMPARE(m.series.size(), std::size_t(2));
        QCOMPARE(m.series[0].title, QString("男性"));
        QCOMPARE(m.series[1].title, QString("女性"));
        QCOMPARE(m.series[0].color, QColor(Qt::blue));
        QCOMPARE(m.series[1].color, QColor(Qt::red));
        for (const charts::Series& s : m.series) {
            QCOMPARE(s.kind, charts::SeriesKind::HorizBar);
            QCOMPARE(s.stacking, charts::Stacking::Overlap);
            QVERIFY(!s.marksVisible);
        }
        QVERIFY(m.series[1].points.front().y > 0);
    }

    std::unique_ptr<ChartSettings> settings_;
    std::unique_ptr<FakeFrames> source_;
    std::unique_ptr<TGraph> window_;
    std::vector<Frame> frames_;
};

QTEST_MAIN(PyramidButtonsTest)
#include "pyramid_buttons_test.moc"
