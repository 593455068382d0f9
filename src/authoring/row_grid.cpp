#include "authoring/row_grid.h"

#include <algorithm>
#include <cmath>

#include "core/timeline.h"
#include "graph/graph_types.h"

namespace quixo {

namespace {

// The length in frames of the row at the given end, at least one so that positions past the
// ends still move.
double EdgeRowLength(const RowGrid& grid, bool last) {
    const std::size_t n = grid.rows.size();
    if (n < 2) return 1;
    const std::int32_t length = last ? grid.rows[n - 1].frame - grid.rows[n - 2].frame
                                     : grid.rows[1].frame - grid.rows[0].frame;
    return std::max<std::int32_t>(length, 1);
}

// The last row starting at or before `frame`, or -1 when the first starts later.
int LastRowAtOrBefore(const RowGrid& grid, double frame) {
    const auto after = std::upper_bound(
        grid.rows.begin(), grid.rows.end(), frame,
        [](double f, const MusicRow& row) { return f < static_cast<double>(row.frame); });
    return static_cast<int>(after - grid.rows.begin()) - 1;
}

}  // namespace

std::int32_t ClockFrameAtMs(std::int32_t ms) {
    // The frame does not depend on the scene lengths.
    const std::int32_t noScenes[kSceneCount] = {};
    return ReadClock(ms, noScenes).frame;
}

RowGrid EvenRowGrid(int framesPerRow) {
    RowGrid grid;
    const int step = std::max(framesPerRow, 1);
    for (std::int32_t frame = 0; frame <= kEndFrame; frame += step) {
        MusicRow row;
        row.row = frame / step;
        row.frame = frame;
        row.seconds = frame * 16.66 / 1000.0;
        grid.rows.push_back(row);
    }
    return grid;
}

std::int32_t RowFrame(const RowGrid& grid, std::int64_t index) {
    const auto n = static_cast<std::int64_t>(grid.rows.size());
    if (index < 0)
        return grid.rows[0].frame + static_cast<std::int32_t>(index * EdgeRowLength(grid, false));
    if (index >= n) {
        return grid.rows[n - 1].frame +
               static_cast<std::int32_t>((index - (n - 1)) * EdgeRowLength(grid, true));
    }
    return grid.rows[index].frame;
}

int RowAtFrame(const RowGrid& grid, std::int32_t frame) {
    return std::max(LastRowAtOrBefore(grid, frame), 0);
}

int RowAtSeconds(const RowGrid& grid, double seconds) {
    const auto after =
        std::upper_bound(grid.rows.begin(), grid.rows.end(), seconds,
                         [](double s, const MusicRow& row) { return s < row.seconds; });
    return std::max(static_cast<int>(after - grid.rows.begin()) - 1, 0);
}

double FrameToRowPosition(const RowGrid& grid, double frame) {
    const int n = static_cast<int>(grid.rows.size());
    const int i = LastRowAtOrBefore(grid, frame);
    if (i < 0) return (frame - grid.rows[0].frame) / EdgeRowLength(grid, false);
    if (i == n - 1) return i + (frame - grid.rows[i].frame) / EdgeRowLength(grid, true);
    // Row i is the last to start at or before the frame, so row i + 1 starts after it.
    return i + (frame - grid.rows[i].frame) / (grid.rows[i + 1].frame - grid.rows[i].frame);
}

double RowPositionToFrame(const RowGrid& grid, double position) {
    const int n = static_cast<int>(grid.rows.size());
    if (position < 0) return grid.rows[0].frame + position * EdgeRowLength(grid, false);
    if (position >= n - 1) {
        return grid.rows[n - 1].frame + (position - (n - 1)) * EdgeRowLength(grid, true);
    }
    const int i = static_cast<int>(position);
    return grid.rows[i].frame + (position - i) * (grid.rows[i + 1].frame - grid.rows[i].frame);
}

double TrackFrameAt(const TrackTime& time, double showFrame) {
    return time.scale * (showFrame - time.origin);
}

double ShowFrameAt(const TrackTime& time, double trackFrame) {
    return time.origin + trackFrame / time.scale;
}

double TrackFrameToRowPosition(const RowGrid& grid, const TrackTime& time, double trackFrame) {
    return FrameToRowPosition(grid, ShowFrameAt(time, trackFrame));
}

std::int64_t RowPositionToTrackFrame(const RowGrid& grid, const TrackTime& time, double position) {
    return std::llround(TrackFrameAt(time, RowPositionToFrame(grid, position)));
}

}  // namespace quixo
