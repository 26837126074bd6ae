// The program's start and its small windows: both editions come up titled "Velmora" and
// maximised with the sample table shown, the splash ends on a click, the About box closes on
// a click, and the help window shows the bundled manual at "contents".
#include <QtTest>

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>

#include <memory>

#include "test_support.h"
#include "ui/app/about_frm.h"
#include "ui/app/application.h"
#include "ui/app/help_window.h"
#include "ui/app/main_window.h"
#include "ui/app/quenta_logo.h"
#include "ui/session/session.h"
#include "ui/tables/data_grid.h"
#include "ui/tables/table_model.h"

using namespace testing_support;
using zandor::ui::Tvendol;

class AppStartTest : public QObject {
    Q_OBJECT
private slots:
    void bothEditionsStartMaximisedWithoutATable()
    {
        for (auto edition : {zandor::Edition::Full, zandor::Edition::Target}) {
            std::unique_ptr<Tvendol> window(zandor::ui::createMainWindow(edition, QString()));
            QCOMPARE(window->windowTitle(), QString("Velmora"));
            QVERIFY(window->windowState() & Qt::WindowMaximized);
            QCOMPARE(window->session().edition(), edition);
            QCOMPARE(window->session().tableOpen(), false);
            QCOMPARE(window->session().currentTableName, QString());
            QCOMPARE(window->session().projectionYearCount, 0);
            QCOMPARE(window->session().helpFile, QString("C:\\Zandor_Help\\Zandor.HLP"));
            QCOMPARE(window->grid()->model()->columnCount(), 0);
        }
    }

