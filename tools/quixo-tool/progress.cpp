#include "progress.h"

#include <algorithm>
#include <cstdio>

namespace quixo::tool {

ProgressLine::ProgressLine(const char* what, std::int64_t total) : what_(what), total_(total) {}

void ProgressLine::Update(std::int64_t done, std::int32_t showFrame) {
    Update(done, "show frame " + std::to_string(showFrame));
}

void ProgressLine::Update(std::int64_t done, const std::string& detail) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point now = Clock::now();
    if (shown_ && done < total_ && now - lastShown_ < std::chrono::milliseconds(200)) return;
    lastShown_ = now;
    shown_ = true;
    char line[256];
    const int n =
        std::snprintf(line, sizeof line, "%s: frame %lld/%lld (%s)", what_,
                      static_cast<long long>(done), static_cast<long long>(total_), detail.c_str());
    const std::size_t width = n < 0 ? 0 : std::min<std::size_t>(n, sizeof line - 1);
    std::fprintf(stderr, "\r%s%*s", line, static_cast<int>(width < width_ ? width_ - width : 0),
                 "");
    width_ = width;
    std::fflush(stderr);
}

void ProgressLine::Finish() {
    if (shown_ && !finished_) std::fprintf(stderr, "\n");
    finished_ = true;
}

}  // namespace quixo::tool
