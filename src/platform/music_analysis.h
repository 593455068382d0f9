#pragma once
// Offline measurements of the soundtrack: how long it plays and where its sections start, as
// libopenmpt renders it (tick lengths are whole samples, so arithmetic on the tempo alone
// drifts). A section starts at a pattern whose first row sets the global volume on channel 1:
// every section sets its own level there, and nothing else does.
#include <cstdint>
#include <string>
#include <vector>

namespace quixo {

constexpr int kSectionMarkChannel = 1;
constexpr std::uint8_t kSectionMarkEffect = 0x10;  // XM Gxx, set global volume

struct ModuleTimeline {
    int sampleRate = 0;
    std::int64_t totalFrames = 0;                  // audio frames until playback stops
    std::vector<std::int64_t> sectionStartFrames;  // audio frame of each section's first row
};

// Order indices whose pattern carries the section mark, in order. False (and *error) when the
// bytes are not a well-formed XM file.
bool FindSectionOrders(const std::vector<std::uint8_t>& xm, std::vector<int>* orders,
                       std::string* error);

// False (and *error) unless every pattern, instrument and sample of an XM file lies inside the
// bytes. libopenmpt plays a cut-off file as silence, which must not pass for the soundtrack.
bool CheckXmStructure(const std::vector<std::uint8_t>& xm, std::string* error);

// True when the bytes begin like an XM file.
bool LooksLikeXm(const std::vector<std::uint8_t>& bytes);

// One row of a module as it plays: where it is in the song, the speed (ticks a row) and tempo
// in force, and the audio frame at which it starts (to within one small read).
struct ModuleRowStart {
    int order;
    int pattern;
    int row;
    int speed;
    int tempo;
    std::int64_t audioFrame;
};

// Renders the whole module once at `rate` and lists its rows in playing order, so that tempo
// and speed changes, pattern breaks and jumps all show as they sound. *totalFrames gets the
// audio frames until playback stops. False (and *error) when the bytes do not decode.
bool ListModuleRows(const std::vector<std::uint8_t>& module, int rate,
                    std::vector<ModuleRowStart>* rows, std::int64_t* totalFrames,
                    std::string* error);

// Renders the whole module once at `rate`.
bool MeasureModule(const std::vector<std::uint8_t>& xm, int rate, ModuleTimeline* timeline,
                   std::string* error);

// The show's frame (one per 16.66 ms) nearest to an audio frame.
int NearestShowFrame(std::int64_t audioFrame, int rate);

}  // namespace quixo
