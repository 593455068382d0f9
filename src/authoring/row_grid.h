#pragma once
// The music's rows as the time grid of the track editor: each row where the module plays it
// (order, pattern, row, the speed and tempo in force), when it starts in seconds, and the frame
// the show's clock reads at that moment. Rows differ in length wherever the tempo or speed
// changes, so every conversion between frames and rows goes through this table.
#include <cstdint>
#include <vector>

namespace quixo {

struct MusicRow {
    int order = -1;  // -1 in a grid that no module gave
    int pattern = -1;
    int row = 0;
    int speed = 0;
    int tempo = 0;
    double seconds = 0;      // when the row starts
    std::int32_t frame = 0;  // the clock's frame at that time
};

struct RowGrid {
    std::vector<MusicRow> rows;  // in playing order, never empty; frames non-decreasing
    bool fromMusic = false;
};

// The frame the show's clock reads at a music position in whole milliseconds.
std::int32_t ClockFrameAtMs(std::int32_t ms);

// A grid of even rows, `framesPerRow` frames each, covering the show: what the editor uses when
// the music cannot be read.
RowGrid EvenRowGrid(int framesPerRow);

// The frame row `index` starts on. Indices past either end continue with the length of the
// nearest row (one frame when the grid has a single row).
std::int32_t RowFrame(const RowGrid& grid, std::int64_t index);

// The row playing at `frame`: the last row that starts at or before it (0 before the first).
int RowAtFrame(const RowGrid& grid, std::int32_t frame);

// The row playing at a music position in seconds.
int RowAtSeconds(const RowGrid& grid, double seconds);

// A frame as a position on the grid: row index plus the fraction of that row's frames before
// it. Frames outside the grid continue with the nearest row's length.
double FrameToRowPosition(const RowGrid& grid, double frame);

// The inverse: the frame (not rounded) at a row position.
double RowPositionToFrame(const RowGrid& grid, double position);

// How the show reads one track's keys against its own frames: the sampler is handed
// scale × (show frame − origin). A track no scene samples is read on the show's frames.
struct TrackTime {
    double origin = 0;
    double scale = 1;
};

// Show frame ↔ track frame under a track's time.
double TrackFrameAt(const TrackTime& time, double showFrame);
double ShowFrameAt(const TrackTime& time, double trackFrame);

// A track frame's position on the grid, and the track frame (rounded to the nearest whole
// frame) at a grid position.
double TrackFrameToRowPosition(const RowGrid& grid, const TrackTime& time, double trackFrame);
std::int64_t RowPositionToTrackFrame(const RowGrid& grid, const TrackTime& time, double position);

}  // namespace quixo
