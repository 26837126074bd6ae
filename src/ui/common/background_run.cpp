// The worker thread, the progress window and the hand-over of the outcome.
#include "ui/common/background_run.h"

#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>

#include "text/refusal.h"

namespace zandor::ui {

namespace {

constexpr int kShowAfterMs = 250;
constexpr int kRefreshMs = 100;

// What the worker reports, read by the window on its own clock.
struct Reports {
    std::atomic<long long> done{0};
    std::atomic<long long> total{0};
    std::mutex mutex;
    std::string status;  // guarded by mutex
};

class ProgressWindow : public QDialog {
public:
    ProgressWindow(QWidget* parent, const QString& title, Reports& reports, std::stop_source& stop)
        : QDialog(parent), reports_(reports), stop_(stop)
    {
        setObjectName(kBackgroundRunDialog);
        setWindowTitle(title);
        setWindowModality(Qt::WindowModal);
        status_ = new QLabel(this);
        status_->setObjectName(kBackgroundRunStatus);
        bar_ = new QProgressBar(this);
        bar_->setObjectName(kBackgroundRunProgress);
        bar_->setRange(0, 0);
        stopButton_ = new QPushButton(QStringLiteral("停止"), this);
        stopButton_->setObjectName(kBackgroundRunStop);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(status_);
        layout->addWidget(bar_);
        layout->addWidget(stopButton_, 0, Qt::AlignRight);
        setMinimumWidth(360);
        connect(stopButton_, &QPushButton::clicked, this, &ProgressWindow::requestStop);
        auto* refresh = new QTimer(this);
        connect(refresh, &QTimer::timeout, this, &ProgressWindow::showReports);
        refresh->start(kRefreshMs);
        showReports();
    }

    // Closing the window (Esc, the title bar) asks for the stop too; the window goes when the
    // call has ended.
    void reject() override { requestStop(); }

private:
    void requestStop()
    {
        stop_.request_stop();
        stopButton_->setEnabled(false);
    }

    void showReports()
    {
        const long long total = reports_.total.load();
        const long long done = reports_.done.load();
        if (total > 0) {
            // The bar counts in thousandths so that any total fits its int range.
            bar_->setRange(0, 1000);
            bar_->setValue(static_cast<int>(1000 * std::min(done, total) / total));
        }
        std::lock_guard lock(reports_.mutex);
        status_->setText(QString::fromStdString(reports_.status));
    }

    Reports& reports_;
    std::stop_source& stop_;
    QLabel* status_;
    QProgressBar* bar_;
    QPushButton* stopButton_;
};

}  // namespace

RunOutcome runInBackground(QWidget* parent, const QString& title, const std::function<void(const Feedback&)>& work)
{
    Reports reports;
    std::stop_source stop;
    const Feedback feedback(stop.get_token(), [&reports](long long done, long long total, std::string_view status) {
        reports.done = done;
        reports.total = total;
        std::lock_guard lock(reports.mutex);
        reports.status.assign(status);
    });

    RunOutcome outcome;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            work(feedback);
        } catch (const Stopped&) {
            outcome = {RunOutcome::Kind::Stopped, {}};
        } catch (const Refusal& refusal) {
            outcome = {RunOutcome::Kind::Refused, QString::fromStdString(refusal.what())};
        } catch (const std::exception& e) {
            outcome = {RunOutcome::Kind::Failed, QString::fromStdString(e.what())};
        } catch (...) {
            outcome = {RunOutcome::Kind::Failed, QStringLiteral("unknown error")};
        }
    }));

    // A short wait with the user's input held back; most calls end within it.
    QEventLoop wait;
    QObject::connect(worker.get(), &QThread::finished, &wait, &QEventLoop::quit);
    QTimer::singleShot(kShowAfterMs, &wait, &QEventLoop::quit);
    worker->start();
    wait.exec(QEventLoop::ExcludeUserInputEvents);

    if (!worker->isFinished()) {
        ProgressWindow window(parent, title, reports, stop);
        QObject::connect(worker.get(), &QThread::finished, &window, &QDialog::accept);
        if (!worker->isFinished())
            window.exec();
    }
    // Also when the program is quitting while the window shows: the call is told to stop and
    // is waited for, since it works on the caller's data.
    stop.request_stop();
    worker->wait();
    return outcome;
}

}  // namespace zandor::ui
