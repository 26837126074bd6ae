// The chart window: its defaults, the plot size buttons, saving with the overwrite question in
// the four formats, landscape printing (nothing when the print dialog is cancelled), closing,
// the layout on resize, the right click that opens the 3-D view dialog, and closing while an
// animation runs.
#include <QtTest>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <QImageReader>
#include <QPrinter>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <memory>

#include "charts/chart_builders.h"
#include "test_support.h"
#include "ui/charts/chart_prompts.h"
#include "ui/charts/graph.h"
#include "ui/charts/view_3d_frm.h"

using namespace testing_support;
using namespace zandor::ui;
namespace charts = zandor::charts;

namespace {

QPushButton* buttonOf(QWidget* window, const char* name)
{
    return window->findChild<QPushButton*>(QString::fromLatin1(name));
}

// A chart window with two bar series, shown at 800 x 600.
std::unique_ptr<TGraph> barWindow(ChartSettings& settings)
{
    auto window = std::make_unique<TGraph>(settings, zandor::Edition::Full);
    charts::ChartModel& m = window->editChart();
    m.series = charts::fieldChart(charts::SeriesKind::Bar, {{"男性人口", {5, 7, 9}}, {"女性人口", {6, 8, 7}}}, "", true).series;
    m.title = "人口";
    window->show();
    return window;
}

class ChartPromptScope {
public:
    explicit ChartPromptScope(ChartPromptHooks hooks) : previous_(ChartPrompts::setHooks(std::move(hooks))) {}
    ~ChartPromptScope() { ChartPrompts::setHooks(std::move(previous_)); }

private:
    ChartPromptHooks previous_;
};

}  // namespace

class ChartWindowTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QVERIFY(dir_.isValid()); }

    void opensWithTheWindowDefaults()
    {
        ChartSettings settings;
        TGraph window(settings, zandor::Edition::Full);
        QCOMPARE(window.windowTitle(), QString("Graph"));
        QCOMPARE(settings.newestChartWindow.data(), &window);
        const charts::ChartModel& m = window.chartModel();
        QVERIFY(m.view.enabled);
        QCOMPARE(m.view.rotation, 331);
        QCOMPARE(m.view.elevation, 353);
        QCOMPARE(m.view.zoom, 98);
        QCOMPARE(m.backWall.color, QColor(Qt::white));
        QVERIFY(m.backWall.transparent);
        QCOMPARE(m.margins.left, 5);
        QCOMPARE(m.margins.top, 5);
        QCOMPARE(m.margins.right, 5);
        QCOMPARE(m.margins.bottom, 5);
        QVERIFY(m.border);
        QCOMPARE(m.gradient.start, QColor(192, 192, 192));
        QCOMPARE(m.gradient.end, QColor(0, 128, 255));
        QVERIFY(!m.gradient.visible);
        QVERIFY(m.title.isEmpty());
        QVERIFY(m.legendVisible);
        window.show();
        QVERIFY(!buttonOf(&window, "Button1")->isVisible());
        QVERIFY(!buttonOf(&window, "Button2")->isVisible());
        QCOMPARE(buttonOf(&window, "BitBtn3")->text(), QString("保存"));
        QCOMPARE(buttonOf(&window, "BitBtn5")->text(), QString("打印"));
        QCOMPARE(buttonOf(&window, "BitBtn6")->text(), QString("取消"));
        QVERIFY(buttonOf(&window, "BitBtn1")->text().isEmpty());
        QVERIFY(buttonOf(&window, "BitBtn2")->text().isEmpty());
        QCOMPARE(buttonOf(&window, "Button1")->text(), QString("<<<"));
        QCOMPARE(buttonOf(&window, "Button2")->text(), QString(">>>|"));

        TGraph second(settings, zandor::Edition::Full);
        QCOMPARE(settings.newestChartWindow.data(), &second);
    }

    void enlargeAndShrinkMoveEveryMarginByOne()
    {
        ChartSettings settings;
        auto window = barWindow(settings);
        buttonOf(window.get(), "BitBtn1")->click();
        QCOMPARE(window->chartModel().margins.left, 4);
        QCOMPARE(window->chartModel().margins.bottom, 4);
        for (int i = 0; i < 3; ++i)
            buttonOf(window.get(), "BitBtn2")->click();
        QCOMPARE(window->chartModel().margins.top, 7);
        QCOMPARE(window->chartModel().margins.right, 7);
        // Margins never go below nothing, nor so far that the plot disappears.
        for (int i = 0; i < 20; ++i)
            buttonOf(window.get(), "BitBtn1")->click();
        QCOMPARE(window->chartModel().margins.left, 0);
        for (int i = 0; i < 100; ++i)
            buttonOf(window.get(), "BitBtn2")->click();
        QCOMPARE(window->chartModel().margins.left, 40);
    }

    void savesTheChartAsDisplayedInTheFormatItsNameAsks()
    {
        ChartSettings settings;
        auto window = barWindow(settings);
        PromptRecorder prompts;
        const QString bmp = dir_.filePath("chart.bmp");
        const QString png = dir_.filePath("chart.png");
        const QString svg = dir_.filePath("chart.svg");
        const QString pdf = dir_.filePath("chart.pdf");
        const QString odd = dir_.filePath("chart.dat");
        prompts.saveAnswers = {bmp, png, svg, pdf, odd};
        for (int i = 0; i < 5; ++i)
            buttonOf(window.get(), "BitBtn3")->click();
        QCOMPARE(prompts.saveFilters.first(), QString("BMP (*.bmp);;PNG (*.png);;SVG (*.svg);;PDF (*.pdf)"));
        QCOMPARE(prompts.saveSuffixes.first(), QString("bmp"));
        QVERIFY(prompts.questions.isEmpty());
        QVERIFY(prompts.messages.isEmpty());
        const QImage shown = window->chartArea()->grabChart();
        for (const QString& file : {bmp, png}) {
            QImage saved(file);
            QCOMPARE(saved.size(), window->chartArea()->size());
            QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), shown.convertToFormat(QImage::Format_RGB32));
        }
        QCOMPARE(QImageReader(bmp).format(), QByteArray("bmp"));
        QCOMPARE(QImageReader(png).format(), QByteArray("png"));
        QVERIFY(QSvgRenderer(svg).isValid());
        QFile pdfFile(pdf);
        QVERIFY(pdfFile.open(QIODevice::ReadOnly));
        QVERIFY(pdfFile.readAll().startsWith("%PDF-"));
        // Any other name is written as a Windows bitmap.
        QImageReader other(odd, "bmp");
        QCOMPARE(other.read().size(), window->chartArea()->size());
    }

    // In the real save dialog: the chosen file type gives the extension of a bare name; a
    // typed extension wins over the type.
    void theChosenFileTypeGivesTheExtension()
    {
        ChartSettings settings;
        auto window = barWindow(settings);
        auto answer = [](const QString& filterText, const QString& name) {
            QTimer::singleShot(0, [=] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
                QVERIFY(types);
                types->setCurrentIndex(types->findText(filterText));
                auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                QVERIFY(edit);
                edit->setText(name);
                QTest::keyClick(edit, Qt::Key_Return);
            });
        };
        answer(QStringLiteral("PNG (*.png)"), dir_.filePath("lt_chart2"));
        buttonOf(window.get(), "BitBtn3")->click();
        QCOMPARE(QImageReader(dir_.filePath("lt_chart2.png")).format(), QByteArray("png"));
        QVERIFY(!QFile::exists(dir_.filePath("lt_chart2.bmp")));
        answer(QStringLiteral("BMP (*.bmp)"), dir_.filePath("typed.svg"));
        buttonOf(window.get(), "BitBtn3")->click();
        QVERIFY(QSvgRenderer(dir_.filePath("typed.svg")).isValid());
    }

    void asksBeforeReplacingAFileAndWritesNothingWhenCancelled()
    {
        ChartSettings settings;
        auto window = barWindow(settings);
        PromptRecorder prompts;
        const QString file = dir_.filePath("old.bmp");
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("old");
        }
        prompts.saveAnswers = {file};
        prompts.confirmAnswers = {false};
        buttonOf(window.get(), "BitBtn3")->click();
        QCOMPARE(prompts.questions.size(), 1);
        QVERIFY(prompts.questions.first().contains("old.bmp"));
        QFile kept(file);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("old"));
        kept.close();

        prompts.saveAnswers = {file};
        prompts.confirmAnswers = {true};
        buttonOf(window.get(), "BitBtn3")->click();
        QCOMPARE(QImage(file).size(), window->chartArea()->size());

        // A cancelled save dialog writes nothing.
        const QStringList before = QDir(dir_.path()).entryList(QDir::Files);
        prompts.saveAnswers = {QString()};
        buttonOf(window.get(), "BitBtn3")->click();
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files), before);
        QCOMPARE(prompts.questions.size(), 2);
    }

    void aFailedSaveIsReported()
    {
        ChartSettings settings;
        auto window = barWindow(settings);
        PromptRecorder prompts;
        prompts.saveAnswers = {dir_.filePath("missing/folder/chart.bmp")};
        buttonOf(window.get(), "BitBtn3")->click();
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.messages.first().contains("chart.bmp"));

        // A named pipe is refused (not opened, so nothing waits), naming it.
        const QString pipe = dir_.filePath("pipe.pdf");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        prompts.saveAnswers = {pipe};
        prompts.confirmAnswers = {true};
        buttonOf(window.get(), "BitBtn3")->click();
        QCOMPARE(prompts.messages.size(), 2);
        QVERIFY2(prompts.messages.last().contains("pipe.pdf: it is a named pipe"), qPrintable(prompts.messages.last()));
        QVERIFY(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile());

        // A full disk while writing: the window says so and the old file stays.
        const QString old = dir_.filePath("old.png");
        {
            QFile f(old);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("old");
        }
        qputenv("ZANDOR_OUTPUT_FAIL_STEP", "2");
        prompts.saveAnswers = {old};
        prompts.confirmAnswers = {true};
        buttonOf(window.get(), "BitBtn3")->click();
        qunsetenv("ZANDOR_OUTPUT_FAIL_STEP");
        QCOMPARE(prompts.messages.size(), 3);
        QVERIFY2(prompts.messages.last().contains("No space left on device"), qPrintable(prompts.messages.last()));
        QFile kept(old);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("old"));
    }

    void printsInLandscapeOnlyWhenThePrintDialogIsAccepted()
    {
        ChartSettings settings;
        auto window = barWindow(settings);
        const QString output = dir_.filePath("printed.pdf");
        int asked = 0;
        bool accept = false;
        ChartPromptHooks hooks;
        hooks.print = [&](QPrinter& printer) {
            ++asked;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(output);
            // The user turns the page upright in the dialog: the chart still prints landscape.
            printer.setPageOrientation(QPageLayout::Portrait);
            return accept;
        };
        ChartPromptScope scope(hooks);
        buttonOf(window.get(), "BitBtn5")->click();
        QCOMPARE(asked, 1);
        QVERIFY(!QFile::exists(output));

        accept = true;
        buttonOf(window.get(), "BitBtn5")->click();
        QCOMPARE(asked, 2);
        QFile pdf(output);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray bytes = pdf.readAll();
        QVERIFY(bytes.startsWith("%PDF-"));
        const QRegularExpression box(R"(/MediaBox \[0 0 ([0-9.]+) ([0-9.]+)\])");
        const auto match = box.match(QString::fromLatin1(bytes));
        QVERIFY(match.hasMatch());
        QVERIFY(match.captured(1).toDouble() > match.captured(2).toDouble());
    }

    void cancelFreesTheSeriesHidesTheStepButtonsAndCloses()
    {
        ChartSettings settings;
        auto window = barWindow(settings);
        window->setPyramidButtonsVisible(true);
        QVERIFY(buttonOf(window.get(), "Button1")->isVisible());
        buttonOf(window.get(), "BitBtn6")->click();
        QVERIFY(window->chartModel().series.empty());
        QVERIFY(!window->isVisible());
        QVERIFY(!buttonOf(window.get(), "Button1")->isVisibleTo(window.get()));
        QVERIFY(!buttonOf(window.get(), "Button2")->isVisibleTo(window.get()));
    }

    void theChartFillsTheWindowAboveTheButtonStrip()
    {
        ChartSettings settings;
        auto window = barWindow(settings);
        window->setPyramidButtonsVisible(true);
        for (QSize size : {QSize(1000, 700), QSize(500, 400)}) {
            window->resize(size);
            QCoreApplication::processEvents();
            const QRect chart = window->chartArea()->geometry();
            QCOMPARE(chart.topLeft(), QPoint(0, 0));
            QCOMPARE(chart.width(), size.width());
            QVERIFY(chart.height() > size.height() - 60);
            for (const char* name : {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn5", "BitBtn6"}) {
                const QRect b = buttonOf(window.get(), name)->geometry();
                QVERIFY2(b.top() >= chart.bottom() && b.bottom() < size.height(), name);
            }
            const QRect back = buttonOf(window.get(), "Button1")->geometry();
            const QRect replay = buttonOf(window.get(), "Button2")->geometry();
            QVERIFY(chart.contains(back) && chart.contains(replay));
            QVERIFY(back.bottom() < replay.top());
            QVERIFY(replay.right() > chart.right() - 100 && replay.bottom() > chart.bottom() - 60);
        }
    }

    void aRightClickOpensThe3DViewDialogOnThisChart()
    {
        ChartSettings settings;
        auto window = barWindow(settings);
        window->editChart().view.orthogonal = true;
        window->editChart().view.depthPercent = 40;
        QString caption;
        bool besideTheChart = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<TView_3d_frm*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            caption = dialog->windowTitle();
            besideTheChart = !dialog->frameGeometry().intersects(window->frameGeometry());
            dialog->findChild<QPushButton*>("BitBtn2")->click();
        });
        window->setGeometry(10, 10, 300, 240);
        QTest::mouseClick(window->chartArea(), Qt::RightButton, {}, QPoint(100, 100));
        QCOMPARE(caption, QString("图形调整"));
        QVERIFY(besideTheChart);
        // Opening and cancelling without moving a control leaves the chart as it was drawn.
        QVERIFY(window->chartModel().view.orthogonal);
        QCOMPARE(window->chartModel().view.depthPercent, 40);
        // A left click opens nothing.
        QTest::mouseClick(window->chartArea(), Qt::LeftButton, {}, QPoint(100, 100));
        QVERIFY(!QApplication::activeModalWidget());
    }

    void closingStopsARunningAnimation()
    {
        ChartSettings settings;
        auto window = barWindow(settings);
        int frames = 0;
        for (int i = 0; i < 10; ++i)
            window->animator().enqueue([&] { ++frames; }, 300);
        QTRY_COMPARE(frames, 1);
        QVERIFY(window->animator().running());
        // The window stays usable between frames.
        window->resize(640, 480);
        QCoreApplication::processEvents();
        QCOMPARE(window->chartArea()->width(), 640);
        window->close();
        QVERIFY(!window->animator().running());
        QTest::qWait(700);
        QCOMPARE(frames, 1);
    }

private:
    QTemporaryDir dir_;
};

QTEST_MAIN(ChartWindowTest)
#include "chart_window_test.moc"
