// quixo-tool video end to end: a few frames at a small size through the real encoder. Skipped
// where ffmpeg is not installed (the tool then refuses, which the unit tests check).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>

#include "e2e/x_session.h"

namespace quixo::e2e {
namespace {

TEST(VideoTool, EncodesAShortRangeWithSound) {
    if (RunCommand("command -v ffmpeg >/dev/null && command -v ffprobe >/dev/null").status != 0)
        GTEST_SKIP() << "ffmpeg is not installed";
    const std::string out = "/tmp/quixo-video-" + std::to_string(getpid()) + ".mp4";
    // The tool reads the soundtrack from the working directory, as the demo does.
    const CommandResult r =
        RunCommand("cd " + std::string(QUIXO_SOURCE_DIR) + " && " + QUIXO_TOOL +
                       " video --size 64x36 --from 530 --to 549 --out " + out + " 2>/dev/null",
                   300);
    ASSERT_EQ(r.status, 0) << r.output;
    const auto json = nlohmann::json::parse(r.output);
    // Show frames 530..549 span 8830..9163 ms: 19 whole frames of a 60 Hz film.
    EXPECT_EQ(json["frames"], 19);
    EXPECT_EQ(json["glErrors"], 0);
    const CommandResult probe = RunCommand(
        "ffprobe -v error -show_entries stream=codec_name,width,height,pix_fmt -of csv=p=0 " + out);
    std::remove(out.c_str());
    ASSERT_EQ(probe.status, 0);
    EXPECT_NE(probe.output.find("h264,64,36,yuv420p"), std::string::npos) << probe.output;
    EXPECT_NE(probe.output.find("aac"), std::string::npos) << probe.output;
}

}  // namespace
}  // namespace quixo::e2e
