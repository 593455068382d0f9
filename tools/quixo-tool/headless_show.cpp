#include "headless_show.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "graph/graph.h"
#include "graph/scene_data.h"
#include "json_out.h"
#include "platform/module_decoder.h"
#include "platform/music.h"
#include "render/renderer.h"
#include "startup/show_frame.h"

namespace quixo::tool {

namespace {

// A side of "WxH": decimal digits only, read without wrapping, 1..kMaxFrameSide.
bool ParseSide(std::string_view text, int& side) {
    if (text.empty() || text.size() > 4) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), side);
    return ec == std::errc{} && end == text.data() + text.size() && side >= 1 &&
           side <= kMaxFrameSide;
}

}  // namespace

FrameSize ParseFrameSize(const std::string& text) {
    const std::size_t x = text.find('x');
    FrameSize size{0, 0};
    if (x == std::string::npos || !ParseSide(std::string_view(text).substr(0, x), size.width) ||
        !ParseSide(std::string_view(text).substr(x + 1), size.height)) {
        FailInput("--size must be WxH with both sides 1.." + std::to_string(kMaxFrameSide) +
                  ", not \"" + text + "\"");
    }
    return size;
}

CLI::Validator ShowFrameRange() {
    return CLI::Range(std::int64_t{0}, std::int64_t{kEndFrame - 1});
}

void StartHeadlessShow(HeadlessShow& show, FrameSize size, bool fxaa, bool timerQueries,
                       bool debugOutput) {
    std::string error;
    if (!gfx::StartHeadlessContext(show.gl, error, debugOutput)) {
        std::fprintf(stderr, "quixo-tool: no headless graphics device: %s\n", error.c_str());
        std::exit(1);
    }
    show.durations = TimelineDurations();
    RuntimeOptions options;
    options.width = size.width;
    options.height = size.height;
    options.debugOutput = debugOutput;
    options.antiAlias = fxaa;
    options.timerQueries = timerQueries;
    StartRuntime(show.runtime, options);
    show.rd = show.runtime.rd;
}

HeadlessShow::~HeadlessShow() {
    if (music) SetSpectrumSource(nullptr);
    ShutdownRuntime(runtime);
    gfx::StopHeadlessContext(gl);
}

std::unique_ptr<OfflineSpectrum> DecodeShowMusic(bool required) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    std::unique_ptr<OfflineSpectrum> music;
    const bool read = ReadFileBytes(kMusicPath, &bytes, &error);
    if (read) music = OfflineSpectrum::Decode(bytes, kMusicRate, &error);
    if (!music) {
        const std::string message =
            std::string("cannot play the music file \"") + kMusicPath + "\": " + error;
        // A file that cannot be read is an I/O failure; one that does not decode, bad input.
        if (required) throw ToolError{read ? 2 : 1, message};
        std::fprintf(stderr, "quixo-tool: %s; the spectrum reads zeros\n", message.c_str());
    }
    return music;
}

void StartShowMusic(HeadlessShow& show, bool required) {
    show.music = DecodeShowMusic(required);
    if (show.music) SetSpectrumSource(show.music.get());
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
    return gfx::GlErrorCount(show.runtime.device);
}

}  // namespace quixo::tool
