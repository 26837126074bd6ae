// Animation frames driven by a timer: each frame runs, the chart repaints, and the next frame
// runs after the frame's wait, while the window stays free to move, resize or close. Frames
// queued while others run wait their turn, so two quick clicks play two whole sequences.
#pragma once

#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>

namespace zandor::ui {

class FrameAnimator : public QObject {
    Q_OBJECT
public:
    explicit FrameAnimator(QObject* parent = nullptr);

    // Queues `frame`, followed by a wait of `waitMs` milliseconds before the next one.
    void enqueue(std::function<void()> frame, int waitMs);
    // Drops every frame not yet run and stops the wait.
    void stop();
    // Runs every frame not yet run at once, without their waits: the last frame shows.
    void finish();
    bool running() const { return timer_.isActive() || !frames_.empty(); }

    // How many times faster than real time every animator of the program plays: each wait
    // is divided by it (1, real time, unless changed; values below 1 count as 1). The window
    // tests play their animations fast this way; the frames and their order stay the same.
    static void setSpeed(double timesRealTime);

signals:
    // A frame has run (the chart should repaint).
    void frameShown();
    // The last queued frame has run and its wait has passed.
    void finished();

private:
    void next();

    struct Frame {
        std::function<void()> run;
        int waitMs = 0;
    };
    std::deque<Frame> frames_;
    QTimer timer_;
};

}  // namespace zandor::ui
