// The runner: the start returns before the work ends and the result is presented in a slot;
// a refusal or an error is presented as such; a long run shows the progress window, whose
// "停止" ends it, with the results it gave before presented.
#include <QtTest>

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <atomic>
#include <stdexcept>

#include "text/refusal.h"
#include "ui/common/runner.h"

using namespace zandor::ui;
using Kind = RunOutcome::Kind;

class RunnerTest : public QObject {
    Q_OBJECT

private slots:
    void presentsTheResultAfterTheStartHasReturned()
    {
        QWidget owner;
        Runner runner(&owner);
        std::atomic<bool> release{false};
        std::optional<RunOutcome> outcome;
        std::optional<int> value;
        const bool started = runner.run(
            "run",
            [&](const zandor::Feedback& feedback) {
                while (!release)
                    QThread::msleep(1);
                feedback.progress(1, 1, "done");
                return 42;
            },
            [&](const RunOutcome& o, std::optional<int> v) {
                outcome = o;
                value = v;
            });
        // The work waits for what only this thread does after the start has returned.
        QVERIFY(started);
        QVERIFY(runner.running());
        QVERIFY(!runner.run("again", [](const zandor::Feedback&) { return 0; }, [](const RunOutcome&, auto) {}));
        release = true;
        QTRY_VERIFY(outcome.has_value());
        QCOMPARE(outcome->kind, Kind::Done);
        QCOMPARE(value, std::optional<int>(42));
        QVERIFY(!runner.running());
    }

    void presentsWhatEndedTheWork_data()
    {
        QTest::addColumn<int>("thrown");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("refusal") << 0 << int(Kind::Refused) << "选定原始数据变量不够!";
        QTest::newRow("error") << 1 << int(Kind::Failed) << "总和生育率 2001年: “x”不是有效的数值";
    }

    void presentsWhatEndedTheWork()
    {
        QFETCH(int, thrown);
        QFETCH(int, kind);
        QFETCH(QString, message);
        QWidget owner;
        Runner runner(&owner);
        std::optional<RunOutcome> outcome;
        bool hasValue = true;
        runner.run(
            "run",
            [&](const zandor::Feedback&) -> int {
                if (thrown == 0)
                    throw zandor::Refusal(message.toStdString());
                throw std::runtime_error(message.toStdString());
            },
            [&](const RunOutcome& o, std::optional<int> v) {
                outcome = o;
                hasValue = v.has_value();
            });
        QTRY_VERIFY(outcome.has_value());
        QVERIFY(!hasValue);
        QCOMPARE(int(outcome->kind), kind);
        QCOMPARE(outcome->message, message);
    }

    // Work that only ends when told to: the progress window shows its reports, and "停止"
    // ends it; the result it gave first is presented, then the stop.
    void stopEndsALongRun()
    {
        QWidget owner;
        owner.show();
        Runner runner(&owner);
        QStringList presented;
        std::optional<RunOutcome> outcome;
        runner.runEach<QString>(
            "long",
            [](const zandor::Feedback& feedback, const auto& yield) {
                yield(QStringLiteral("第一年"));
                for (long long step = 0;; ++step) {
                    feedback.throwIfStopped();
                    feedback.progress(step % 10, 40, "第" + std::to_string(step) + "步");
                    QThread::msleep(2);
                }
            },
            [&](const QString& item) { presented << item; },
            [&](const RunOutcome& o) { outcome = o; });
        QDialog* window = nullptr;
        QTRY_VERIFY((window = owner.findChild<QDialog*>(kBackgroundRunDialog)) && window->isVisible());
        QCOMPARE(window->windowModality(), Qt::WindowModal);
        auto* status = window->findChild<QLabel*>(kBackgroundRunStatus);
        QTRY_VERIFY(status->text().startsWith("第"));
        const int bar = window->findChild<QProgressBar*>(kBackgroundRunProgress)->value();
        QVERIFY(bar >= 0 && bar <= 10);
        QCOMPARE(presented, QStringList{"第一年"});
        window->findChild<QPushButton*>(kBackgroundRunStop)->click();
        QTRY_VERIFY(outcome.has_value());
        QCOMPARE(outcome->kind, Kind::Stopped);
        QCOMPARE(presented, QStringList{"第一年"});
        QVERIFY(!owner.findChild<QDialog*>(kBackgroundRunDialog));
    }
};

QTEST_MAIN(RunnerTest)
#include "runner_test.moc"
