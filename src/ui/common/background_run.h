// Running a long engine call off the user-interface thread. The call gets a Feedback whose
// progress feeds a small window (a progress bar, the status text and a "停止" button that
// requests the stop); the caller gets the outcome back on the user-interface thread, when
// the call has ended, as from any other function: the result, or what ended it.
//
// While the call runs, the windows keep painting; for the first 250 ms the user's input
// waits (a quick call shows no window at all), then the progress window, modal to `parent`,
// takes it. The window reads the reports at most every 100 ms, however often the call
// makes them.
#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <type_traits>
#include <utility>

#include "core/feedback.h"

class QWidget;

namespace zandor::ui {

struct RunOutcome {
    enum class Kind {
        Done,
        Refused,  // zandor::Refusal: the program's own message
        Stopped,  // the user pressed "停止" and the call ended with zandor::Stopped
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

// Runs `work` on a worker thread under a progress window titled `title`, and returns when it
// has ended.
RunOutcome runInBackground(QWidget* parent, const QString& title, const std::function<void(const Feedback&)>& work);

template <class Result>
struct BackgroundResult {
    std::optional<Result> value;  // when the outcome is Done
    RunOutcome outcome;
};

// The same for a call with a result: compute(feedback) returns it.
template <class Compute>
auto computeInBackground(QWidget* parent, const QString& title, Compute&& compute)
    -> BackgroundResult<std::invoke_result_t<Compute&, const Feedback&>>
{
    BackgroundResult<std::invoke_result_t<Compute&, const Feedback&>> result;
    result.outcome = runInBackground(parent, title, [&](const Feedback& feedback) { result.value.emplace(compute(feedback)); });
    return result;
}

}  // namespace zandor::ui
