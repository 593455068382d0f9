#pragma once
// GPU timing of a stretch of commands (tools' frame profiles). The result is read without
// waiting: a query whose commands are still running reports nothing yet.
#include <cstdint>

#include "render/gfx/device.h"

namespace quixo::gfx {

// A query object in `query`; false, with the reason in device.lastError, when there is none.
[[nodiscard]] bool CreateTimerQuery(Device& device, std::uint32_t& query);
void ReleaseTimerQuery(Device& device, std::uint32_t& query);
void BeginTimer(std::uint32_t query);
void EndTimer(std::uint32_t query);
// The elapsed nanoseconds once the GPU has finished the timed commands; false before that.
bool TimerResult(std::uint32_t query, std::uint64_t& nanoseconds);

}  // namespace quixo::gfx
