#include "headless_show.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "graph/graph.h"
#include "graph/scene_data.h"
#include "json_out.h"
#include "memory/arena.h"
#include "platform/module_decoder.h"
#include "platform/music.h"
#include "render/renderer.h"
#include "startup/show_frame.h"

namespace quixo::tool {

FrameSize ParseFrameSize(const std::string& text) {
    int w = 0, h = 0;
    char x = 0, rest = 0;
    if (std::sscanf(text.c_str(), "%d%c%d%c", &w, &x, &h, &rest) != 3 || x != 'x' || w < 1 ||
        h < 1 || w > 8192 || h > 8192) {
        FailInput("--size must be WxH with both sides 1..8192, not \"" + text + "\"");
    }
    return {w, h};
}

void CheckShowFrame(std::int64_t frame, const char* what) {
    if (frame < 0 || frame >= kEndFrame)
        FailInput(std::string(what) + " must be a frame of the show, 0.." +
                  std::to_string(kEndFrame - 1));
}

void StartHeadlessShow(HeadlessShow& show, FrameSize size, bool fxaa, bool timerQueries,
                       bool debugOutput) {
    SetupArenas();
    InitGraphCore();
    ResetShowState();
    std::string error;
    if (!gfx::StartHeadless(show.graphics, static_cast<std::uint32_t>(size.width),
                            static_cast<std::uint32_t>(size.height), error, debugOutput)) {
        std::fprintf(stderr, "quixo-tool: no headless graphics device: %s\n", error.c_str());
        std::exit(1);
    }
    show.durations = TimelineDurations();
    show.rd = &Device();
    show.rd->width = size.width;
    show.rd->height = size.height;
    show.times = StartContent(*show.rd, show.graphics.device, show.graphics.context,
                              show.graphics.swapChain, ContentOptions{false, fxaa, timerQueries});
}

HeadlessShow::~HeadlessShow() {
    if (music) SetSpectrumSource(nullptr);
}

void StartShowMusic(HeadlessShow& show, bool required) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (ReadFileBytes(kMusicPath, &bytes, &error))
        show.music = OfflineSpectrum::Decode(bytes, kMusicRate, &error);
    if (!show.music) {
        const std::string message =
            std::string("cannot play the music file \"") + kMusicPath + "\": " + error;
        if (required) FailInput(message);
        std::fprintf(stderr, "quixo-tool: %s; the spectrum reads zeros\n", message.c_str());
        return;
    }
    SetSpectrumSource(show.music.get());
}

std::int32_t FramePositionMs(std::int32_t frame) {
    // The smallest position whose clock reads this frame: ceil(frame × 16.66 ms).
    return static_cast<std::int32_t>((static_cast<std::int64_t>(frame) * 1666 + 99) / 100);
}

ClockReading FrameClock(std::int32_t frame) {
    return FrameClock(frame, TimelineDurations().data());
}

ClockReading FrameClock(std::int32_t frame, const std::int32_t durations[kSceneCount]) {
    return ReadClock(FramePositionMs(frame), durations);
}

ClockReading PlayNextFrame(HeadlessShow& show, bool draw) {
    if (show.music) show.music->SetPositionMs(FramePositionMs(show.nextFrame));
    const ClockReading clock = FrameClock(show.nextFrame++, show.durations.data());
    RunShowFrame(*show.rd, clock, draw ? FrameOutput::Draw : FrameOutput::Skip);
    return clock;
}

ClockReading PlayNextFrameTimed(HeadlessShow& show, double& evalMs) {
    if (show.music) show.music->SetPositionMs(FramePositionMs(show.nextFrame));
    const ClockReading clock = FrameClock(show.nextFrame++, show.durations.data());
    const auto start = std::chrono::steady_clock::now();
    EvaluateShowFrame(*show.rd, clock);
    evalMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    RenderFrame(*show.rd);
    return clock;
}

ClockReading PlayUpTo(HeadlessShow& show, std::int32_t frame) {
    ClockReading clock = FrameClock(frame, show.durations.data());
    while (show.nextFrame <= frame) clock = PlayNextFrame(show, show.nextFrame >= frame - 1);
    return clock;
}

std::vector<std::uint8_t> ShownFrame(HeadlessShow& show) {
    std::vector<std::uint8_t> rgba = ReadBackBuffer(*show.rd);
    for (std::size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
    return rgba;
}

std::uint64_t ShowGlErrors(HeadlessShow& show) {
    return gfx::GlErrorCount(show.graphics.device);
}

}  // namespace quixo::tool
