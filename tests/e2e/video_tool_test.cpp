// quixo-tool video end to end: a few frames at a small size through the real encoder, in one
// process and in pieces through GNU parallel (both installed by scripts/setup).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "e2e/x_session.h"

namespace quixo::e2e {
namespace {

namespace fs = std::filesystem;

const std::string kScratch = "/tmp/quixo-video-" + std::to_string(getpid());

// The tool from the source folder, where it reads the soundtrack, as the demo does.
CommandResult Tool(const std::string& args) {
    return RunCommand("cd " + std::string(QUIXO_SOURCE_DIR) + " && " + QUIXO_TOOL + " video " +
                          args + " 2>/dev/null",
                      300);
}

// What ffprobe says of the film's streams, or its decoded frames with their times (framemd5).
std::string Probe(const std::string& film, const std::string& what) {
    const CommandResult r = RunCommand(
        what == "frames"
            ? "ffmpeg -v error -i " + film + " -fps_mode passthrough -f framemd5 -"
            : "ffprobe -v error -count_frames -show_entries " + what + " -of csv=p=0 " + film,
        60);
    EXPECT_EQ(r.status, 0) << r.output;
    return r.output;
}

class VideoTool : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(kScratch); }
    void TearDown() override { fs::remove_all(kScratch); }
};

TEST_F(VideoTool, EncodesAShortRangeWithSound) {
    const std::string one = kScratch + "/one.mp4";
    const std::string pieces = kScratch + "/pieces.mp4";
    const CommandResult r = Tool("--size 64x36 --from 530 --to 549 --out " + one);
    ASSERT_EQ(r.status, 0) << r.output;
    const auto json = nlohmann::json::parse(r.output);
    // Show frames 530..549 span 8830..9163 ms: 19 whole frames of a 60 Hz film.
    EXPECT_EQ(json["frames"], 19);
    EXPECT_EQ(json["glErrors"], 0);
    const std::string streams = Probe(one, "stream=codec_name,width,height,pix_fmt");
    EXPECT_NE(streams.find("h264,64,36,yuv420p"), std::string::npos) << streams;
    EXPECT_NE(streams.find("aac"), std::string::npos) << streams;

    // The same range in three pieces, joined: the same frames at the same times (x264's
    // pictures differ where its groups of pictures start anew), and the same sound.
    const CommandResult p = Tool(
        "--size 64x36 --from 530 --to 549 --jobs 2 --piece-frames 7 "
        "--out " +
        pieces);
    ASSERT_EQ(p.status, 0) << p.output;
    EXPECT_EQ(nlohmann::json::parse(p.output)["pieces"], 3);
    const std::string timing = "stream=codec_name,nb_read_frames,start_time,duration";
    EXPECT_EQ(Probe(pieces, timing), Probe(one, timing));
    const std::string times = "packet=stream_index,pts";
    std::string a = Probe(one, times);
    std::string b = Probe(pieces, times);
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    EXPECT_EQ(a, b);
}

