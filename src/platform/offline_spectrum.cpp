#include "platform/offline_spectrum.h"

#include <algorithm>

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
    constexpr int kBlock = 4096;
    float block[2 * kBlock];
    for (;;) {
        const int made = decoder->Render(block, kBlock, rate);
        if (made <= 0) break;
        source->samples_.insert(source->samples_.end(), block, block + 2 * made);
    }
    return source;
}

void OfflineSpectrum::GetSpectrum(float* out, int count, int channelOffset) {
    if (!IsSpectrumSize(count)) {
        std::fill(out, out + std::max(0, count), 0.0f);
        return;
    }
    const int channel = channelOffset == 1 ? 1 : 0;
    const std::int64_t first = now_ - 2 * count;
    const std::int64_t total = frames();
    for (int i = 0; i < 2 * count; ++i) {
        const std::int64_t f = first + i;
        scratch_[i] =
            f >= 0 && f < total ? samples_[static_cast<std::size_t>(f) * 2 + channel] : 0.0f;
    }
    analyzer_.Compute(scratch_, count, out);
}

}  // namespace quixo
