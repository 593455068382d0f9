#pragma once
// The main loop's rules, apart from the services it drives: one message or one frame per pass,
// Escape tested before the first pass and after every pass, the end at frame 8200, and the end
// when the music stops.
#include <cstdint>

#include "core/timeline.h"

namespace quixo {

enum class PassEvent {
    None,   // no message was waiting: render a frame
    Quit,   // the window was closed
    Other,  // one message handled: no frame this pass
};

// What the loop drives. Each member is called exactly where the loop's rules say.
struct MainLoopServices {
    bool musicOn;
    void* user;
    bool (*isMusicPlaying)(void* user);      // asked at the top of every pass when musicOn
    PassEvent (*pollEvent)(void* user);      // at most one message per pass
    bool (*escapeDown)(void* user);          // before the first pass and after every pass
    std::int32_t (*positionMs)(void* user);  // the clock's source
    // One frame, at this clock reading.
    void (*runFrame)(void* user, const ClockReading& clock);
};

enum class LoopEnd { Escape, Quit, MusicStopped, LastFrame };

// Runs passes until one of the ends; durations are the ten scene lengths.
LoopEnd RunMainLoop(const MainLoopServices& services, const std::int32_t durations[10]);

}  // namespace quixo
