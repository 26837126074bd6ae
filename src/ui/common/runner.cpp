// The runner's side on the user-interface thread (the progress window, Stop, the input held
// back while a run goes on) and the worker's side of a run (the Feedback over the promise,
// the outcome).
#include "ui/common/runner.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

#include "text/refusal.h"

namespace zandor::ui {

namespace {

constexpr int kShowAfterMs = 250;

// The progress window: closing it (Esc, the title bar) asks for the stop; it goes when the
// work has ended.
class ProgressWindow : public QDialog {
public:
    ProgressWindow(QWidget* parent, std::function<void()> stop) : QDialog(parent), stop_(std::move(stop)) {}
    void reject() override { stop_(); }

private:
    std::function<void()> stop_;
};

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        return true;
    default:
        return false;
    }
}

}  // namespace

namespace runner_detail {

void Job::perform(const std::function<void(int, int)>& setRange,
                  const std::function<void(int, const QString&)>& setValue,
                  const std::function<void(const Feedback&)>& work)
{
    // The promise passes a report on only when its value grows: a count without a known end
    // counts the reports, so that each new status text shows; a known total is the range
    // itself (in thousandths when it does not fit an int).
    const Feedback feedback(stop.get_token(), [&](long long done, long long total, std::string_view status) {
        const QString text = QString::fromUtf8(status.data(), static_cast<qsizetype>(status.size()));
        if (total <= 0) {
            if (determinate || busyTicks == 0) {
                setRange(0, 0);
                determinate = false;
            }
            setValue(static_cast<int>(++busyTicks % INT_MAX), text);
            return;
        }
        const bool scaled = total > INT_MAX;
        const int high = scaled ? 1000 : static_cast<int>(total);
        const long long reached = std::clamp(done, 0LL, total);
        const int value = static_cast<int>(scaled ? 1000.0 * static_cast<double>(reached) / static_cast<double>(total)
                                                  : reached);
        if (!determinate) {
            setRange(0, high);
            determinate = true;
        }
        setValue(value, text);
    });
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
}

}  // namespace runner_detail

Runner::Runner(QWidget* window, Display display)
    : QObject(window), window_(window), display_(display), showTimer_(new QTimer(this))
{
    showTimer_->setSingleShot(true);
    showTimer_->setInterval(kShowAfterMs);
    connect(showTimer_, &QTimer::timeout, this, &Runner::showProgressWindow);
}

Runner::~Runner()
{
    if (!active_)
        return;
    active_->disconnect(this);
    stopAndWait();
    if (display_ == Display::ProgressWindow)
        qApp->removeEventFilter(this);
}

void Runner::stop()
{
    if (!active_)
        return;
    active_->cancel();
    job_->stop.request_stop();
    if (stopButton_)
        stopButton_->setEnabled(false);
}

void Runner::stopAndWait()
{
    if (!active_)
        return;
    stop();
    active_->waitForFinished();
}

std::shared_ptr<runner_detail::Job> Runner::begin(QFutureWatcherBase* watcher, const QString& title)
{
    active_ = watcher;
    job_ = std::make_shared<runner_detail::Job>();
    title_ = title;
    connect(watcher, &QFutureWatcherBase::progressRangeChanged, this, &Runner::progressRangeChanged);
    connect(watcher, &QFutureWatcherBase::progressValueChanged, this, &Runner::progressValueChanged);
    connect(watcher, &QFutureWatcherBase::progressTextChanged, this, &Runner::progressTextChanged);
    if (display_ == Display::ProgressWindow) {
        // Until the work ends, a click or a key meant for the caller's window is dropped: the
        // progress window (or, before it shows, nothing) has the user's attention.
        qApp->installEventFilter(this);
        showTimer_->start();
    }
    return job_;
}

RunOutcome Runner::end(const runner_detail::Job& job, bool cancelled)
{
    RunOutcome outcome = job.outcome;
    // Work that saw the stop may end without saying so (a search returns the years it has).
    if (cancelled && outcome.kind == RunOutcome::Kind::Done)
        outcome = {RunOutcome::Kind::Stopped, {}};
    showTimer_->stop();
    if (display_ == Display::ProgressWindow)
        qApp->removeEventFilter(this);
    if (progressWindow_)
        delete progressWindow_;
    bar_ = nullptr;
    status_ = nullptr;
    stopButton_ = nullptr;
    active_ = nullptr;
    job_.reset();
    return outcome;
}

void Runner::showProgressWindow()
{
    if (!active_ || progressWindow_)
        return;
    auto* window = new ProgressWindow(window_, [this] { stop(); });
    progressWindow_ = window;
    window->setObjectName(kBackgroundRunDialog);
    window->setWindowTitle(title_);
    window->setWindowModality(Qt::WindowModal);
    status_ = new QLabel(window);
    status_->setObjectName(kBackgroundRunStatus);
    bar_ = new QProgressBar(window);
    bar_->setObjectName(kBackgroundRunProgress);
    bar_->setRange(0, 0);
    stopButton_ = new QPushButton(QStringLiteral("停止"), window);
    stopButton_->setObjectName(kBackgroundRunStop);
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(status_);
    layout->addWidget(bar_);
    layout->addWidget(stopButton_, 0, Qt::AlignRight);
    window->setMinimumWidth(360);
    connect(stopButton_, &QPushButton::clicked, this, &Runner::stop);
    // What the work has reported so far, then each new report.
    const QFutureWatcherBase* watcher = active_;
    if (watcher->progressMaximum() > watcher->progressMinimum()) {
        bar_->setRange(watcher->progressMinimum(), watcher->progressMaximum());
        bar_->setValue(watcher->progressValue());
    }
    status_->setText(watcher->progressText());
    connect(this, &Runner::progressRangeChanged, bar_, &QProgressBar::setRange);
    connect(this, &Runner::progressValueChanged, bar_, &QProgressBar::setValue);
    connect(this, &Runner::progressTextChanged, status_, &QLabel::setText);
    if (job_->stop.stop_requested())
        stopButton_->setEnabled(false);
    window->open();
}

bool Runner::eventFilter(QObject* watched, QEvent* event)
{
    if (!active_ || !watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->window() != window_)
        return false;
    if (isUserInput(event->type()))
        return true;
    // So does the title bar's close button: the window can be closed once the work has ended.
    if (event->type() == QEvent::Close && event->spontaneous()) {
        event->ignore();
        return true;
    }
    return false;
}

}  // namespace zandor::ui
