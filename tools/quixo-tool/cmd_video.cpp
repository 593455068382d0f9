// quixo-tool video --out FILE.mp4 [--size WxH] [--from F] [--to F]
// The show as a film: frames replayed headless at exactly 60 per second and piped raw to the
// ffmpeg executable, which encodes them (H.264, yuv420p) with the soundtrack (AAC).
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "commands.h"
#include "headless_show.h"
#include "json_out.h"
#include "platform/files.h"
#include "progress.h"
#include "render/renderer.h"
#include "tool_files.h"

namespace quixo::tool {

namespace {

struct VideoOptions {
    std::string out;
    std::string size = "1920x1080";
    std::int64_t from = 0;
    std::int64_t to = kEndFrame - 1;
};

// The audio of [firstFrame, firstFrame + frames) as raw interleaved float in the temporary
// file, zeros where the song has ended.
void WriteAudioSlice(OfflineSpectrum& music, std::int64_t firstFrame, std::int64_t frames,
                     const std::string& path) {
    FILE* file = OpenFile(path, "wb");
    if (file == nullptr) throw ToolError{1, "cannot write " + path + ": " + std::strerror(errno)};
    const std::vector<float>& song = music.samples();
    const std::int64_t songFrames = music.frames();
    std::vector<float> block(2 * 4096);
    bool ok = true;
    for (std::int64_t done = 0; done < frames && ok;) {
        const auto n = static_cast<int>(std::min<std::int64_t>(4096, frames - done));
        for (int i = 0; i < n; ++i) {
            const std::int64_t f = firstFrame + done + i;
            const bool inSong = f >= 0 && f < songFrames;
            block[2 * i] = inSong ? song[static_cast<std::size_t>(f) * 2] : 0.0f;
            block[2 * i + 1] = inSong ? song[static_cast<std::size_t>(f) * 2 + 1] : 0.0f;
        }
        ok = std::fwrite(block.data(), sizeof(float) * 2, n, file) == static_cast<std::size_t>(n);
        done += n;
    }
    if (std::fclose(file) != 0 || !ok)
        throw ToolError{1, "cannot write " + path + ": " + std::strerror(errno)};
}

}  // namespace

CommandRunner SetupVideo(CLI::App& sub) {
    auto o = std::make_shared<VideoOptions>();
    sub.add_option("--out", o->out, "the MP4 file to write")->required();
    sub.add_option("--size", o->size, "frame size WxH (default 1920x1080)");
    sub.add_option("--from", o->from, "the first frame of the show (default 0)")
        ->check(ShowFrameRange());
    sub.add_option("--to", o->to, "the last frame of the show (default 8199)")
        ->check(ShowFrameRange());
    return [o] {
        if (o->to < o->from) FailInput("--to must not come before --from");
        const FrameSize size = ParseFrameSize(o->size);
        if (size.width % 2 != 0 || size.height % 2 != 0)
            FailInput("--size must have even sides: yuv420p halves both");
        // The film goes to a temporary file beside the target (ffmpeg chooses the container by
        // the extension) and is renamed onto it once ffmpeg has finished it; it and the audio
        // go on failure and on SIGINT or SIGTERM, leaving any earlier film in place.
        TemporaryFile film(o->out, PathToUtf8(PathFromUtf8(o->out).extension()));
        TemporaryFile audio(o->out, ".f32");
        const std::string ffmpeg = FindProgram("ffmpeg");
        if (ffmpeg.empty()) {
            std::fprintf(stderr,
                         "quixo-tool: video needs the ffmpeg executable, and there is none on "
                         "PATH (install it with: apt-get install ffmpeg)\n");
            return 1;
        }

        auto show = std::make_unique<HeadlessShow>();
        StartShowMusic(*show, true);  // a missing soundtrack fails before the device starts
        StartHeadlessShow(*show, size, true, false);

        // The film runs at exactly 60 frames per second while the show's frames last 16.66 ms:
        // each film frame shows the show frame a 60 Hz display would, so picture and sound stay
        // together over the whole length (about one show frame in 2500 is left out).
        const std::int32_t startMs = FramePositionMs(static_cast<std::int32_t>(o->from));
        // Whole film frames that start before the show frame after `to` does (its 16.66 ms
        // steps counted in 1/100 ms).
        const std::int64_t filmFrames =
            ((o->to + 1) * 1666 - static_cast<std::int64_t>(startMs) * 100) * 60 / 100000;
        const int rate = show->music->rate();
        const std::int64_t firstAudio = static_cast<std::int64_t>(startMs) * rate / 1000;
        WriteAudioSlice(*show->music, firstAudio, filmFrames * rate / 60, audio.path());

        const std::string command =
            QuoteForShell(ffmpeg) +
            " -hide_banner -loglevel error -y -f rawvideo -pix_fmt rgba -s " +
            std::to_string(size.width) + "x" + std::to_string(size.height) +
            " -framerate 60 -i - -f f32le -ar " + std::to_string(rate) + " -ac 2 -i " +
            QuoteForShell(audio.path()) +
            " -map 0:v -map 1:a -c:v libx264 -pix_fmt yuv420p -c:a aac -b:a 192k "
            "-movflags +faststart " +
            QuoteForShell(film.path());
        IgnoreBrokenPipes();  // a failed encoder shows as a failed write
        FILE* pipe = OpenPipeForWriting(command);
        if (pipe == nullptr) throw ToolError{1, "cannot start " + ffmpeg};
        bool written = true;
        std::int32_t shown = -1;
        ProgressLine progress("video", filmFrames);
        std::vector<std::uint8_t> picture;
        for (std::int64_t i = 0; i < filmFrames && written; ++i) {
            // The show frame at the film frame's exact time startMs + i × 1000 / 60 ms, one show
            // frame per 16.66 ms. Rounding that time to whole milliseconds first would make
            // neighbours of the frame boundaries repeat and skip frames.
            const auto frame = static_cast<std::int32_t>(
                (60 * static_cast<std::int64_t>(startMs) + 1000 * i) * 100 / (60 * 1666));
            if (frame != shown) {
                PlayUpTo(*show, frame);
                picture = ShownFrame(*show);
                shown = frame;
            }
            written = std::fwrite(picture.data(), 1, picture.size(), pipe) == picture.size();
            progress.Update(i + 1, frame);
        }
        progress.Finish();
        const int status = ClosePipe(pipe);
        if (!written || status != 0) throw ToolError{1, "ffmpeg failed to write " + o->out};
        film.Commit();
        PrintJson({{"out", o->out},
                   {"frames", filmFrames},
                   {"seconds", filmFrames / 60.0},
                   {"width", size.width},
                   {"height", size.height},
                   {"glErrors", ShowGlErrors(*show)}});
        return 0;
    };
}

}  // namespace quixo::tool
