// The population target dialog from ZandorT's command over a copy of the sample table: the
// refusals of "&OK" (a target reached without births among them), a search that reports
// while the window stays usable, "Stop" after the first year keeping that year's report file,
// and closing the dialog stopping a search.
#include <QtTest>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include "test_support.h"
#include "ui/analysis/target_planning_frm.h"
#include "ui/app/main_window.h"
#include "ui/charts/chart_view.h"
#include "ui/session/session.h"

using namespace testing_support;
using zandor::Edition;
using zandor::ui::TTarget_Planning_Frm1;
using zandor::ui::Tvendol;

class TargetPlanningWindowTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;

    template <typename Widget>
    static Widget* child(QWidget* parent, const char* name)
    {
        return parent->findChild<Widget*>(QString::fromLatin1(name));
    }

    static void choose(TTarget_Planning_Frm1* form, const char* box, const QString& field)
    {
        child<QComboBox>(form, box)->setCurrentText(field);
    }

private slots:
    void stopKeepsFinishedYears()
    {
        QVERIFY(dir_.isValid());
        const QString copy = dir_.filePath("single_region.DB");
        QVERIFY(QFile::copy(QStringLiteral(ZANDOR_SOURCE_DIR "/samples/single_region.DB"), copy));
        Tvendol window(Edition::Target);
        QVERIFY(window.openTable(copy));
        action(&window, "Simulation1")->trigger();
        auto* form = window.session().dialogs.of<TTarget_Planning_Frm1>();
        QVERIFY(form);
        QVERIFY(child<QLabel>(form, "FolderLabel")->text().contains(QDir::toNativeSeparators(dir_.path())));

        PromptRecorder prompts;
        auto* ok = child<QPushButton>(form, "BitBtn2");
        QTest::mouseClick(ok, Qt::LeftButton);
        choose(form, "ComboBox2", "男性人口");
        choose(form, "ComboBox3", "女性人口");
        choose(form, "ComboBox4", "男性死亡率");
        choose(form, "ComboBox5", "女性死亡率");
        child<QSpinBox>(form, "SpinEdit1")->setValue(2000);
        child<QSpinBox>(form, "SpinEdit2")->setValue(2010);
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(prompts.messages, (QStringList{"Not enough variable selected!",
                                                "No reference fertility schedule: choose the ASFertility Rate field first."}));

        choose(form, "ComboBox6", "年龄别生育率");
        // A target below the population aged without births: answered at once, no search.
        child<QLineEdit>(form, "Edit7")->setText("8000000");
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(!form->searching());
        QCOMPARE(prompts.messages.size(), 3);
        QVERIFY(prompts.messages.last().startsWith("The target is reached without births: the births required in 2000 are -"));
        QVERIFY(QDir(dir_.path()).entryList({"TFR*"}, QDir::Files).isEmpty());

        child<QLineEdit>(form, "Edit7")->setText("9900000");
        // Reports left by an earlier search of more years are set aside and named.
        for (const char* stale : {"TFR10.txt", "TFR12.txt"}) {
            QFile old(dir_.filePath(stale));
            QVERIFY(old.open(QIODevice::WriteOnly));
        }
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(child<QLabel>(form, "FolderLabel")->text().contains("TFR10.old.txt, TFR12.old.txt"));
        QVERIFY(form->searching());
        QVERIFY(child<QLabel>(form, "SeedLabel")->text().startsWith("Seed: "));
        // The window keeps working: the run counters and the bar move, then a year reports.
        QTRY_VERIFY_WITH_TIMEOUT(child<QProgressBar>(form, "ProgressBar1")->value() > 0, 60000);
        QTRY_VERIFY_WITH_TIMEOUT(!form->finishedYears().empty(), 120000);
        bool runNumber = false;
        child<QLineEdit>(form, "Edit9")->text().toInt(&runNumber);
        QVERIFY(runNumber);
        QTest::mouseClick(child<QPushButton>(form, "StopButton"), Qt::LeftButton);
        // The window learns of the end in the runner's slot: wait for what the user sees, the
        // button back on.
        QTRY_VERIFY_WITH_TIMEOUT(ok->isEnabled(), 60000);
        QVERIFY(!form->searching());
        QVERIFY2(child<QLineEdit>(form, "Edit6")->text().startsWith("已停止, 已完成 2000"),
                 qPrintable(child<QLineEdit>(form, "Edit6")->text()));

        const auto years = form->finishedYears().size();
        QVERIFY(years >= 1 && years < 10);
        QStringList expected;
        for (std::size_t y = 0; y < years; ++y)
            expected << QStringLiteral("TFR%1.txt").arg(y);
        expected << "TFR10.old.txt" << "TFR12.old.txt";
        expected.sort();
        QStringList found = QDir(dir_.path()).entryList({"TFR*"}, QDir::Files);
        found.sort();
        QCOMPARE(found, expected);
        QCOMPARE(form->chart()->chart().model().series.at(0).points.size(), 35 * years);
        QVERIFY(prompts.messages.size() == 3);

        // 导出Excel: the finished years, a row each, read back by openpyxl.
        auto* exportButton = child<QPushButton>(form, "BitBtn3");
        QVERIFY(exportButton->isEnabled());
        const QString book = dir_.filePath("目标规划.xlsx");
        prompts.saveAnswers << book;
        QTest::mouseClick(exportButton, Qt::LeftButton);
        QVERIFY(prompts.messages.size() == 3);
        QVERIFY(QFile::exists(book));
        if (openpyxlAvailable()) {
            const QStringList read = readWithOpenpyxl(book);
            QCOMPARE(read.at(0), QStringLiteral("目标规划\t%1\t9").arg(years + 1));
            const QStringList first = read.at(2).split(QLatin1Char('\t'));
            QCOMPARE(first.at(0), QStringLiteral("2000|0"));
            QCOMPARE(first.at(4).section(QLatin1Char('|'), 0, 0).toDouble(), form->finishedYears()[0].meanTfr);
            QCOMPARE(read.at(3), QStringLiteral("生育模式\t%1\t36").arg(years + 1));
        } else {
            qWarning("python3-openpyxl is not installed (scripts/install-deps.sh): the workbook is not read back");
        }

        // Closing the dialog during a search stops it.
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(form->searching());
        form->close();
        QTRY_VERIFY(!form->searching());
    }
};

QTEST_MAIN(TargetPlanningWindowTest)
#include "target_planning_window_test.moc"
