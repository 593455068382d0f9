// quixo-tool video refuses what it cannot do before any work: no encoder, a backward range, a
// host that would render its pieces from another build.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
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

TEST(VideoTool, AHostWithAnotherBuildStopsTheRunByName) {
    // GNU parallel runs `build-info` on every host of the sshlogin file; this machine (":")
    // answers as the tool itself, the fake host's "ssh" as a tool built elsewhere would.
    const auto dir = tool_test::TempDir();
    const auto fake = dir / "other-build-ssh";
    std::ofstream(fake) << "#!/bin/sh\necho '{\"commit\":\"0123abcd\",\"data\":\"0\"}'\n";
    std::filesystem::permissions(fake, std::filesystem::perms::owner_all);
    std::ofstream(dir / "hosts") << ":\n# a machine with another build\n"
                                 << fake.string() << " elsewhere\n";
    const auto film = dir / "hosts-film.mp4";
    const tool_test::ToolRun run = RunTool("video --to 2 --size 64x36 --hosts " +
                                           (dir / "hosts").string() + " --out " + film.string());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(
        run.err.find("host " + fake.string() + " elsewhere has another build (commit 0123abcd"),
        std::string::npos)
        << run.err;
    EXPECT_FALSE(std::filesystem::exists(film));
}

}  // namespace
}  // namespace quixo
