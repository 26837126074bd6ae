// How soon a computation ends once its stop is requested: the work runs on a thread of its
// own with a Feedback; the stop is requested `after` its first progress report (so that it
// lands inside the work), and the time from the request to the end of the work is what a
// user waits after pressing "停止". Work that ended before the stop gives no figure.
#pragma once

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <stop_token>
#include <string_view>
#include <thread>

#include "core/feedback.h"

namespace bench_support {

template <class Work>
std::optional<double> stopLatencySeconds(Work&& work, std::chrono::milliseconds after)
{
    using Clock = std::chrono::steady_clock;
    std::stop_source stop;
    std::atomic<bool> reported{false};
    std::atomic<bool> ended{false};
    const zandor::Feedback feedback(stop.get_token(),
                                    [&](long long, long long, std::string_view) { reported = true; });
    Clock::time_point end;
    std::thread thread([&] {
        try {
            work(feedback);
        } catch (const zandor::Stopped&) {
        }
        end = Clock::now();
        ended = true;
    });
    while (!reported && !ended)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    std::this_thread::sleep_for(after);
    const Clock::time_point asked = Clock::now();
    stop.request_stop();
    thread.join();
    if (end <= asked)
        return std::nullopt;
    return std::chrono::duration<double>(end - asked).count();
}

// One iteration per measurement, its manual time the latency; "finished_first" counts the
// runs that ended before the stop was requested.
template <class Work>
void measureStop(benchmark::State& state, Work&& work, std::chrono::milliseconds after)
{
    int finishedFirst = 0;
    for (auto _ : state) {
        const auto latency = stopLatencySeconds(work, after);
        if (!latency)
            ++finishedFirst;
        state.SetIterationTime(latency.value_or(0));
    }
    state.counters["finished_first"] = finishedFirst;
}

}  // namespace bench_support
