#include "video_film.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "json_out.h"
#include "platform/files.h"

namespace quixo::tool {

namespace {

// H.264 in yuv420p plays everywhere; FFV1 keeps every pixel of RGB, for a master that decodes
// to exactly the frames rendered.
const FilmCodec kFilmCodecs[] = {
    {"h264", "-c:v libx264 -pix_fmt yuv420p", "-c:a aac -b:a 192k", nullptr, true},
    {"ffv1", "-c:v ffv1 -pix_fmt bgr0", "-c:a flac", ".mkv", false},
};

// The mean of each supersample × supersample block: the film's pixel from the rendered ones.
std::vector<std::uint8_t> BoxFilterDown(const std::vector<std::uint8_t>& big, FrameSize size,
                                        int supersample) {
    if (supersample == 1) return big;
    const int bigWidth = size.width * supersample;
    const int area = supersample * supersample;
    std::vector<std::uint8_t> small(static_cast<std::size_t>(size.width) * size.height * 4);
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
            for (int c = 0; c < 4; ++c) {
                int sum = 0;
                for (int dy = 0; dy < supersample; ++dy) {
                    const std::size_t row =
                        static_cast<std::size_t>(y * supersample + dy) * bigWidth;
                    for (int dx = 0; dx < supersample; ++dx)
                        sum += big[(row + x * supersample + dx) * 4 + c];
                }
                small[(static_cast<std::size_t>(y) * size.width + x) * 4 + c] =
                    static_cast<std::uint8_t>((sum + area / 2) / area);
            }
        }
    }
    return small;
}

}  // namespace

FilmRange MakeFilmRange(std::int64_t from, std::int64_t to) {
    FilmRange range{static_cast<std::int32_t>(from), static_cast<std::int32_t>(to), 0, 0};
    // The film runs at exactly 60 frames per second while the show's frames last 16.66 ms:
    // each film frame shows the show frame a 60 Hz display would, so picture and sound stay
    // together over the whole length (about one show frame in 2500 is left out).
    range.startMs = FramePositionMs(range.from);
    // Whole film frames that start before the show frame after `to` does (its 16.66 ms steps
    // counted in 1/100 ms).
    range.frames = ((to + 1) * 1666 - static_cast<std::int64_t>(range.startMs) * 100) * 60 / 100000;
    return range;
}

std::int32_t FilmShowFrame(const FilmRange& range, std::int64_t i) {
    // The show frame at the film frame's exact time startMs + i × 1000 / 60 ms, one show frame
    // per 16.66 ms. Rounding that time to whole milliseconds first would make neighbours of the
    // frame boundaries repeat and skip frames.
    return static_cast<std::int32_t>((60 * static_cast<std::int64_t>(range.startMs) + 1000 * i) *
                                     100 / (60 * 1666));
}

std::int64_t FilmFrameMicroseconds(std::int64_t i) {
    return (i * 1000000 + 30) / 60;
}

const FilmCodec& FindFilmCodec(const std::string& name) {
    for (const FilmCodec& codec : kFilmCodecs) {
        if (name == codec.name) return codec;
    }
    FailInput("--codec must be h264 or ffv1, not \"" + name + "\"");
}

FrameSize CheckVideoOptions(const VideoOptions& o) {
    if (o.to < o.from) FailInput("--to must not come before --from");
    const FrameSize size = ParseFrameSize(o.size);
    const FilmCodec& codec = FindFilmCodec(o.codec);
    if (codec.evenSides && (size.width % 2 != 0 || size.height % 2 != 0))
        FailInput("--size must have even sides: yuv420p halves both");
    // A piece is always a MOV file of pictures; the container is the film's.
    if (o.piece < 0 && codec.extension != nullptr &&
        std::filesystem::path(o.out).extension() != codec.extension)
        FailInput(std::string("--codec ") + codec.name + " writes " + codec.extension +
                  " files: --out must end in " + codec.extension);
    if (size.width * o.supersample > kMaxFrameSide || size.height * o.supersample > kMaxFrameSide)
        FailInput("--size times --supersample must stay within " + std::to_string(kMaxFrameSide) +
                  " on each side");
    return size;
}

std::string WriteFilmAudio(OfflineSpectrum& music, const FilmRange& range,
                           const std::string& path) {
    const int rate = music.rate();
    const std::int64_t first = static_cast<std::int64_t>(range.startMs) * rate / 1000;
    const std::int64_t frames = range.frames * rate / 60;
    FILE* file = OpenFile(path, "wb");
    if (file == nullptr) throw ToolError{1, "cannot write " + path + ": " + std::strerror(errno)};
    const std::vector<float>& song = music.samples();
    const std::int64_t songFrames = music.frames();
    std::vector<float> block(2 * 4096);
    bool ok = true;
    for (std::int64_t done = 0; done < frames && ok;) {
        const auto n = static_cast<int>(std::min<std::int64_t>(4096, frames - done));
        for (int i = 0; i < n; ++i) {
            const std::int64_t f = first + done + i;
            const bool inSong = f >= 0 && f < songFrames;
            block[2 * i] = inSong ? song[static_cast<std::size_t>(f) * 2] : 0.0f;
            block[2 * i + 1] = inSong ? song[static_cast<std::size_t>(f) * 2 + 1] : 0.0f;
        }
        ok = std::fwrite(block.data(), sizeof(float) * 2, n, file) == static_cast<std::size_t>(n);
        done += n;
    }
    if (std::fclose(file) != 0 || !ok)
        throw ToolError{1, "cannot write " + path + ": " + std::strerror(errno)};
    return " -f f32le -ar " + std::to_string(rate) + " -ac 2 -i " + QuoteForShell(path);
}

std::string RawFramesInput(FrameSize size) {
    return " -f rawvideo -pix_fmt rgba -s " + std::to_string(size.width) + "x" +
           std::to_string(size.height) + " -framerate 60 -i -";
}

void StartFilmShow(HeadlessShow& show, FrameSize size, int supersample) {
    StartShowMusic(show, true);  // a missing soundtrack fails before the device starts
    StartHeadlessShow(show, {size.width * supersample, size.height * supersample}, true, false);
}

bool PipeFilmFrames(HeadlessShow& show, const FilmRange& range, std::int64_t first,
                    std::int64_t count, FrameSize size, int supersample, FILE* pipe,
                    const FilmFrameDone& frameDone) {
    std::int32_t shown = -1;
    std::vector<std::uint8_t> picture;
    for (std::int64_t i = 0; i < count; ++i) {
        const std::int32_t frame = FilmShowFrame(range, first + i);
        if (frame != shown) {
            // The first frame replays the show from frame 0 (drawing only the last two, for
            // the effects that lag a frame), so a piece shows exactly what the same frames
            // show in a film rendered by one process.
            PlayUpTo(show, frame);
            picture = BoxFilterDown(ShownFrame(show), size, supersample);
            shown = frame;
        }
        if (std::fwrite(picture.data(), 1, picture.size(), pipe) != picture.size()) return false;
        frameDone(i + 1, frame);
    }
    return true;
}

}  // namespace quixo::tool
