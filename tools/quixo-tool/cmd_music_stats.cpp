// quixo-tool stats, "music": the soundtrack's length and where its sections start, measured by
// rendering the module the demo plays (read, as the demo reads it, from the working directory).
#include <string>
#include <vector>

#include "commands.h"
#include "json_out.h"
#include "platform/module_decoder.h"
#include "platform/music.h"
#include "platform/music_analysis.h"

namespace quixo::tool {

Json MusicStats() {
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!ReadFileBytes(kMusicPath, &bytes, &error)) {
        FailInput(std::string("cannot open the music file \"") + kMusicPath + "\": " + error);
    }
    ModuleTimeline timeline;
    if (!MeasureModule(bytes, kMusicRate, &timeline, &error)) {
        FailInput(std::string("cannot play the music file \"") + kMusicPath + "\": " + error);
    }
    Json boundaries = Json::array();
    for (std::int64_t start : timeline.sectionStartFrames) {
        boundaries.push_back(NearestShowFrame(start, timeline.sampleRate));
    }
    return Json{{"seconds", JsonFloat(static_cast<float>(static_cast<double>(timeline.totalFrames) /
                                                         timeline.sampleRate))},
                {"sampleRate", timeline.sampleRate},
                {"boundaries", boundaries}};
}

}  // namespace quixo::tool
