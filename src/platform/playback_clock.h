#pragma once
// What the listener hears now, from what has been handed to the audio device. Each time the
// device asks for a block, the block it starts playing begins at (frames handed so far − frames
// still queued in the device); between requests the position runs on with a monotonic clock,
// but never past the end of that block, so it never runs ahead of the sound and never goes back.
#include <cstdint>
#include <mutex>

namespace quixo {

// Nanoseconds of a monotonic clock. The seam through which tests drive a fake device clock.
using MonotonicClock = std::int64_t (*)();
std::int64_t SteadyClockNs();

class PlaybackClock {
public:
    PlaybackClock(int rate, int latencyFrames, MonotonicClock clock);

    // Music started part-way: `frame` is where the decoder starts, and the position starts
    // there too. Called before the first request.
    void StartAt(std::int64_t frame);

    // Called by the audio thread when the device asks for `frames` more, before they are made.
    void OnDeviceRequest(int frames);

    // The decoder ran out: the music's last frame is `endFrame` (total frames of music).
    void OnEnd(std::int64_t endFrame);

    // Frames the listener has heard by now (0 before the first request).
    std::int64_t PositionFrames() const;
    std::int32_t PositionMs() const;

    // True once the music's last frame has been heard.
    bool Finished() const;

    std::int64_t FramesHanded() const;
    int rate() const { return rate_; }

private:
    const int rate_;
    const int latencyFrames_;
    const MonotonicClock clock_;
    mutable std::mutex mutex_;
    std::int64_t handed_ = 0;
    std::int64_t base_ = 0;  // frame the device started playing at baseNs_
    std::int64_t cap_ = 0;   // end of the block playing since then
    std::int64_t baseNs_ = 0;
    bool started_ = false;
    std::int64_t endFrame_ = -1;  // -1 while music remains
    std::int64_t first_ = 0;      // the frame playing starts from
};

}  // namespace quixo
