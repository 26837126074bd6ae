// The 3-D view dialog: its pages and first positions, and what each control does to the
// chart: rotation, elevation, offsets, depth, orthogonal projection greying the rotation bars,
// margins and plot size per scroll event, wall colours (the dialog's colour when cancelled),
// wall sizes, transparency and the gradient colours.
#include <QtTest>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>

#include <memory>
#include <optional>

#include "ui/charts/chart_prompts.h"
#include "ui/charts/graph.h"
#include "ui/charts/view_3d_controls.h"
#include "ui/charts/view_3d_frm.h"

using namespace zandor::ui;

namespace {

// Answers the colour dialog: each answer is the chosen colour, or nullopt for Cancel.
class ColourAnswers {
public:
    ColourAnswers()
    {
        ChartPromptHooks hooks;
        hooks.color = [this](const QColor& initial) {
            offered << initial;
            if (answers.isEmpty())
                return initial;
            const std::optional<QColor> answer = answers.takeFirst();
            return answer ? *answer : initial;
        };
        previous_ = ChartPrompts::setHooks(std::move(hooks));
    }
    ~ColourAnswers() { ChartPrompts::setHooks(std::move(previous_)); }
    ColourAnswers(const ColourAnswers&) = delete;
    ColourAnswers& operator=(const ColourAnswers&) = delete;

    QList<std::optional<QColor>> answers;
    QList<QColor> offered;

private:
    ChartPromptHooks previous_;
};

}  // namespace

