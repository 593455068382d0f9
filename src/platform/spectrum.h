#pragma once
// Where the spectrum nodes get the music's frequency spectrum. The music layer installs a
// source while it plays; without one every request reads zeros.

namespace quixo {

class SpectrumSource {
public:
    virtual ~SpectrumSource() = default;
    // Fills out[0..count) (count 64, 128, 256 or 512) with linear amplitudes 0..1 of output
    // channel channelOffset (0 = left).
    virtual void GetSpectrum(float* out, int count, int channelOffset) = 0;
};

// Installs (or, with nullptr, removes) the program's source. Not owned.
void SetSpectrumSource(SpectrumSource* source);

// The current spectrum, or zeros when no source is installed.
void GetSpectrum(float* out, int count, int channelOffset);

}  // namespace quixo
