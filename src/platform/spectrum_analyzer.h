#pragma once
// Magnitude spectrum of one channel's recent samples: a Blackman window over 2·S samples, a real
// FFT, and |X[k]| / (2·S) × 2.5 clamped to 1, so a full-scale sine reads about 0.525.
#include <vector>

struct kiss_fftr_state;

namespace quixo {

constexpr int kMaxSpectrumSize = 512;

// True for the sizes the analyser supports: 64, 128, 256, 512.
bool IsSpectrumSize(int count);

class SpectrumAnalyzer {
public:
    SpectrumAnalyzer();
    ~SpectrumAnalyzer();
    SpectrumAnalyzer(const SpectrumAnalyzer&) = delete;
    SpectrumAnalyzer& operator=(const SpectrumAnalyzer&) = delete;

    // samples: 2·count values, oldest first. out: count values; entry count − 1 is 0.
    // count must satisfy IsSpectrumSize. Not thread-safe: one caller at a time.
    void Compute(const float* samples, int count, float* out);

private:
    struct Plan {
        kiss_fftr_state* fft = nullptr;
        std::vector<float> window;
    };
    Plan plans_[4];
    std::vector<float> windowed_;
    std::vector<float> bins_;  // kiss_fft_cpx pairs
};

}  // namespace quixo
