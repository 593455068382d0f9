#include "progress.h"

#include <cstdio>

namespace quixo::tool {

ProgressLine::ProgressLine(const char* what, std::int64_t total) : what_(what), total_(total) {}

void ProgressLine::Update(std::int64_t done, std::int32_t showFrame) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point now = Clock::now();
    if (shown_ && done < total_ && now - lastShown_ < std::chrono::milliseconds(200)) return;
    lastShown_ = now;
    shown_ = true;
    std::fprintf(stderr, "\r%s: frame %lld/%lld (show frame %d)", what_,
                 static_cast<long long>(done), static_cast<long long>(total_), showFrame);
    std::fflush(stderr);
}

void ProgressLine::Finish() {
    if (shown_ && !finished_) std::fprintf(stderr, "\n");
    finished_ = true;
}

}  // namespace quixo::tool
