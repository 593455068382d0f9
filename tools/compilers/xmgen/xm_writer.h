#pragma once
// The extended-module (XM) file format, as much of it as the soundtrack uses: one sample per
// instrument, 16-bit samples, volume envelopes, packed patterns.
#include <cstdint>
#include <string>
#include <vector>

namespace quixo::xmgen {

constexpr std::uint8_t kNoteOff = 97;
constexpr std::uint8_t kEffectSpeed = 0x0F;         // Fxx: below 0x20 ticks per row, else BPM
constexpr std::uint8_t kEffectGlobalVolume = 0x10;  // Gxx
constexpr std::uint8_t kEffectGlobalSlide = 0x11;   // Hxy
constexpr std::uint8_t kEffectVolumeSlide = 0x0A;   // Axy

// XM note number (1 = C-0, 49 = C-4, 58 = A-4).
constexpr std::uint8_t Note(int octave, int semitone) {
    return static_cast<std::uint8_t>(1 + octave * 12 + semitone);
}

struct XmCell {
    std::uint8_t note = 0;        // 0 none, 1..96, kNoteOff
    std::uint8_t instrument = 0;  // 1-based, 0 none
    std::uint8_t volume = 0;      // raw volume-column byte: 0x10 + v sets volume v (0..64)
    std::uint8_t effect = 0;
    std::uint8_t param = 0;
};

struct XmPattern {
    int rows = 0;
    int channels = 0;
    std::vector<XmCell> cells;  // row-major

    XmPattern() = default;
    XmPattern(int rowCount, int channelCount)
        : rows(rowCount), channels(channelCount), cells(rowCount * channelCount) {}
    XmCell& At(int row, int channel) { return cells[row * channels + channel]; }
    const XmCell& At(int row, int channel) const { return cells[row * channels + channel]; }
};

struct XmEnvelopePoint {
    std::uint16_t tick;
    std::uint16_t value;  // 0..64
};

struct XmEnvelope {
    std::vector<XmEnvelopePoint> points;  // empty: envelope off
    int sustain = -1;                     // point index, -1 none
};

struct XmSample {
    std::vector<std::int16_t> data;
    std::uint32_t loopStart = 0;  // in sample frames; loopLength 0 means no loop
    std::uint32_t loopLength = 0;
    std::uint8_t volume = 64;
    std::int8_t finetune = 0;
    std::uint8_t panning = 128;
    std::int8_t relativeNote = 0;
};

struct XmInstrument {
    std::string name;
    XmSample sample;
    XmEnvelope volumeEnvelope;
    std::uint16_t fadeout = 0;
    std::uint8_t vibratoDepth = 0;
    std::uint8_t vibratoRate = 0;
    std::uint8_t vibratoSweep = 0;
};

struct XmModule {
    std::string name;
    int channels = 0;
    int speed = 6;
    int bpm = 125;
    std::vector<std::uint8_t> orders;
    std::vector<XmPattern> patterns;
    std::vector<XmInstrument> instruments;
};

// The module as an XM file (linear frequency table).
std::vector<std::uint8_t> WriteXm(const XmModule& module);

}  // namespace quixo::xmgen
