#include "platform/spectrum.h"

#include <algorithm>

namespace quixo {

namespace {
SpectrumSource* g_source = nullptr;
}

void SetSpectrumSource(SpectrumSource* source) {
    g_source = source;
}

void GetSpectrum(float* out, int count, int channelOffset) {
    if (g_source == nullptr) {
        std::fill(out, out + count, 0.0f);
        return;
    }
    g_source->GetSpectrum(out, count, channelOffset);
}

}  // namespace quixo
