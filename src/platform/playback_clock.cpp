#include "platform/playback_clock.h"

#include <algorithm>
#include <chrono>

namespace quixo {

std::int64_t SteadyClockNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

PlaybackClock::PlaybackClock(int rate, int latencyFrames, MonotonicClock clock)
    : rate_(rate), latencyFrames_(latencyFrames), clock_(clock) {}

void PlaybackClock::StartAt(std::int64_t frame) {
    std::lock_guard<std::mutex> lock(mutex_);
    first_ = frame;
    handed_ = frame;
}

void PlaybackClock::OnDeviceRequest(int frames) {
    const std::int64_t now = clock_();
    std::lock_guard<std::mutex> lock(mutex_);
    // The new block starts where the last one ends, whether the request comes early or late:
    // the position only ever moves forward. Until the device's queue has filled, nothing plays.
    base_ = started_ ? cap_ : first_;
    cap_ = std::max(base_, handed_ + frames - latencyFrames_);
    baseNs_ = now;
    handed_ += frames;
    started_ = true;
}

void PlaybackClock::OnEnd(std::int64_t endFrame) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (endFrame_ < 0) endFrame_ = endFrame;
}

std::int64_t PlaybackClock::PositionFrames() const {
    const std::int64_t now = clock_();
    std::lock_guard<std::mutex> lock(mutex_);
    if (!started_) return first_;
    const std::int64_t elapsedNs = std::max<std::int64_t>(0, now - baseNs_);
    std::int64_t p = base_ + elapsedNs * rate_ / 1000000000;
    p = std::min(p, cap_);
    if (endFrame_ >= 0) p = std::min(p, endFrame_);
    return std::max(first_, p);
}

std::int32_t PlaybackClock::PositionMs() const {
    return static_cast<std::int32_t>(PositionFrames() * 1000 / rate_);
}

bool PlaybackClock::Finished() const {
    std::int64_t end;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        end = endFrame_;
    }
    return end >= 0 && PositionFrames() >= end;
}

std::int64_t PlaybackClock::FramesHanded() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return handed_;
}

}  // namespace quixo
