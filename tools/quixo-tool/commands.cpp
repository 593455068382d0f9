#include "commands.h"

namespace quixo::tool {

CommandRunner SetupBuildInfo(CLI::App& sub);
CommandRunner SetupClock(CLI::App& sub);
CommandRunner SetupContactSheet(CLI::App& sub);
CommandRunner SetupEval(CLI::App& sub);
CommandRunner SetupMesh(CLI::App& sub);
CommandRunner SetupPreview(CLI::App& sub);
CommandRunner SetupProfile(CLI::App& sub);
CommandRunner SetupRender(CLI::App& sub);
CommandRunner SetupShaders(CLI::App& sub);
CommandRunner SetupStats(CLI::App& sub);
CommandRunner SetupText(CLI::App& sub);
CommandRunner SetupVideo(CLI::App& sub);
Json SceneStats();
Json TypeStats();
Json TrackStats();
Json TextureStats();
Json MeshStats();
Json StatsWords();
Json ShaderSourceStats();
Json MusicStats();

const ToolCommand kToolCommands[] = {
    {"clock", "the clock reading of a music position", SetupClock},
    {"eval", "evaluate one graph slot for K frames and print what it produced", SetupEval},
    {"stats", "the embedded data at a glance", SetupStats},
    {"mesh", "run mesh programs and print the quad meshes they build", SetupMesh},
    {"text", "the 3D text meshes: counts and bounds", SetupText},
    {"shaders", "compile every entry of the embedded shader library", SetupShaders},
    {"render", "render one frame of the show headless into a PNG file", SetupRender},
    {"contact-sheet", "thumbnails of the whole show at a glance, in one PNG file",
     SetupContactSheet},
    {"preview",
     "play the show in a window, reloading scene sources as they change; Tab shows the "
     "track editor",
     SetupPreview},
    {"profile", "start-up step times and frame times of the show, headless", SetupProfile},
    {"video", "the show as a film with its soundtrack, through ffmpeg (and GNU parallel)",
     SetupVideo},
    {"build-info", "the commit this tool was built from and a checksum of its data",
     SetupBuildInfo},
};
const int kToolCommandCount = sizeof kToolCommands / sizeof kToolCommands[0];

// The keys of `stats`, in output order.
const StatsSection kStatsSections[] = {
    {"scenes", SceneStats},
    {"types", TypeStats},
    {"tracks", TrackStats},
    {"textures", TextureStats},
    {"meshes", MeshStats},
    {"words", StatsWords},
    {"shaderSourceBytes", ShaderSourceStats},
    {"music", MusicStats},
};
const int kStatsSectionCount = sizeof kStatsSections / sizeof kStatsSections[0];

}  // namespace quixo::tool
