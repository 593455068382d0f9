#pragma once
// The one progress line that long commands keep rewriting on stderr, so a person watching a
// run of minutes sees it move; stdout stays the command's one JSON object.
#include <chrono>
#include <cstdint>
#include <string>

namespace quixo::tool {

class ProgressLine {
public:
    // `what` names the command ("contact-sheet", "profile", ...); `total` is the step count.
    ProgressLine(const char* what, std::int64_t total);
    // Step `done` of the total finished, at show frame `showFrame`. Rewrites the line at most a
    // few times a second, and always for the last step.
    void Update(std::int64_t done, std::int32_t showFrame);
    // The same with any words after the count, in place of the show frame.
    void Update(std::int64_t done, const std::string& detail);
    // Ends the line (once), so later messages start on a line of their own.
    void Finish();
    ~ProgressLine() { Finish(); }

private:
    const char* what_;
    std::int64_t total_;
    std::chrono::steady_clock::time_point lastShown_{};
    std::size_t width_ = 0;  // of the line shown last, to blank what a shorter one leaves
    bool shown_ = false;
    bool finished_ = false;
};

}  // namespace quixo::tool
