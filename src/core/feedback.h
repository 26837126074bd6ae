// What a long computation tells while it runs, and how it learns that it should stop. An
// engine takes a `const Feedback&`, reports its steps with progress(done, total, status)
// (cheap: the receiver decides how often to show them) and calls throwIfStopped() where it
// can end cleanly; the default Feedback reports nowhere and never stops.
#pragma once

#include <functional>
#include <stdexcept>
#include <stop_token>
#include <string_view>
#include <utility>

namespace zandor {

// A computation ended because a stop was requested: it leaves no result.
class Stopped : public std::runtime_error {
public:
    Stopped() : std::runtime_error("stopped") {}
};

class Feedback {
public:
    // Called on the computing thread: `done` of `total` steps, and a short status text.
    using Progress = std::function<void(long long done, long long total, std::string_view status)>;

    Feedback() = default;
    Feedback(std::stop_token stop, Progress progress) : stop_(std::move(stop)), progress_(std::move(progress)) {}

    void progress(long long done, long long total, std::string_view status = {}) const
    {
        if (progress_)
            progress_(done, total, status);
    }
    bool stopRequested() const { return stop_.stop_requested(); }
    // Throws Stopped once a stop has been requested.
    void throwIfStopped() const
    {
        if (stopRequested())
            throw Stopped();
    }

private:
    std::stop_token stop_;
    Progress progress_;
};

}  // namespace zandor
