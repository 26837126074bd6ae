// Timer-driven animation frames.
#include "ui/charts/frame_animator.h"

#include <algorithm>
#include <cmath>

namespace zandor::ui {

namespace {
double gSpeed = 1.0;
}  // namespace

void FrameAnimator::setSpeed(double timesRealTime) { gSpeed = std::max(1.0, timesRealTime); }

FrameAnimator::FrameAnimator(QObject* parent) : QObject(parent)
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &FrameAnimator::next);
}

void FrameAnimator::enqueue(std::function<void()> frame, int waitMs)
{
    frames_.push_back(Frame{std::move(frame), std::max(0, waitMs)});
    if (!timer_.isActive())
        timer_.start(0);
}

void FrameAnimator::stop()
{
    timer_.stop();
    frames_.clear();
}

void FrameAnimator::finish()
{
    if (!running())
        return;
    timer_.stop();
    // A frame may queue more frames; they run too.
    while (!frames_.empty()) {
        Frame frame = std::move(frames_.front());
        frames_.pop_front();
        frame.run();
    }
    emit frameShown();
    emit finished();
}

void FrameAnimator::next()
{
    if (frames_.empty()) {
        emit finished();
        return;
    }
    Frame frame = std::move(frames_.front());
    frames_.pop_front();
    frame.run();
    emit frameShown();
    timer_.start(static_cast<int>(std::lround(frame.waitMs / gSpeed)));
}

}  // namespace zandor::ui
