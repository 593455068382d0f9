#pragma once
// The most recent mixed stereo frames, written by the audio thread and read by the spectrum.
// Either side holds the lock only for a copy, so the reader never stalls the audio thread for
// longer than that.
#include <mutex>

namespace quixo {

class SampleHistory {
public:
    static constexpr int kFrames = 1024;  // 2 × the largest spectrum

    // Appends interleaved stereo frames (any number; only the last kFrames are kept).
    void Push(const float* interleaved, int frames);

    // The last `count` samples (count <= kFrames) of channel 0 or 1, oldest first. Before
    // anything was pushed they read 0.
    void CopyChannel(int channel, int count, float* out) const;

private:
    mutable std::mutex mutex_;
    float ring_[2 * kFrames] = {};
    int next_ = 0;  // the frame written next
};

}  // namespace quixo
