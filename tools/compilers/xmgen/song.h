#pragma once
// The soundtrack: ten sections that follow the show's ten scenes, each starting on a row whose
// time lands on the scene's first frame.
#include <cstdint>
#include <vector>

#include "xm_writer.h"

namespace quixo::xmgen {

constexpr int kSongRate = 48000;  // the rate the tempo map is planned for (ticks whole there)

struct SectionPlan {
    const char* name;
    int startFrame;    // the show's frame where the section begins (60 per second)
    int rows;          // its length in rows (4 per beat)
    int globalVolume;  // its level, set on its first row (0..64)
};

extern const SectionPlan kSectionPlans[10];

// Where the last section ends, in show frames: 224 rows at the tempo of the scenes before it.
constexpr double kSongEndFrame = 6632 + 224 * (350.0 / 48.0);

// Samples per row at `bpm` with 6 ticks per row, as libopenmpt plays it (ticks are whole
// samples, rounded down).
std::int64_t RowSamples(int bpm, int rate = kSongRate);

// The tempo of each row so that row starts track the plan's section starts: one BPM per row.
std::vector<int> PlanTempo(const SectionPlan* plans, int count, double endFrame);

XmModule ComposeSoundtrack();

}  // namespace quixo::xmgen