class View3dTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        settings_ = std::make_unique<ChartSettings>();
        graph_ = std::make_unique<TGraph>(*settings_, zandor::Edition::Full);
        graph_->show();
        dialog_ = std::make_unique<TView_3d_frm>(*graph_, *settings_, graph_.get());
    }
    void cleanup()
    {
        dialog_.reset();
        graph_.reset();
    }

    void pagesAndFirstPositions()
    {
        QCOMPARE(dialog_->windowTitle(), QString("图形调整"));
        auto* pages = dialog_->findChild<QTabWidget*>("PageControl1");
        QCOMPARE(pages->count(), 2);
        QCOMPARE(pages->tabText(0), QString("三维"));
        QCOMPARE(pages->tabText(1), QString("Walls"));
        QCOMPARE(pages->currentIndex(), 0);
        auto* walls = dialog_->findChild<QTabWidget*>("PageControl2");
        QCOMPARE(walls->tabText(0), QString("Left Wall"));
        QCOMPARE(walls->tabText(1), QString("Bottom Wall"));
        QCOMPARE(walls->tabText(2), QString("Back Wall"));
        QCOMPARE(walls->tabText(3), QString("Form"));

        struct Bar {
            int minimum, maximum, position;
            const char* caption;
            const char* label;
        };
        const Bar bars[8] = {{270, 360, 360, "水平旋转", "360"}, {270, 360, 360, "垂直旋转", "360"},
                             {-100, 100, 0, "水平移动", "0"},    {-100, 100, 0, "垂直移动", "0"},
                             {1, 100, 1, "三维效果", "100"},     {-1, 1, 0, "图形放缩", "0"},
                             {-1, 1, 0, "宽度", "0"},            {-1, 1, 0, "高度", "0"}};
        for (int i = 0; i < 8; ++i) {
            auto* bar = scrollBar(i + 1);
            QCOMPARE(bar->minimum(), bars[i].minimum);
            QCOMPARE(bar->maximum(), bars[i].maximum);
            QCOMPARE(bar->value(), bars[i].position);
            QCOMPARE(label(i + 1)->text(), QString(bars[i].caption));
            QCOMPARE(label(i + 9)->text(), QString(bars[i].label));
        }
        QCOMPARE(scrollBar(5)->singleStep(), 10);
        QVERIFY(!checkBox(4)->isChecked());
        QVERIFY(!checkBox(1)->isChecked());
        QVERIFY(!checkBox(2)->isChecked());
        QVERIFY(checkBox(3)->isChecked());
        for (const char* edit : {"Edit1", "Edit3", "Edit4"})
            QCOMPARE(dialog_->findChild<QLineEdit*>(edit)->text(), QString("0"));
        QCOMPARE(dialog_->findChild<ColorSwatch*>("Shape4")->color(), QColor(192, 192, 192));
        QCOMPARE(dialog_->findChild<ColorSwatch*>("Shape5")->color(), QColor(0, 0, 128));
        QCOMPARE(dialog_->findChild<QPushButton*>("BitBtn3")->text(), QString("Back Ground..."));
        QCOMPARE(dialog_->findChild<QPushButton*>("BitBtn2")->text(), QString("取消"));
    }

    void openingLeavesTheChartUntilAControlMoves()
    {
        graph_->editChart().view.orthogonal = true;
        graph_->editChart().view.depthPercent = 60;
        checkBox(4)->setChecked(true);
        const QImage before = graph_->findChild<QWidget*>("DBChart1")->grab().toImage();
        dialog_->prepareChart();
        QVERIFY(!checkBox(4)->isChecked());
        QVERIFY(scrollBar(1)->isEnabled());
        QVERIFY(scrollBar(2)->isEnabled());
        QVERIFY(graph_->chartModel().view.orthogonal);
        QCOMPARE(graph_->findChild<QWidget*>("DBChart1")->grab().toImage(), before);
        // The first control moved brings perspective and the 15 % depth with it.
        scrollBar(1)->setValue(300);
        QVERIFY(!graph_->chartModel().view.orthogonal);
        QCOMPARE(graph_->chartModel().view.depthPercent, 15);
        QCOMPARE(graph_->chartModel().view.rotation, 300);
    }

    void theWallTabsFitAndTheDialogOpensBesideTheChart()
    {
        graph_->setGeometry(20, 40, 360, 300);
        dialog_->placeBesideChart();
        dialog_->show();
        auto* tabs = dialog_->findChild<QTabWidget*>("PageControl2");
        dialog_->findChild<QTabWidget*>("PageControl1")->setCurrentIndex(1);
        QTabBar* bar = tabs->tabBar();
        QVERIFY(bar->tabRect(bar->count() - 1).right() < bar->width());
        QVERIFY(!dialog_->frameGeometry().intersects(graph_->frameGeometry()));
        QVERIFY(dialog_->screen()->availableGeometry().contains(dialog_->frameGeometry()));
    }

    void theBarsSetTheViewAndShowTheirPositions_data()
    {
        QTest::addColumn<int>("bar");
        QTest::addColumn<int>("position");
        QTest::newRow("rotation") << 1 << 300;
        QTest::newRow("elevation") << 2 << 275;
        QTest::newRow("horizontal offset") << 3 << -40;
        QTest::newRow("vertical offset") << 4 << 55;
        QTest::newRow("depth") << 5 << 71;
    }
    void theBarsSetTheViewAndShowTheirPositions()
    {
        QFETCH(int, bar);
        QFETCH(int, position);
        scrollBar(bar)->setValue(position);
        const zandor::charts::View3D& view = graph_->chartModel().view;
        const int values[] = {view.rotation, view.elevation, view.horizOffset, view.vertOffset, view.depthPercent};
        QCOMPARE(values[bar - 1], position);
        QCOMPARE(label(bar + 8)->text(), QString::number(position));
    }

    void orthogonalGreysTheRotationBars()
    {
        checkBox(4)->click();
        QVERIFY(graph_->chartModel().view.orthogonal);
        QVERIFY(!scrollBar(1)->isEnabled());
        QVERIFY(!scrollBar(2)->isEnabled());
        QVERIFY(scrollBar(3)->isEnabled());
        checkBox(4)->click();
        QVERIFY(!graph_->chartModel().view.orthogonal);
        QVERIFY(scrollBar(1)->isEnabled());
        QVERIFY(scrollBar(2)->isEnabled());
    }

    void zoomActsOnEveryScrollEvent()
    {
        // Moved to +1, then scrolled on at the end: one margin less per event.
        for (int event = 1; event <= 3; ++event) {
            scrollBar(6)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            QCOMPARE(graph_->chartModel().margins.left, 5 - event);
            QCOMPARE(graph_->chartModel().margins.bottom, 5 - event);
        }
        QCOMPARE(label(14)->text(), QString("1"));
        // Back to 0: scroll events change nothing; at -1 every event adds one.
        scrollBar(6)->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(graph_->chartModel().margins.top, 2);
        scrollBar(6)->triggerAction(QAbstractSlider::SliderSingleStepSub);
        scrollBar(6)->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(graph_->chartModel().margins.right, 4);
        QCOMPARE(label(14)->text(), QString("-1"));
    }

    void widthAndHeightChangeThePlotByThePositionPerScrollEvent()
    {
        const QSize before = graph_->chartArea()->size();
        scrollBar(7)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        scrollBar(7)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(graph_->chartArea()->width(), before.width() + 2);
        scrollBar(8)->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(graph_->chartArea()->height(), before.height() - 1);
        QCOMPARE(graph_->chartArea()->width(), before.width() + 2);
    }

    void wallColoursComeFromTheColourDialogAndSurviveACancel()
    {
        ColourAnswers colours;
        colours.answers = {std::nullopt, QColor(10, 200, 30), std::nullopt};
        dialog_->findChild<QPushButton*>("BitBtn3")->click();
        // Cancelled the first time: the dialog's colour, black, goes to the left wall.
        QCOMPARE(colours.offered.first(), QColor(Qt::black));
        QCOMPARE(graph_->chartModel().leftWall.color, QColor(Qt::black));
        QCOMPARE(dialog_->findChild<ColorSwatch*>("Shape1")->color(), QColor(Qt::black));
        dialog_->findChild<QPushButton*>("BitBtn6")->click();
        QCOMPARE(graph_->chartModel().bottomWall.color, QColor(10, 200, 30));
        QCOMPARE(dialog_->findChild<ColorSwatch*>("Shape2")->color(), QColor(10, 200, 30));
        dialog_->findChild<QPushButton*>("BitBtn9")->click();
        QCOMPARE(colours.offered.last(), QColor(10, 200, 30));
        QCOMPARE(graph_->chartModel().backWall.color, QColor(10, 200, 30));
        // The colour outlives the dialog.
        QCOMPARE(settings_->lastColor, QColor(10, 200, 30));
    }

    void sizeButtonsStepTheWallsAndShowTheSize()
    {
        auto* up = dialog_->findChild<UpDown*>("UpDown3");
        up->click(true);
        up->click(true);
        QCOMPARE(dialog_->findChild<QLineEdit*>("Edit4")->text(), QString("2"));
        QCOMPARE(graph_->chartModel().backWall.size, 2);
        dialog_->findChild<UpDown*>("UpDown1")->click(true);
        QCOMPARE(graph_->chartModel().leftWall.size, 1);
        auto* bottom = dialog_->findChild<UpDown*>("UpDown2");
        bottom->click(false);
        QCOMPARE(dialog_->findChild<QLineEdit*>("Edit3")->text(), QString("0"));
        QCOMPARE(graph_->chartModel().bottomWall.size, 0);
        // The sizes outlive the dialog: a new dialog steps on from them.
        TView_3d_frm again(*graph_, *settings_);
        QCOMPARE(again.findChild<QLineEdit*>("Edit4")->text(), QString("0"));
        again.findChild<UpDown*>("UpDown3")->click(true);
        QCOMPARE(graph_->chartModel().backWall.size, 3);
        QCOMPARE(again.findChild<QLineEdit*>("Edit4")->text(), QString("3"));
    }

    void transparentChecksClearOrFillTheWalls()
    {
        checkBox(1)->click();
        QVERIFY(graph_->chartModel().leftWall.transparent);
        checkBox(3)->click();
        QVERIFY(!graph_->chartModel().backWall.transparent);
        checkBox(2)->click();
        checkBox(2)->click();
        QVERIFY(!graph_->chartModel().bottomWall.transparent);
    }

    void theGradientShapesPickTheGradientColours()
    {
        ColourAnswers colours;
        colours.answers = {QColor(255, 255, 0), QColor(0, 0, 255)};
        QTest::mouseClick(dialog_->findChild<ColorSwatch*>("Shape4"), Qt::LeftButton);
        QTest::mouseClick(dialog_->findChild<ColorSwatch*>("Shape5"), Qt::LeftButton);
        QCOMPARE(graph_->chartModel().gradient.start, QColor(255, 255, 0));
        QCOMPARE(graph_->chartModel().gradient.end, QColor(0, 0, 255));
        QCOMPARE(dialog_->findChild<ColorSwatch*>("Shape4")->color(), QColor(255, 255, 0));
        QCOMPARE(dialog_->findChild<ColorSwatch*>("Shape5")->color(), QColor(0, 0, 255));
    }

    void cancelCloses()
    {
        dialog_->show();
        QVERIFY(dialog_->isVisible());
        dialog_->findChild<QPushButton*>("BitBtn2")->click();
        QVERIFY(!dialog_->isVisible());
    }

private:
    QScrollBar* scrollBar(int n) { return dialog_->findChild<QScrollBar*>(QString("ScrollBar%1").arg(n)); }
    QLabel* label(int n) { return dialog_->findChild<QLabel*>(QString("Label%1").arg(n)); }
    QCheckBox* checkBox(int n) { return dialog_->findChild<QCheckBox*>(QString("CheckBox%1").arg(n)); }

    std::unique_ptr<ChartSettings> settings_;
    std::unique_ptr<TGraph> graph_;
    std::unique_ptr<TView_3d_frm> dialog_;
};

QTEST_MAIN(View3dTest)
#include "view_3d_test.moc"
