#include "authoring/music_grid.h"

#include "platform/music.h"
#include "platform/music_analysis.h"

namespace quixo {

bool MusicRowGrid(const std::vector<std::uint8_t>& bytes, RowGrid& grid, std::string* error) {
    std::vector<ModuleRowStart> starts;
    std::int64_t total = 0;
    if (!ListModuleRows(bytes, kMusicRate, &starts, &total, error)) return false;
    if (total == 0) {
        *error = "the module plays no rows";
        return false;
    }
    grid = RowGrid{};
    grid.fromMusic = true;
    grid.rows.reserve(starts.size());
    for (const ModuleRowStart& s : starts) {
        MusicRow row;
        row.order = s.order;
        row.pattern = s.pattern;
        row.row = s.row;
        row.speed = s.speed;
        row.tempo = s.tempo;
        row.seconds = static_cast<double>(s.audioFrame) / kMusicRate;
        // What the clock reads when the row starts: the position in whole milliseconds.
        row.frame = ClockFrameAtMs(static_cast<std::int32_t>(s.audioFrame * 1000 / kMusicRate));
        grid.rows.push_back(row);
    }
    return true;
}

}  // namespace quixo
