// quixo-tool video refuses what it cannot do before any work: no encoder, a backward range.
#include <gtest/gtest.h>

#include <string>

#include "tool/tool_run.h"

namespace quixo {
namespace {

using tool_test::RunTool;

TEST(VideoTool, WithoutFfmpegFailsWithAClearMessage) {
    // With PATH emptied the tool finds no encoder, whatever this machine has installed.
    const tool_test::ToolRun run = RunTool("video --out /tmp/quixo-unit-video.mp4 --to 2", "PATH=");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.status, -1);
    EXPECT_NE(run.err.find("ffmpeg"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("apt-get install ffmpeg"), std::string::npos) << run.err;
    // A range that runs backwards is malformed input.
    EXPECT_EQ(RunTool("video --out /tmp/quixo-unit-video.mp4 --from 5 --to 2").status, 2);
}

}  // namespace
}  // namespace quixo
