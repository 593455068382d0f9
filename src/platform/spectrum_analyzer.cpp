#include "platform/spectrum_analyzer.h"

#include <kiss_fftr.h>

#include <algorithm>
#include <cmath>

namespace quixo {

namespace {

int PlanIndex(int count) {
    switch (count) {
        case 64:
            return 0;
        case 128:
            return 1;
        case 256:
            return 2;
        case 512:
            return 3;
        default:
            return -1;
    }
}

}  // namespace

bool IsSpectrumSize(int count) {
    return PlanIndex(count) >= 0;
}

SpectrumAnalyzer::SpectrumAnalyzer()
    : windowed_(2 * kMaxSpectrumSize), bins_(2 * (kMaxSpectrumSize + 1)) {
    for (int i = 0; i < 4; ++i) {
        const int n = 128 << i;
        plans_[i].fft = kiss_fftr_alloc(n, 0, nullptr, nullptr);
        plans_[i].window.resize(n);
        const double pi = 3.14159265358979323846;
        for (int j = 0; j < n; ++j) {
            const double x = static_cast<double>(j) / (n - 1);
            plans_[i].window[j] =
                static_cast<float>(0.42 - 0.5 * std::cos(2 * pi * x) + 0.08 * std::cos(4 * pi * x));
        }
    }
}

SpectrumAnalyzer::~SpectrumAnalyzer() {
    for (Plan& p : plans_) kiss_fftr_free(p.fft);
}

void SpectrumAnalyzer::Compute(const float* samples, int count, float* out) {
    const Plan& plan = plans_[PlanIndex(count)];
    const int n = 2 * count;
    for (int i = 0; i < n; ++i) windowed_[i] = samples[i] * plan.window[i];
    auto* bins = reinterpret_cast<kiss_fft_cpx*>(bins_.data());
    kiss_fftr(plan.fft, windowed_.data(), bins);
    const float scale = 2.5f / static_cast<float>(n);
    for (int k = 0; k < count - 1; ++k) {
        out[k] = std::min(1.0f, std::sqrt(bins[k].r * bins[k].r + bins[k].i * bins[k].i) * scale);
    }
    out[count - 1] = 0.0f;
}

}  // namespace quixo
