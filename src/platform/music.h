#pragma once
// The music: a tracker module played once through the sound card, whose position is the show's
// clock and whose mixed output feeds the spectrum. The calls mirror a sound library's: create the
// system, init it, create the sound from a file, play it, update, ask whether it plays, where it
// is, and for the spectrum.
//
// Output goes through SDL2 audio (stereo float) and is decoded in the audio callback. Without an
// audio device the music plays silently: a thread of our own runs the same decoder at real-time
// pace, so position, end and spectrum behave as with sound.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/module_decoder.h"
#include "platform/playback_clock.h"
#include "platform/sample_history.h"
#include "platform/spectrum.h"
#include "platform/spectrum_analyzer.h"

namespace quixo {

constexpr const char* kMusicPath = "media_tessorin2012/music/music.xm";
constexpr int kMusicRate = 48000;

enum class MusicOutput {
    Device,  // SDL2 audio; falls back to Silent when there is no device
    Silent,  // no sound, real-time pace from the monotonic clock
    Manual,  // no thread at all: the caller plays the device by calling FeedDevice (tests)
};

struct MusicConfig {
    MusicOutput output = MusicOutput::Device;
    int blockFrames = 1024;  // frames per device request
    MonotonicClock clock = SteadyClockNs;
    int manualLatencyFrames = 0;  // frames the pretend device keeps queued (Manual only)
};

class MusicSystem final : public SpectrumSource {
public:
    explicit MusicSystem(const MusicConfig& config = {});
    ~MusicSystem() override;
    MusicSystem(const MusicSystem&) = delete;
    MusicSystem& operator=(const MusicSystem&) = delete;

    // Opens the output. With no audio device it warns once on stderr and plays silently.
    void Init();

    // Loads the module. On failure it shows a message naming the file and returns false.
    bool CreateSound(const std::string& path);
    bool CreateSoundFromMemory(const std::vector<std::uint8_t>& bytes, const std::string& name);

    // Starts the sound from its beginning, or from fromMs into it (the authoring preview
    // starts part-way); false when no sound was created or it already plays.
    bool PlaySound(std::int32_t fromMs = 0);

    // Playback needs no driving from the main thread; kept for the order of the calls.
    void Update() {}

    bool IsPlaying() const;
    std::int32_t PositionMs() const;
    std::int64_t PositionFrames() const;

    // The spectrum of the most recent mixed samples.
    void GetSpectrum(float* out, int count, int channelOffset) override;

    // The device callback: fills `frames` interleaved stereo frames. Called by the audio thread,
    // or by the caller in Manual output.
    void FeedDevice(float* out, int frames);

    MusicOutput output() const { return output_; }
    int rate() const { return kMusicRate; }
    int latencyFrames() const { return latencyFrames_; }
    std::int64_t FramesHanded() const;

    // Time spent inside FeedDevice, for the audio thread's share of a CPU.
    std::int64_t AudioBusyNs() const { return busyNs_.load(); }

private:
    void OpenDevice();
    void RunSilent();
    void Shutdown();

    MusicConfig config_;
    MusicOutput output_;
    int latencyFrames_ = 0;
    std::uint32_t device_ = 0;
    bool sdlAudio_ = false;
    std::thread silentThread_;
    std::atomic<bool> stop_{false};

    std::unique_ptr<ModuleDecoder> decoder_;
    std::unique_ptr<PlaybackClock> clock_;
    std::atomic<bool> playing_{false};  // set by PlaySound, read by the audio thread
    std::int64_t decoded_ = 0;          // audio thread only
    bool decoderDone_ = false;          // audio thread only
    std::atomic<std::int64_t> busyNs_{0};

    SampleHistory history_;
    SpectrumAnalyzer analyzer_;
    float scratch_[2 * kMaxSpectrumSize] = {};
};

}  // namespace quixo
