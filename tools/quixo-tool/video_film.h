#pragma once
// What the film made in one process and the film made in pieces share: its options, which show
// frame each film frame shows, the soundtrack slice, the encoder's settings, and the loop that
// renders film frames into an encoder's pipe.
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "headless_show.h"

namespace quixo::tool {

struct VideoOptions {
    std::string out;
    std::string size = "1920x1080";
    std::int64_t from = 0;
    std::int64_t to = kEndFrame - 1;
    std::string codec = "h264";
    int supersample = 1;
    // In pieces: at once on each machine, the machines (GNU parallel's sshlogin file), the piece
    // length in film frames, the folder the pieces' work folder goes in.
    int jobs = 0;
    std::string hosts;
    std::int64_t pieceFrames = 600;
    std::string work;
    std::int64_t piece = -1;  // the one piece this process renders (what each job runs)
};

// The film's frames over show frames from..to.
struct FilmRange {
    std::int32_t from;
    std::int32_t to;
    std::int32_t startMs;  // the music position of the film's first frame
    std::int64_t frames;   // film frames
};
FilmRange MakeFilmRange(std::int64_t from, std::int64_t to);

// The show frame that film frame i shows.
std::int32_t FilmShowFrame(const FilmRange& range, std::int64_t i);

// The film frame's start in whole microseconds, rounded to the nearest: where a piece starting
// there is placed when the pieces are joined.
std::int64_t FilmFrameMicroseconds(std::int64_t i);

// ffmpeg's settings for one codec of the film.
struct FilmCodec {
    const char* name;
    const char* video;      // codec and pixel format
    const char* audio;      // the soundtrack's codec
    const char* extension;  // the container the output must have, or nullptr for any
    bool evenSides;         // chroma halved in both directions
};
const FilmCodec& FindFilmCodec(const std::string& name);

// The options as given, checked: even sides where the codec needs them, a container the codec
// fits, a supersampled size the device can render. The rendered size is size × supersample.
FrameSize CheckVideoOptions(const VideoOptions& o);

// The whole film's sound as raw interleaved float at the music's rate in `path`, zeros where
// the song has ended; returns ffmpeg's input arguments for it.
std::string WriteFilmAudio(OfflineSpectrum& music, const FilmRange& range, const std::string& path);

// ffmpeg's input arguments for raw frames of this size on its standard input.
std::string RawFramesInput(FrameSize size);

// Decodes the soundtrack (required) and starts the show at the rendered size.
void StartFilmShow(HeadlessShow& show, FrameSize size, int supersample);

// Renders film frames first..first + count - 1 and writes them raw (RGBA, at `size`, each
// rendered at size × supersample and box-filtered down) into `pipe`; `frameDone` hears how many
// are done and the show frame of the last. False when a write failed (the encoder stopped).
using FilmFrameDone = std::function<void(std::int64_t done, std::int32_t showFrame)>;
bool PipeFilmFrames(HeadlessShow& show, const FilmRange& range, std::int64_t first,
                    std::int64_t count, FrameSize size, int supersample, FILE* pipe,
                    const FilmFrameDone& frameDone);

}  // namespace quixo::tool
