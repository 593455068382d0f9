#include "platform/sample_history.h"

#include <algorithm>
#include <cstring>

namespace quixo {

void SampleHistory::Push(const float* interleaved, int frames) {
    if (frames > kFrames) {
        interleaved += 2 * (frames - kFrames);
        frames = kFrames;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    const int first = std::min(frames, kFrames - next_);
    std::memcpy(ring_ + 2 * next_, interleaved, sizeof(float) * 2 * first);
    std::memcpy(ring_, interleaved + 2 * first, sizeof(float) * 2 * (frames - first));
    next_ = (next_ + frames) % kFrames;
}

void SampleHistory::CopyChannel(int channel, int count, float* out) const {
    std::lock_guard<std::mutex> lock(mutex_);
    int frame = (next_ - count + kFrames) % kFrames;
    for (int i = 0; i < count; ++i) {
        out[i] = ring_[2 * frame + channel];
        frame = frame + 1 == kFrames ? 0 : frame + 1;
    }
}

}  // namespace quixo
