// quixo-tool video --out FILE [--size WxH] [--from F] [--to F] [--codec h264|ffv1]
//                  [--supersample K] [--jobs N] [--hosts FILE] [--piece-frames N] [--work DIR]
// The show as a film: frames replayed headless at exactly 60 per second and piped raw to the
// ffmpeg executable, which encodes them with the soundtrack. With --jobs or --hosts the film is
// rendered in pieces through GNU parallel and joined (video_pieces.h).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "commands.h"
#include "json_out.h"
#include "platform/files.h"
#include "progress.h"
#include "tool_files.h"
#include "video_film.h"
#include "video_pieces.h"

namespace quixo::tool {

namespace {

std::string FfmpegOrNothing() {
    const std::string ffmpeg = FindProgram("ffmpeg");
    if (ffmpeg.empty()) {
        std::fprintf(stderr,
                     "quixo-tool: video needs the ffmpeg executable, and there is none on PATH "
                     "(install it with: apt-get install ffmpeg)\n");
    }
    return ffmpeg;
}

// The whole film in this process: frames and soundtrack into one ffmpeg.
int RenderFilm(const VideoOptions& o, FrameSize size) {
    // The film goes to a temporary file beside the target (ffmpeg chooses the container by
    // the extension) and is renamed onto it once ffmpeg has finished it; it and the audio
    // go on failure and on SIGINT or SIGTERM, leaving any earlier film in place.
    TemporaryFile film(o.out, PathToUtf8(PathFromUtf8(o.out).extension()));
    TemporaryFile audio(o.out, ".f32");
    const std::string ffmpeg = FfmpegOrNothing();
    if (ffmpeg.empty()) return 1;

    auto show = std::make_unique<HeadlessShow>();
    StartFilmShow(*show, size, o.supersample);
    const FilmRange range = MakeFilmRange(o.from, o.to);
    const FilmCodec& codec = FindFilmCodec(o.codec);
    const std::string command =
        QuoteForShell(ffmpeg) + " -hide_banner -loglevel error -y" + RawFramesInput(size) +
        WriteFilmAudio(*show->music, range, audio.path()) + " -map 0:v -map 1:a " + codec.video +
        " " + codec.audio + " -movflags +faststart " + QuoteForShell(film.path());
    IgnoreBrokenPipes();  // a failed encoder shows as a failed write
    FILE* pipe = OpenPipeForWriting(command);
    if (pipe == nullptr) throw ToolError{1, "cannot start " + ffmpeg};
    ProgressLine progress("video", range.frames);
    const bool written = PipeFilmFrames(
        *show, range, 0, range.frames, size, o.supersample, pipe,
        [&](std::int64_t done, std::int32_t frame) { progress.Update(done, frame); });
    progress.Finish();
    const int status = ClosePipe(pipe);
    if (!written || status != 0) throw ToolError{1, "ffmpeg failed to write " + o.out};
    film.Commit();
    PrintJson({{"out", o.out},
               {"frames", range.frames},
               {"seconds", range.frames / 60.0},
               {"width", size.width},
               {"height", size.height},
               {"glErrors", ShowGlErrors(*show)}});
    return 0;
}

// One piece of a film in pieces, as each GNU parallel job runs it: its film frames, picture
// only, into --out. Instead of a JSON
// object it prints lines for the run that started it: "piece K frames N" as frames are done,
// then "piece K done E" with the GL errors seen.
int RenderPiece(const VideoOptions& o, FrameSize size) {
    const FilmRange range = MakeFilmRange(o.from, o.to);
    const std::int64_t first = o.piece * o.pieceFrames;
    if (first >= range.frames) FailInput("--piece lies past the film's last frame");
    const std::int64_t count = std::min(o.pieceFrames, range.frames - first);
    TemporaryFile piece(o.out, PathToUtf8(PathFromUtf8(o.out).extension()));
    const std::string ffmpeg = FfmpegOrNothing();
    if (ffmpeg.empty()) return 1;
    std::printf("piece %lld frames 0\n", static_cast<long long>(o.piece));
    std::fflush(stdout);

    auto show = std::make_unique<HeadlessShow>();
    StartFilmShow(*show, size, o.supersample);
    const std::string command = QuoteForShell(ffmpeg) + " -hide_banner -loglevel error -y" +
                                RawFramesInput(size) + " -map 0:v " + FindFilmCodec(o.codec).video +
                                " -f mov " + QuoteForShell(piece.path());
    IgnoreBrokenPipes();
    FILE* pipe = OpenPipeForWriting(command);
    if (pipe == nullptr) throw ToolError{1, "cannot start " + ffmpeg};
    auto lastShown = std::chrono::steady_clock::now();
    const bool written = PipeFilmFrames(
        *show, range, first, count, size, o.supersample, pipe, [&](std::int64_t done, int) {
            const auto now = std::chrono::steady_clock::now();
            if (done < count && now - lastShown < std::chrono::milliseconds(500)) return;
            lastShown = now;
            std::printf("piece %lld frames %lld\n", static_cast<long long>(o.piece),
                        static_cast<long long>(done));
            std::fflush(stdout);
        });
    const int status = ClosePipe(pipe);
    if (!written || status != 0) throw ToolError{1, "ffmpeg failed to write " + o.out};
    piece.Commit();
    std::printf("piece %lld done %llu\n", static_cast<long long>(o.piece),
                static_cast<unsigned long long>(ShowGlErrors(*show)));
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

CommandRunner SetupVideo(CLI::App& sub) {
    auto o = std::make_shared<VideoOptions>();
    sub.add_option("--out", o->out, "the film to write (MP4, or MKV for ffv1)")->required();
    sub.add_option("--size", o->size, "frame size WxH (default 1920x1080; 3840x2160 for 4K)");
    sub.add_option("--from", o->from, "the first frame of the show (default 0)")
        ->check(ShowFrameRange());
    sub.add_option("--to", o->to, "the last frame of the show (default 8199)")
        ->check(ShowFrameRange());
    sub.add_option("--codec", o->codec,
                   "h264 (default: yuv420p with AAC sound) or ffv1 (lossless RGB with FLAC "
                   "sound, in MKV)")
        ->check(CLI::IsMember({"h264", "ffv1"}));
    sub.add_option("--supersample", o->supersample,
                   "render each frame at K times the size and filter it down (default 1)")
        ->check(CLI::Range(1, 4));
    sub.add_option("--jobs", o->jobs,
                   "render the film in pieces through GNU parallel, N at once on this machine (on "
                   "each host with --hosts); a run started again renders only missing pieces")
        ->check(CLI::Range(1, 256));
    sub.add_option("--hosts", o->hosts,
                   "GNU parallel's sshlogin file: render the pieces on these machines, each with "
                   "this build at this path (\":\" is this machine)")
        ->check(ReadableFile());
    CLI::Option* pieceFrames =
        sub.add_option("--piece-frames", o->pieceFrames,
                       "film frames in each piece (default 600, ten seconds)")
            ->check(CLI::Range(std::int64_t{1}, std::int64_t{1} << 20));
    sub.add_option("--work", o->work,
                   "the folder for the pieces' work folder (default: the film's folder); the "
                   "same path must be writable on every host");
    sub.add_option("--piece", o->piece, "render only this piece (what each job runs)")
        ->group("")
        ->check(CLI::Range(std::int64_t{0}, std::int64_t{1} << 30));
    return [o, pieceFrames] {
        const FrameSize size = CheckVideoOptions(*o);
        if (o->piece >= 0) return RenderPiece(*o, size);
        if (o->jobs > 0 || !o->hosts.empty()) return RenderFilmInPieces(*o, size);
        if (!o->work.empty() || pieceFrames->count() > 0)
            FailInput("--piece-frames and --work belong to a film in pieces (--jobs or --hosts)");
        return RenderFilm(*o, size);
    };
}

}  // namespace quixo::tool
