#include "startup/main_loop.h"

namespace quixo {

LoopEnd RunMainLoop(const MainLoopServices& s, const std::int32_t durations[10]) {
    if (s.escapeDown(s.user)) return LoopEnd::Escape;
    for (;;) {
        if (s.musicOn && !s.isMusicPlaying(s.user)) return LoopEnd::MusicStopped;
        const PassEvent event = s.pollEvent(s.user);
        if (event == PassEvent::Quit) return LoopEnd::Quit;
        if (event == PassEvent::None) {
            const ClockReading clock = ReadClock(s.positionMs(s.user), durations);
            if (clock.end) return LoopEnd::LastFrame;
            s.runFrame(s.user, clock);
        }
        if (s.escapeDown(s.user)) return LoopEnd::Escape;
    }
}

}  // namespace quixo
