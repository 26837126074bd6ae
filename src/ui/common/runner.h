// The one way a window runs long work. The window prepares on its own thread (reads the
// table, parses the texts, says every refusal), then hands the runner a pure computation: it
// runs on a worker thread (QtConcurrent with a QPromise), and the outcome comes back to a slot
// of the window through a QFutureWatcher. Nothing waits in between: run() returns at once.
//
// The computation gets a Feedback: its progress reports go through the promise, and its stop
// token is requested when the run's future is cancelled (the "停止" button, closing the
// window). Work that yields several results (one per planning year) hands each to the promise
// as it is done; the window presents each as it arrives.
//
// How the progress shows: by default in a small window of its own, opened window-modal to
// the caller's window once the work has taken 250 ms (a quick run shows none), with a bar,
// the status text and "停止"; until the work ends the caller's window takes no input, so a
// second press starts nothing. Or, for a window with its own bar and Stop, through the
// signals below, with the caller's window left usable.
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QPromise>
#include <QString>
#include <QtConcurrent/QtConcurrentRun>

#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <type_traits>
#include <utility>

#include "core/feedback.h"

class QDialog;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QWidget;

namespace zandor::ui {

struct RunOutcome {
    enum class Kind {
        Done,
        Refused,  // zandor::Refusal: the program's own message
        Stopped,  // a stop was requested and the work ended before giving its result
        Failed,   // any other exception (a number that is no number, a table error, ...)
    };
    Kind kind = Kind::Done;
    QString message;  // the refusal's or the error's text
};

// Object names of the progress window and its controls.
inline constexpr const char* kBackgroundRunDialog = "BackgroundRunDialog";
inline constexpr const char* kBackgroundRunProgress = "ProgressBar";
inline constexpr const char* kBackgroundRunStatus = "StatusLabel";
inline constexpr const char* kBackgroundRunStop = "StopButton";

namespace runner_detail {

// What a run shares between the worker and the window: the stop, and how the work ended
// (written by the worker before its future finishes, read by the window after).
struct Job {
    std::stop_source stop;
    RunOutcome outcome;
    long long busyTicks = 0;  // worker only: the reports without a total
    bool determinate = false;

    // Runs `work` with a Feedback whose reports go to `setRange` and `setValue`, and keeps
    // how it ended.
    void perform(const std::function<void(int, int)>& setRange,
                 const std::function<void(int, const QString&)>& setValue,
                 const std::function<void(const Feedback&)>& work);
};

}  // namespace runner_detail

class Runner : public QObject {
    Q_OBJECT
public:
    enum class Display {
        ProgressWindow,  // a progress window of the runner's own, after 250 ms
        CallerControls,  // the caller shows the signals below in its own controls
    };

    // `window` is the caller's window: the progress window's parent, the window kept from
    // taking input while a run goes on.
    explicit Runner(QWidget* window, Display display = Display::ProgressWindow);
    // A run under way is stopped and waited for; its outcome is not presented.
    ~Runner() override;

    bool running() const { return active_ != nullptr; }
    // "停止": cancels the run's future and so requests the stop of its Feedback.
    void stop();
    // The same, then waits until the work has ended (for a window that closes).
    void stopAndWait();

    // Runs compute(feedback) on a worker and returns at once; false, starting nothing, while
    // another run of this runner goes on. Once the work has ended,
    // present(outcome, std::optional<result>) is called on this thread, the result there
    // when the outcome is Done.
    template <class Compute, class Present>
    bool run(const QString& title, Compute compute, Present present);

    // Work that gives several results: work(feedback, yield) calls yield(item) for each, and
    // each(item) is called on this thread as each arrives, in order. An item given before a
    // stop is presented even when the stop came first; done(outcome) follows the last one.
    template <class Item, class Work, class Each, class Done>
    bool runEach(const QString& title, Work work, Each each, Done done);

signals:
    // The progress of the run under way, as the promise reports it: a range of (0, 0) means
    // a count without a known end.
    void progressRangeChanged(int minimum, int maximum);
    void progressValueChanged(int value);
    void progressTextChanged(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::shared_ptr<runner_detail::Job> begin(QFutureWatcherBase* watcher, const QString& title);
    RunOutcome end(const runner_detail::Job& job, bool cancelled);
    void showProgressWindow();

    QWidget* window_;
    Display display_;
    QFutureWatcherBase* active_ = nullptr;
    std::shared_ptr<runner_detail::Job> job_;
    QString title_;
    QTimer* showTimer_;
    QPointer<QDialog> progressWindow_;
    QProgressBar* bar_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* stopButton_ = nullptr;
};

template <class Item, class Work, class Each, class Done>
bool Runner::runEach(const QString& title, Work work, Each each, Done done)
{
    if (running())
        return false;
    auto* watcher = new QFutureWatcher<Item>(this);
    std::shared_ptr<runner_detail::Job> job = begin(watcher, title);
    auto presented = std::make_shared<int>(0);
    auto present = std::make_shared<Each>(std::move(each));
    connect(watcher, &QFutureWatcherBase::resultReadyAt, this, [watcher, presented, present](int index) {
        for (; *presented <= index; ++*presented)
            (*present)(watcher->resultAt(*presented));
    });
    connect(watcher, &QFutureWatcherBase::finished, this,
            [this, watcher, job, presented, present, done = std::move(done)]() mutable {
                // A stop drops the signals of results still on their way; they are presented here.
                const QFuture<Item> future = watcher->future();
                for (; *presented < future.resultCount(); ++*presented)
                    (*present)(future.resultAt(*presented));
                const RunOutcome outcome = end(*job, future.isCanceled());
                watcher->deleteLater();
                done(outcome);
            });
    watcher->setFuture(QtConcurrent::run([job, work = std::move(work)](QPromise<Item>& promise) mutable {
        job->perform([&promise](int low, int high) { promise.setProgressRange(low, high); },
                     [&promise](int value, const QString& text) { promise.setProgressValueAndText(value, text); },
                     [&](const Feedback& feedback) {
                         work(feedback, [&promise](Item item) { promise.addResult(std::move(item)); });
                     });
    }));
    return true;
}

template <class Compute, class Present>
bool Runner::run(const QString& title, Compute compute, Present present)
{
    using Result = std::invoke_result_t<Compute&, const Feedback&>;
    auto value = std::make_shared<std::optional<Result>>();
    return runEach<Result>(
        title,
        [compute = std::move(compute)](const Feedback& feedback, const auto& yield) mutable {
            yield(compute(feedback));
        },
        [value](const Result& result) { value->emplace(result); },
        [value, present = std::move(present)](RunOutcome outcome) mutable {
            // A stop that came after the result was given stopped nothing.
            if (outcome.kind == RunOutcome::Kind::Stopped && value->has_value())
                outcome = {};
            present(outcome, std::move(*value));
        });
}

}  // namespace zandor::ui
