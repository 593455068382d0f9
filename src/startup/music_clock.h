#pragma once
// The three uses the main loop makes of the music: start it once, ask each pass whether it
// still plays, and read its position as the clock.
#include <cstdint>

#include "platform/music.h"

namespace quixo {

// Creates the sound system, loads the module from `path` (relative to the working directory)
// and plays it once; the spectrum nodes read it from then on. False when the file cannot be
// opened: the message naming it has been shown, and the caller ends with a non-zero status.
// `config` is the seam for tests (a fake device clock, manual output).
// `fromMs` starts it part-way (the authoring preview); the show always starts at 0.
[[nodiscard]] bool StartMusic(const char* path = kMusicPath, const MusicConfig& config = {},
                              std::int32_t fromMs = 0);

// False before StartMusic succeeded, and once the module's last sample has played.
bool IsMusicPlaying();

// What the listener hears now, in milliseconds; 0 when no music was started.
std::int32_t MusicPositionMs();

// The system behind the three calls, or nullptr (tests drive a Manual one through it).
MusicSystem* ActiveMusicSystem();

// Stops and releases the music (tests; the show never stops it).
void StopMusic();

}  // namespace quixo
