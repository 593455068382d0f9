#pragma once
// A tracker module decoded by libopenmpt, set to play once: no repeats, and playback stops at the
// song's end instead of libopenmpt's default fade-out past it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace openmpt {
class module;
}

namespace quixo {

class ModuleDecoder {
public:
    ~ModuleDecoder();

    // nullptr when the bytes are not a module libopenmpt can read; *error says why.
    static std::unique_ptr<ModuleDecoder> Open(const std::vector<std::uint8_t>& bytes,
                                               std::string* error);

    // Renders up to `frames` interleaved stereo float frames; fewer (down to 0) at the end.
    int Render(float* interleaved, int frames, int rate);

    // Moves the decoder to audio frame `frame` at `rate`; returns the frame it is at, which is
    // `frame` unless the music ends before it.
    std::int64_t SeekFrame(std::int64_t frame, int rate);

    // Where the decoder stands: order index, the pattern there, the row, and the speed (ticks a
    // row) and tempo in force.
    int CurrentOrder() const;
    int CurrentPattern() const;
    int CurrentRow() const;
    int CurrentSpeed() const;
    int CurrentTempo() const;

    double DurationSeconds() const;

private:
    explicit ModuleDecoder(std::unique_ptr<openmpt::module> module);
    std::unique_ptr<openmpt::module> module_;
};

// The whole of a regular file of at most maxBytes; false with *error set (the reason, without
// the path) when it cannot be read, is no regular file (a directory, a FIFO) or is larger.
constexpr std::uint64_t kMaxReadFileBytes = 1ull << 30;
bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* error,
                   std::uint64_t maxBytes = kMaxReadFileBytes);

}  // namespace quixo
