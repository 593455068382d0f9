#include "synth.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>

namespace quixo::xmgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

double NoteHz(int xmNote) {
    return 440.0 * std::pow(2.0, (xmNote - 58) / 12.0);
}

double RateFor(int q) {
    return 8363.0 * std::pow(2.0, q / 12.0);
}

// xorshift32: the same noise on every machine.
struct Noise {
    std::uint32_t state;
    double Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<double>(state) / 2147483648.0 - 1.0;
    }
};

struct OnePole {
    double y = 0;
    double LowPass(double x, double cutoff, double rate) {
        const double a = 1.0 - std::exp(-2.0 * kPi * cutoff / rate);
        y += a * (x - y);
        return y;
    }
    double HighPass(double x, double cutoff, double rate) { return x - LowPass(x, cutoff, rate); }
};

// Chamberlin state-variable filter, band-pass output.
struct BandPass {
    double low = 0, band = 0;
    double Run(double x, double cutoff, double rate, double q) {
        const double f = 2.0 * std::sin(kPi * std::min(cutoff, rate / 6.0) / rate);
        low += f * band;
        const double high = x - low - q * band;
        band += f * high;
        return band;
    }
};

double Saw(double phase) {
    return 2.0 * (phase - std::floor(phase)) - 1.0;
}

double Pulse(double phase, double width) {
    return phase - std::floor(phase) < width ? 1.0 : -1.0;
}

using Voice = std::function<double(double t, double rate)>;

std::vector<double> Render(double seconds, double rate, const Voice& voice) {
    std::vector<double> w(static_cast<std::size_t>(seconds * rate));
    for (std::size_t i = 0; i < w.size(); ++i) w[i] = voice(i / rate, rate);
    return w;
}

// Makes [loopStart, loopEnd) loop smoothly: the last `fade` samples before the end are blended
// into the samples that lead up to the loop start, then the sample is cut at loopEnd.
void CrossfadeLoop(std::vector<double>& w, std::size_t loopStart, std::size_t loopEnd,
                   std::size_t fade) {
    for (std::size_t i = 0; i < fade; ++i) {
        const double k = static_cast<double>(i) / fade;
        double& dst = w[loopEnd - fade + i];
        dst = dst * (1.0 - k) + w[loopStart - fade + i] * k;
    }
    w.resize(loopEnd);
}

// Scales to `peak` of full scale and converts to 16 bits.
XmSample ToSample(const std::vector<double>& w, double peak) {
    double maxAbs = 1e-9;
    for (double v : w) maxAbs = std::max(maxAbs, std::abs(v));
    XmSample s;
    s.data.resize(w.size());
    for (std::size_t i = 0; i < w.size(); ++i) {
        s.data[i] = static_cast<std::int16_t>(std::lround(w[i] / maxAbs * peak * 32767.0));
    }
    return s;
}

// An instrument whose sample, made at rate q, sounds at its own pitch on XM note baseNote.
XmInstrument Make(const char* name, int q, int baseNote, XmSample sample) {
    XmInstrument ins;
    ins.name = name;
    ins.sample = std::move(sample);
    ins.sample.relativeNote = static_cast<std::int8_t>(q + 49 - baseNote);
    return ins;
}

XmInstrument Looped(const char* name, int q, int baseNote, std::vector<double> w, double loopAt,
                    double fadeSeconds, double peak) {
    const double rate = RateFor(q);
    const std::size_t start = static_cast<std::size_t>(loopAt * rate);
    const std::size_t fade = static_cast<std::size_t>(fadeSeconds * rate);
    const std::size_t end = w.size();
    CrossfadeLoop(w, start, end, fade);
    XmSample s = ToSample(w, peak);
    s.loopStart = static_cast<std::uint32_t>(start);
    s.loopLength = static_cast<std::uint32_t>(end - start);
    return Make(name, q, baseNote, std::move(s));
}

constexpr int kC3 = 37, kC4 = 49, kC5 = 61;

