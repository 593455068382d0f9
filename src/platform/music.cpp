#include "platform/music.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/message_box.h"
#include "platform/music_analysis.h"

namespace quixo {

namespace {

void AudioCallback(void* user, Uint8* stream, int bytes) {
    static_cast<MusicSystem*>(user)->FeedDevice(reinterpret_cast<float*>(stream),
                                                bytes / static_cast<int>(2 * sizeof(float)));
}

// Frames a driver still holds when it asks for the next block. The dummy and disk drivers
// consume a block the moment they ask for the next one; real drivers keep about one more
// period queued.
int DriverLatencyFrames(const char* driver, int blockFrames) {
    if (driver != nullptr &&
        (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "disk") == 0))
        return 0;
    return blockFrames;
}

}  // namespace

MusicSystem::MusicSystem(const MusicConfig& config) : config_(config), output_(config.output) {}

MusicSystem::~MusicSystem() {
    Shutdown();
}

void MusicSystem::Shutdown() {
    if (device_ != 0) {
        SDL_CloseAudioDevice(device_);  // waits for a callback in progress
        device_ = 0;
    }
    if (sdlAudio_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        sdlAudio_ = false;
    }
    stop_ = true;
    if (silentThread_.joinable()) silentThread_.join();
}

void MusicSystem::Init() {
    if (output_ == MusicOutput::Device) OpenDevice();
    if (output_ == MusicOutput::Manual) latencyFrames_ = config_.manualLatencyFrames;
    clock_ = std::make_unique<PlaybackClock>(kMusicRate, latencyFrames_, config_.clock);
}

void MusicSystem::OpenDevice() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "quixo: no audio device (%s); the music plays silently\n",
                     SDL_GetError());
        output_ = MusicOutput::Silent;
        return;
    }
    sdlAudio_ = true;
    SDL_AudioSpec want{};
    want.freq = kMusicRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = static_cast<Uint16>(config_.blockFrames);
    want.callback = AudioCallback;
    want.userdata = this;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts to whatever the hardware takes, so the decoder always
    // runs at kMusicRate, where the soundtrack's ticks are whole samples.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) {
        std::fprintf(stderr, "quixo: no audio device (%s); the music plays silently\n",
                     SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        sdlAudio_ = false;
        output_ = MusicOutput::Silent;
        return;
    }
    latencyFrames_ = DriverLatencyFrames(SDL_GetCurrentAudioDriver(), have.samples);
}

bool MusicSystem::CreateSound(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!ReadFileBytes(path, &bytes, &error)) {
        ShowMessageBox("cannot open the music file \"" + path + "\": " + error, "Quixo");
        return false;
    }
    return CreateSoundFromMemory(bytes, path);
}

bool MusicSystem::CreateSoundFromMemory(const std::vector<std::uint8_t>& bytes,
                                        const std::string& name) {
    std::string error;
    std::unique_ptr<ModuleDecoder> decoder;
    if (!LooksLikeXm(bytes) || CheckXmStructure(bytes, &error)) {
        decoder = ModuleDecoder::Open(bytes, &error);
    }
    if (!decoder) {
        ShowMessageBox("cannot play the music file \"" + name + "\": " + error, "Quixo");
        return false;
    }
    if (device_ != 0) SDL_LockAudioDevice(device_);
    decoder_ = std::move(decoder);
    if (device_ != 0) SDL_UnlockAudioDevice(device_);
    return true;
}

bool MusicSystem::PlaySound(std::int32_t fromMs) {
    if (!decoder_ || !clock_ || playing_) return false;
    if (fromMs > 0) {
        // The audio thread does not touch the decoder until playing_ is set below.
        decoded_ = decoder_->SeekFrame(std::int64_t{fromMs} * kMusicRate / 1000, kMusicRate);
        clock_->StartAt(decoded_);
    }
    playing_ = true;
    if (device_ != 0) {
        SDL_PauseAudioDevice(device_, 0);
    } else if (output_ == MusicOutput::Silent) {
        silentThread_ = std::thread([this] { RunSilent(); });
    }
    return true;
}

void MusicSystem::RunSilent() {
    // Deadlines from one start so the pace does not drift with the time each block takes.
    std::vector<float> block(2 * config_.blockFrames);
    const auto start = std::chrono::steady_clock::now();
    const std::chrono::nanoseconds period(std::int64_t{config_.blockFrames} * 1000000000 /
                                          kMusicRate);
    for (std::int64_t i = 0; !stop_; ++i) {
        std::this_thread::sleep_until(start + i * period);
        FeedDevice(block.data(), config_.blockFrames);
    }
}

void MusicSystem::FeedDevice(float* out, int frames) {
    const std::int64_t t0 = SteadyClockNs();
    const bool playing = playing_;
    // The request time is when the device starts on the previous block.
    if (playing) clock_->OnDeviceRequest(frames);
    int made = 0;
    if (playing && !decoderDone_) {
        made = decoder_->Render(out, frames, kMusicRate);
        decoded_ += made;
        if (made < frames) {
            decoderDone_ = true;
            clock_->OnEnd(decoded_);
        }
    }
    std::fill(out + 2 * made, out + 2 * frames, 0.0f);
    if (playing) history_.Push(out, frames);
    busyNs_ += SteadyClockNs() - t0;
}

bool MusicSystem::IsPlaying() const {
    return playing_ && !clock_->Finished();
}

std::int64_t MusicSystem::PositionFrames() const {
    return clock_ ? clock_->PositionFrames() : 0;
}

std::int32_t MusicSystem::PositionMs() const {
    return clock_ ? clock_->PositionMs() : 0;
}

std::int64_t MusicSystem::FramesHanded() const {
    return clock_ ? clock_->FramesHanded() : 0;
}

void MusicSystem::GetSpectrum(float* out, int count, int channelOffset) {
    if (!IsSpectrumSize(count)) {
        std::fill(out, out + std::max(0, count), 0.0f);
        return;
    }
    history_.CopyChannel(channelOffset == 1 ? 1 : 0, 2 * count, scratch_);
    analyzer_.Compute(scratch_, count, out);
}

}  // namespace quixo
