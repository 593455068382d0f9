#include "authoring/offline_spectrum.h"

#include <algorithm>
#include <cstdint>

#include "platform/module_decoder.h"

namespace quixo {

std::unique_ptr<OfflineSpectrum> OfflineSpectrum::Decode(const std::vector<std::uint8_t>& bytes,
                                                         int rate, std::string* error) {
    std::unique_ptr<ModuleDecoder> decoder = ModuleDecoder::Open(bytes, error);
    if (!decoder) return nullptr;
    std::unique_ptr<OfflineSpectrum> source(new OfflineSpectrum());
    source->rate_ = rate;
    // Reserve the song's length up front; the decoder's own count decides where it ends.
    source->samples_.reserve(
        static_cast<std::size_t>(std::max(0.0, decoder->DurationSeconds()) * rate + rate) * 2);
    source->decoder_ = std::move(decoder);
    return source;
}

void OfflineSpectrum::DecodeThrough(std::int64_t frame) {
    constexpr int kBlock = 4096;
    float block[2 * kBlock];
    while (decoder_ && static_cast<std::int64_t>(samples_.size() / 2) < frame) {
        const int made = decoder_->Render(block, kBlock, rate_);
        if (made <= 0) {
            decoder_.reset();
            break;
        }
        samples_.insert(samples_.end(), block, block + 2 * made);
    }
}

std::int64_t OfflineSpectrum::frames() {
    DecodeThrough(INT64_MAX);
    return static_cast<std::int64_t>(samples_.size() / 2);
}

const std::vector<float>& OfflineSpectrum::samples() {
    DecodeThrough(INT64_MAX);
    return samples_;
}

void OfflineSpectrum::GetSpectrum(float* out, int count, int channelOffset) {
    if (!IsSpectrumSize(count)) {
        std::fill(out, out + std::max(0, count), 0.0f);
        return;
    }
    const int channel = channelOffset == 1 ? 1 : 0;
    const std::int64_t first = now_ - 2 * count;
    DecodeThrough(now_);
    const auto total = static_cast<std::int64_t>(samples_.size() / 2);
    for (int i = 0; i < 2 * count; ++i) {
        const std::int64_t f = first + i;
        scratch_[i] =
            f >= 0 && f < total ? samples_[static_cast<std::size_t>(f) * 2 + channel] : 0.0f;
    }
    analyzer_.Compute(scratch_, count, out);
}

}  // namespace quixo