XmInstrument Kick() {
    const int q = 29;
    Noise noise{0x1234567u};
    double phase = 0;
    auto w = Render(0.45, RateFor(q), [&](double t, double rate) {
        const double f = 48.0 + 120.0 * std::exp(-t / 0.03);
        phase += f / rate;
        const double click = t < 0.003 ? noise.Next() * (1.0 - t / 0.003) * 0.4 : 0.0;
        const double body = std::sin(2 * kPi * phase) * std::exp(-t / 0.28);
        return std::tanh(1.6 * body) + click;
    });
    return Make("kick", q, kC4, ToSample(w, 0.98));
}

XmInstrument Snare() {
    const int q = 29;
    Noise noise{0x2345671u};
    OnePole hp, lp;
    double phase = 0;
    auto w = Render(0.32, RateFor(q), [&](double t, double rate) {
        phase += (180.0 + 60.0 * std::exp(-t / 0.01)) / rate;
        const double tone = std::sin(2 * kPi * phase) * std::exp(-t / 0.05);
        const double n = lp.LowPass(hp.HighPass(noise.Next(), 900, rate), 9000, rate);
        return 0.7 * tone + 1.1 * n * std::exp(-t / 0.09);
    });
    return Make("snare", q, kC4, ToSample(w, 0.9));
}

XmInstrument Hat(const char* name, double decay, double seconds, std::uint32_t seed) {
    const int q = 29;
    Noise noise{seed};
    OnePole hp1, hp2;
    auto w = Render(seconds, RateFor(q), [&](double t, double rate) {
        const double n = hp2.HighPass(hp1.HighPass(noise.Next(), 6500, rate), 6500, rate);
        return n * std::exp(-t / decay);
    });
    return Make(name, q, kC4, ToSample(w, 0.7));
}

XmInstrument Crash() {
    const int q = 29;
    Noise noise{0x3456712u};
    OnePole hp;
    BandPass ring;
    auto w = Render(1.6, RateFor(q), [&](double t, double rate) {
        const double n = hp.HighPass(noise.Next(), 3500, rate);
        const double shimmer = ring.Run(n, 5200, rate, 0.3);
        return (n + 0.5 * shimmer) * std::exp(-t / 0.45) * std::min(1.0, t / 0.002);
    });
    return Make("crash", q, kC4, ToSample(w, 0.75));
}

XmInstrument Riser() {
    const int q = 24;
    Noise noise{0x4567123u};
    BandPass bp;
    double phase = 0;
    auto w = Render(1.0, RateFor(q), [&](double t, double rate) {
        const double cutoff = 400.0 * std::pow(20.0, t);
        const double n = bp.Run(noise.Next(), cutoff, rate, 0.5);
        phase += (220.0 * std::pow(4.0, t)) / rate;
        const double swell = t * t;
        return swell * (n * 1.5 + 0.25 * Saw(phase));
    });
    return Make("riser", q, kC4, ToSample(w, 0.8));
}

XmInstrument Bass() {
    const int q = 17;
    const double f = NoteHz(kC3);
    OnePole lp1, lp2;
    double phase = 0;
    auto w = Render(0.9, RateFor(q), [&](double, double rate) {
        phase += f / rate;
        const double raw = Saw(phase) * 0.8 + 0.9 * std::sin(2 * kPi * phase);
        return lp2.LowPass(lp1.LowPass(raw, 1100, rate), 1600, rate);
    });
    XmInstrument ins = Looped("bass", q, kC3, std::move(w), 0.35, 0.2, 0.95);
    ins.volumeEnvelope.points = {{0, 64}, {6, 54}, {40, 34}, {120, 18}};
    ins.volumeEnvelope.sustain = 3;
    ins.fadeout = 4000;
    return ins;
}

