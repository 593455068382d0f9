#pragma once
// The music's spectrum for tools that replay the show without a sound card: the module is
// decoded into memory as far as it is asked for (a single early frame needs only its start),
// and the spectrum at a moment is computed from the 2·S samples ending there, with the
// analyser live playback uses, so a capture shows what playback shows.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/module_decoder.h"
#include "platform/spectrum.h"
#include "platform/spectrum_analyzer.h"

namespace quixo {

class OfflineSpectrum final : public SpectrumSource {
public:
    // nullptr (and *error) when the bytes are not a playable module.
    static std::unique_ptr<OfflineSpectrum> Decode(const std::vector<std::uint8_t>& bytes, int rate,
                                                   std::string* error);

    // The moment the spectrum describes: the audio frame just after the last one heard.
    void SetAudioFrame(std::int64_t frame) { now_ = frame; }
    void SetPositionMs(std::int32_t ms) { now_ = static_cast<std::int64_t>(ms) * rate_ / 1000; }

    // Samples before the start and past the end of the song read 0.
    void GetSpectrum(float* out, int count, int channelOffset) override;

    int rate() const { return rate_; }
    // The song's length in frames, and the whole song as interleaved stereo float: both decode
    // it to its end first.
    std::int64_t frames();
    const std::vector<float>& samples();

private:
    OfflineSpectrum() = default;
    // Decodes on until the samples cover frames [0, frame) or the song has ended.
    void DecodeThrough(std::int64_t frame);

    std::unique_ptr<ModuleDecoder> decoder_;  // null once the song has ended
    int rate_ = 0;
    std::int64_t now_ = 0;
    std::vector<float> samples_;
    SpectrumAnalyzer analyzer_;
    float scratch_[2 * kMaxSpectrumSize] = {};
};

}  // namespace quixo
