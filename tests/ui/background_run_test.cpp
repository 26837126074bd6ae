// The background run: a call's result, refusal or error handed back, and the progress window
// whose "停止" button ends a long call.
#include <QtTest>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <stdexcept>

#include "text/refusal.h"
#include "ui/common/background_run.h"

using namespace zandor::ui;
using Kind = RunOutcome::Kind;

class BackgroundRunTest : public QObject {
    Q_OBJECT

private slots:
    void handsBackTheResult()
    {
        const auto run = computeInBackground(nullptr, "run", [](const zandor::Feedback& feedback) {
            feedback.progress(1, 1, "done");
            return 42;
        });
        QCOMPARE(run.outcome.kind, Kind::Done);
        QCOMPARE(run.value, std::optional<int>(42));
    }

    void handsBackWhatEndedTheCall_data()
    {
        QTest::addColumn<int>("thrown");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("refusal") << 0 << int(Kind::Refused) << "选定原始数据变量不够!";
        QTest::newRow("error") << 1 << int(Kind::Failed) << "总和生育率 2001年: “x”不是有效的数值";
    }

    void handsBackWhatEndedTheCall()
    {
        QFETCH(int, thrown);
        QFETCH(int, kind);
        QFETCH(QString, message);
        const auto run = computeInBackground(nullptr, "run", [&](const zandor::Feedback&) -> int {
            if (thrown == 0)
                throw zandor::Refusal(message.toStdString());
            throw std::runtime_error(message.toStdString());
        });
        QVERIFY(!run.value);
        QCOMPARE(int(run.outcome.kind), kind);
        QCOMPARE(run.outcome.message, message);
    }

    // A call that only ends when told to: the window shows its reports, and "停止" ends it.
    void stopEndsALongCall()
    {
        QWidget owner;
        owner.show();
        QString statusSeen;
        int barSeen = -1;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            auto* window = owner.findChild<QDialog*>(kBackgroundRunDialog);
            if (!window || !window->isVisible())
                return;
            statusSeen = window->findChild<QLabel*>(kBackgroundRunStatus)->text();
            barSeen = window->findChild<QProgressBar*>(kBackgroundRunProgress)->value();
            if (!statusSeen.isEmpty())
                window->findChild<QPushButton*>(kBackgroundRunStop)->click();
        });
        poll.start(20);
        const RunOutcome outcome = runInBackground(&owner, "long", [](const zandor::Feedback& feedback) {
            for (long long step = 0;; ++step) {
                feedback.throwIfStopped();
                feedback.progress(step % 10, 40, "第" + std::to_string(step) + "步");
                QThread::msleep(2);
            }
        });
        QCOMPARE(outcome.kind, Kind::Stopped);
        QVERIFY(statusSeen.startsWith("第"));
        QVERIFY(barSeen >= 0 && barSeen <= 250);
        QVERIFY(!owner.findChild<QDialog*>(kBackgroundRunDialog));
    }
};

QTEST_MAIN(BackgroundRunTest)
#include "background_run_test.moc"