    void standardTextsAreChineseAfterSetUp()
    {
        QVERIFY(zandor::ui::setUpApplication(*qApp, zandor::Edition::Full));
        QCOMPARE(QApplication::applicationName(), QString("Zandor"));
        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QString("取消"));
    }

    void showsTheSampleTable()
    {
        const QString sample = QStringLiteral(ZANDOR_SOURCE_DIR "/samples/single_region.DB");
        if (!QFile::exists(sample))
            QSKIP("no sample table");
        std::unique_ptr<Tvendol> window(zandor::ui::createMainWindow(zandor::Edition::Full, sample));
        QCOMPARE(window->session().tableOpen(), true);
        QCOMPARE(window->session().currentTableName, sample);
        auto* model = window->grid()->model();
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QString("年龄"));
        QCOMPARE(model->rowCount(), 101);
        QCOMPARE(model->index(100, 0).data().toString(), QString("100"));
    }

    void aTableThatCannotBeOpenedAtStartLeavesAnEmptyWindow()
    {
        PromptRecorder prompts;
        std::unique_ptr<Tvendol> window(zandor::ui::createMainWindow(zandor::Edition::Full, "/no/such/table.DB"));
        QCOMPARE(window->session().tableOpen(), false);
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.messages.first().contains("/no/such/table.DB"));
    }

    void splashWaitsFourSecondsOrAClick_data()
    {
        QTest::addColumn<QString>("clicked");
        QTest::newRow("Chart1") << "Chart1";
        QTest::newRow("Label1") << "Label1";
    }

    void splashWaitsFourSecondsOrAClick()
    {
        QFETCH(QString, clicked);
        zandor::ui::TQuentaLOGO splash;
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(splash.Timer1->interval(), 4000);
        QVERIFY(splash.Timer1->isSingleShot());
        QVERIFY(splash.timerEnabled());
        QCOMPARE(splash.Label1->text(), QString("Zandor"));
        QVERIFY(splash.Label1->font().bold() && splash.Label1->font().italic());
        QSignalSpy finished(&splash, &zandor::ui::TQuentaLOGO::finished);
        splash.show();
        auto* target = splash.findChild<QWidget*>(clicked);
        QVERIFY(target);
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(finished.count(), 1);
        QVERIFY(!splash.timerEnabled());
        // A second click changes nothing: the splash has ended once.
        QTest::mouseClick(splash.Chart1, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(finished.count(), 1);
    }

    void splashTimerEndsIt()
    {
        zandor::ui::TQuentaLOGO splash;
        QSignalSpy finished(&splash, &zandor::ui::TQuentaLOGO::finished);
        QVERIFY(QMetaObject::invokeMethod(splash.Timer1, "timeout", Qt::DirectConnection));
        QCOMPARE(finished.count(), 1);
        QVERIFY(!splash.timerEnabled());
    }

    void splashSeriesHoldTwentyOneRandomValues()
    {
        zandor::ui::TQuentaLOGO splash;
        const auto& chart = *splash.Chart1;
        // sin(r) with r in [0, 1) lies in [0, sin 1).
        const std::pair<const std::array<double, 21>*, double> series[] = {
            {&chart.series1, 6.0}, {&chart.series2, 1.5}, {&chart.series3, 2.0}};
        for (const auto& [values, scale] : series) {
            double sum = 0;
            for (double v : *values) {
                QVERIFY(v >= 0 && v < std::sin(1.0) * scale);
                sum += v;
            }
            QVERIFY(sum > 0);
        }
        QVERIFY(chart.series1 != zandor::ui::TQuentaLOGO().Chart1->series1);
    }

    void aboutBoxClosesOnAClick_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("Panel1") << "Panel1";
        QTest::newRow("Shape1") << "Shape1";
    }

    void aboutBoxClosesOnAClick()
    {
        QFETCH(QString, target);
        Tvendol window(zandor::Edition::Full);
        window.show();
        action(&window, "About1")->trigger();
        auto* about = window.aboutForm();
        QVERIFY(about);
        QVERIFY(about->isVisible());
        QCOMPARE(about->windowTitle(), QString("关于Velmora"));
        QStringList texts;
        for (auto* label : about->findChildren<QLabel*>())
            texts << label->text();
        QVERIFY(texts.contains("Velmora"));
        QVERIFY(texts.contains("(Zandor)"));
        // The release that --version prints, set once in CMake.
        QVERIFY(QRegularExpression("^版本 \\d+\\.\\d+\\.\\d+ \\(Linux, Qt 6\\.").match(
            about->findChild<QLabel*>("Version")->text()).hasMatch());
        QTest::mouseClick(about->findChild<QWidget*>(target), Qt::LeftButton, {}, QPoint(3, 3));
        QVERIFY(!about->isVisible());
    }

    void helpShowsTheManualAtContents()
    {
        Tvendol window(zandor::Edition::Full);
        action(&window, "Content1")->trigger();
        QCOMPARE(window.session().helpFile, QString("\\Zandor.hlp"));
        auto* help = window.helpWindow();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QCOMPARE(help->browser()->source().fragment(), QString("contents"));
        const QString text = help->browser()->toPlainText();
        QVERIFY(text.contains("目录"));
        // The manual covers the menus, the table formats and a first projection.
        for (const char* anchor : {"menu-file", "menu-data", "menu-analysis", "menu-graph", "menu-help", "tables",
                                   "walkthrough"})
            QVERIFY2(help->browser()->document()->toHtml().contains(QLatin1String(anchor)), anchor);
        QVERIFY(text.contains("没有打开的数据表!请先打开数据表."));
    }

    void everyHelpFileNameMapsToTheManual()
    {
        for (const QString& name : {QStringLiteral("C:\\Zandor_Help\\Zandor.HLP"), QStringLiteral("\\Zandor.hlp")}) {
            const QUrl url = zandor::ui::HelpWindow::manualUrl(name, "contents");
            QCOMPARE(url.toString(), QString("qrc:/help/index.html#contents"));
            QVERIFY(QFile::exists(":/help/index.html"));
        }
    }
};

QTEST_MAIN(AppStartTest)
#include "app_start_test.moc"