TEST_F(VideoTool, PiecesJoinToTheFramesOfOneProcessAndResume) {
    const std::string one = kScratch + "/one.mkv";
    const std::string film = kScratch + "/film.mkv";
    const std::string range = "--size 64x36 --from 530 --to 549 --codec ffv1 ";
    ASSERT_EQ(Tool(range + "--out " + one).status, 0);
    // Pieces of 9, 9 and 1 film frames, on this machine as the only host.
    const std::string hosts = kScratch + "/hosts";
    ASSERT_EQ(RunCommand("echo : >" + hosts).status, 0);
    const std::string pieces = range + "--hosts " + hosts + " --piece-frames 9 --out " + film;

    // A run stopped once its first piece is done leaves no film and no piece half written.
    const CommandResult stopped =
        RunCommand("cd " + std::string(QUIXO_SOURCE_DIR) + " && { " + QUIXO_TOOL + " video " +
                       pieces + " 2>/dev/null & } && until [ -f " + kScratch +
                       "/.film.mkv.pieces-*/piece-0.mov ]; "
                       "do sleep 0.05; done && kill $! && wait $!",
                   120);
    EXPECT_NE(stopped.status, 0);
    EXPECT_FALSE(fs::exists(film));
    const CommandResult work = RunCommand("ls -a " + kScratch + "/.film.mkv.pieces-*");
    EXPECT_EQ(work.output.find(".piece-"), std::string::npos) << work.output;

    // Started again, with the last piece made to fail (its file's name taken by a folder): the
    // missing pieces are tried, the last three times, and the run names it and its log.
    ASSERT_EQ(RunCommand("cd " + kScratch + "/.film.mkv.pieces-* && mkdir piece-2.mov").status, 0);
    const CommandResult failed =
        RunCommand("cd " + std::string(QUIXO_SOURCE_DIR) + " && " + QUIXO_TOOL + " video " +
                       pieces + " 2>&1 >/dev/null",
                   300);
    EXPECT_EQ(failed.status, 1) << failed.output;
    EXPECT_NE(failed.output.find("piece 2 (film frames 18..18, show frames 548..548) failed 3 "
                                 "times; its log: " +
                                 kScratch + "/.film.mkv.pieces-"),
              std::string::npos)
        << failed.output;
    EXPECT_FALSE(fs::exists(film));

    // Once it can be written, only that piece is rendered, and the film decodes to the frames
    // and sound of the one-process film, at the same times.
    ASSERT_EQ(RunCommand("cd " + kScratch + "/.film.mkv.pieces-* && rmdir piece-2.mov").status, 0);
    const CommandResult r = Tool(pieces);
    ASSERT_EQ(r.status, 0) << r.output;
    const auto json = nlohmann::json::parse(r.output);
    EXPECT_EQ(json["pieces"], 3);
    EXPECT_EQ(json["piecesRendered"], 1);
    EXPECT_EQ(Probe(film, "frames"), Probe(one, "frames"));
    // The pieces go once the film is whole.
    EXPECT_NE(RunCommand("ls -d " + kScratch + "/.film.mkv.pieces-*").status, 0);
}

TEST_F(VideoTool, SupersamplingFiltersTwiceTheSizeDown) {
    // Show frame 540 rendered at 128x72, and as the first film frame at 64x36 supersampled:
    // each film pixel is the rounded mean of its 2x2 block (ffv1 keeps them exactly).
    const std::string png = kScratch + "/big.png";
    const std::string film = kScratch + "/small.mkv";
    ASSERT_EQ(RunCommand("cd " + std::string(QUIXO_SOURCE_DIR) + " && " + QUIXO_TOOL +
                             " render --frame 540 --size 128x72 --out " + png + " >/dev/null",
                         120)
                  .status,
              0);
    ASSERT_EQ(
        Tool("--size 64x36 --from 540 --to 541 --codec ffv1 --supersample 2 --out " + film).status,
        0);
    const auto rgba = [](const std::string& input) {
        const CommandResult r = RunCommand(
            "ffmpeg -v error -i " + input + " -frames:v 1 -f rawvideo -pix_fmt rgba -", 60);
        return std::vector<unsigned char>(r.output.begin(), r.output.end());
    };
    const std::vector<unsigned char> big = rgba(png);
    const std::vector<unsigned char> small = rgba(film);
    ASSERT_EQ(big.size(), 128u * 72 * 4);
    ASSERT_EQ(small.size(), 64u * 36 * 4);
    int wrong = 0;
    for (int y = 0; y < 36; ++y) {
        for (int x = 0; x < 64; ++x) {
            for (int c = 0; c < 3; ++c) {
                const auto at = [&](int dx, int dy) {
                    return big[((2 * y + dy) * 128 + 2 * x + dx) * 4 + c];
                };
                const int mean = (at(0, 0) + at(1, 0) + at(0, 1) + at(1, 1) + 2) / 4;
                wrong += small[(y * 64 + x) * 4 + c] != mean;
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace quixo::e2e
