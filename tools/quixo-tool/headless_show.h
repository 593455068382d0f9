#pragma once
// What render, contact-sheet and profile share: the show's start-up on the headless device, and
// frames replayed as if the show played at exactly 60 frames per second from frame 0.
#include <CLI/CLI.hpp>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "authoring/offline_spectrum.h"
#include "core/render_device.h"
#include "core/timeline.h"
#include "graph/graph_types.h"
#include "render/gfx/headless.h"
#include "startup/runtime.h"

namespace quixo::tool {

struct FrameSize {
    int width;
    int height;
};

// The longest side a frame may have.
constexpr int kMaxFrameSide = 8192;

// "WxH" with both sides 1..kMaxFrameSide; anything else fails the command as malformed input.
FrameSize ParseFrameSize(const std::string& text);

// Passes a frame number of the show, 0..8199, when the command line is parsed.
CLI::Validator ShowFrameRange();

struct HeadlessShow {
    gfx::HeadlessContext gl;
    Runtime runtime;
    RenderDevice* rd = nullptr;
    std::int32_t nextFrame = 0;                         // the first frame not yet played
    std::array<std::int32_t, kSceneCount> durations{};  // the timeline the frames are read on
    // The soundtrack decoded offline, installed as the spectrum source; null without one.
    std::unique_ptr<OfflineSpectrum> music;
    // The runtime shut down, then the GL context.
    ~HeadlessShow();
};

// The runtime on a headless GL context, with a back buffer of the given size and without vsync.
// A context that cannot be had ends the command with exit status 1. Synchronous GL debug output
// is on unless the caller times frames as the demo runs them.
void StartHeadlessShow(HeadlessShow& show, FrameSize size, bool fxaa, bool timerQueries,
                       bool debugOutput = true);

// Decodes the soundtrack from the working directory and installs it as the spectrum source, so
// each replayed frame sees the spectrum playback would show at its time. Without the file the
// command warns and the spectrum reads zeros, unless `required`, when it fails the command
// (exit 1 when the file cannot be read, 2 when it does not decode).
void StartShowMusic(HeadlessShow& show, bool required);

// The soundtrack decoded as StartShowMusic decodes it, for a caller without a show (null where
// StartShowMusic would only warn).
std::unique_ptr<OfflineSpectrum> DecodeShowMusic(bool required);

// The music position (ms) at which the show's clock first reads global frame `frame`.
std::int32_t FramePositionMs(std::int32_t frame);

// The clock of global frame `frame` when the show runs at exactly 60 frames per second.
ClockReading FrameClock(std::int32_t frame);

// The same over other scene durations (scenes compiled from sources).
ClockReading FrameClock(std::int32_t frame, const std::int32_t durations[kSceneCount]);

// Plays the next frame: clock stored, graph evaluated, then drawn and presented, or only its
// CPU-side rendering effects applied.
ClockReading PlayNextFrame(HeadlessShow& show, bool draw);

// Plays and draws the next frame as PlayNextFrame does; evalMs gets its graph evaluation's time.
ClockReading PlayNextFrameTimed(HeadlessShow& show, double& evalMs);

// Plays every frame up to `frame`, drawing only `frame - 1` and `frame` (effects that lag one
// frame then see what playback would show). Frames already played are not played again.
ClockReading PlayUpTo(HeadlessShow& show, std::int32_t frame);

// The back buffer as the window would show it: RGBA8, rows top first, alpha 255 (a window
// ignores the back buffer's alpha, so a picture of it must too).
std::vector<std::uint8_t> ShownFrame(HeadlessShow& show);

// GL errors seen so far.
std::uint64_t ShowGlErrors(HeadlessShow& show);

}  // namespace quixo::tool