XmInstrument Pad() {
    const int q = 17;
    const double f = NoteHz(kC4);
    OnePole lp1, lp2;
    double p[4] = {0, 0.31, 0.57, 0.83};
    const double detune[4] = {-0.11, -0.035, 0.045, 0.12};  // semitones
    auto w = Render(2.2, RateFor(q), [&](double t, double rate) {
        double v = 0;
        for (int i = 0; i < 4; ++i) {
            p[i] += f * std::pow(2.0, detune[i] / 12.0) / rate;
            v += Saw(p[i]);
        }
        // A slow sweep of the cutoff keeps the loop from sounding static.
        const double cutoff = 1500.0 + 500.0 * std::sin(2 * kPi * t / 2.2);
        return lp2.LowPass(lp1.LowPass(v * 0.25, cutoff, rate), 3000, rate);
    });
    XmInstrument ins = Looped("pad", q, kC4, std::move(w), 0.7, 0.5, 0.8);
    ins.volumeEnvelope.points = {{0, 0}, {14, 48}, {40, 64}, {200, 52}};
    ins.volumeEnvelope.sustain = 3;
    ins.fadeout = 600;
    return ins;
}

XmInstrument Pluck() {
    const int q = 29;
    const double f = NoteHz(kC5);
    OnePole lp1, lp2;
    double phase = 0;
    auto w = Render(0.5, RateFor(q), [&](double t, double rate) {
        phase += f / rate;
        const double cutoff = 700.0 + 6000.0 * std::exp(-t / 0.06);
        const double raw = 0.6 * Pulse(phase, 0.3) + 0.4 * Saw(phase * 1.003);
        return lp2.LowPass(lp1.LowPass(raw, cutoff, rate), cutoff * 1.5, rate) *
               std::exp(-t / 0.16);
    });
    return Make("pluck", q, kC5, ToSample(w, 0.8));
}

XmInstrument Lead() {
    const int q = 29;
    const double f = NoteHz(kC5);
    OnePole lp;
    double p1 = 0, p2 = 0.4, p3 = 0.7;
    auto w = Render(1.0, RateFor(q), [&](double, double rate) {
        p1 += f * 1.004 / rate;
        p2 += f * 0.996 / rate;
        p3 += f / rate;
        const double raw = 0.4 * Saw(p1) + 0.4 * Saw(p2) + 0.25 * Pulse(p3, 0.25);
        return lp.LowPass(raw, 4200, rate);
    });
    XmInstrument ins = Looped("lead", q, kC5, std::move(w), 0.45, 0.3, 0.8);
    ins.volumeEnvelope.points = {{0, 20}, {2, 64}, {12, 50}, {60, 44}};
    ins.volumeEnvelope.sustain = 3;
    ins.fadeout = 1200;
    ins.vibratoDepth = 3;
    ins.vibratoRate = 10;
    ins.vibratoSweep = 40;
    return ins;
}

XmInstrument Bell() {
    const int q = 24;
    const double f = NoteHz(kC5);
    double pc = 0, pm = 0, ps = 0;
    auto w = Render(1.6, RateFor(q), [&](double t, double rate) {
        // A harmonic FM tone for the pitch, and a quickly fading inharmonic partial for the
        // strike.
        pm += f * 2.0 / rate;
        pc += f / rate;
        ps += f * 4.07 / rate;
        const double index = 0.3 + 1.2 * std::exp(-t / 0.2);
        const double tone = std::sin(2 * kPi * pc + index * std::sin(2 * kPi * pm));
        const double strike = 0.35 * std::sin(2 * kPi * ps) * std::exp(-t / 0.08);
        return (tone + strike) * std::exp(-t / 0.55) * std::min(1.0, t / 0.001);
    });
    return Make("bell", q, kC5, ToSample(w, 0.8));
}

}  // namespace

std::vector<XmInstrument> MakeInstruments() {
    std::vector<XmInstrument> all;
    all.push_back(Kick());
    all.push_back(Snare());
    all.push_back(Hat("closed hat", 0.018, 0.08, 0x5671234u));
    all.push_back(Hat("open hat", 0.12, 0.4, 0x6712345u));
    all.push_back(Crash());
    all.push_back(Bass());
    all.push_back(Pad());
    all.push_back(Pluck());
    all.push_back(Lead());
    all.push_back(Bell());
    all.push_back(Riser());
    return all;
}

}  // namespace quixo::xmgen
