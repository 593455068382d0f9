#include "song.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "synth.h"

namespace quixo::xmgen {

const SectionPlan kSectionPlans[10] = {
    {"intro", 0, 72, 0x30},        {"flash", 540, 8, 0x40},      {"grid", 600, 80, 0x40},
    {"breakdown", 1200, 26, 0x38}, {"phrase A", 1395, 48, 0x40}, {"answer", 1745, 48, 0x40},
    {"groove", 2095, 240, 0x40},   {"peak", 3835, 192, 0x40},    {"calm", 5235, 192, 0x36},
    {"finale", 6632, 224, 0x40},
};

std::int64_t RowSamples(int bpm, int rate) {
    return 6 * (static_cast<std::int64_t>(rate) * 5 / (2 * bpm));
}

std::vector<int> PlanTempo(const SectionPlan* plans, int count, double endFrame) {
    std::vector<int> bpm;
    std::int64_t at = 0;  // samples so far
    auto frameToSamples = [](double frame) { return frame * 16.66 / 1000.0 * kSongRate; };
    for (int s = 0; s < count; ++s) {
        const double start = frameToSamples(plans[s].startFrame);
        const double end = frameToSamples(s + 1 < count ? plans[s + 1].startFrame : endFrame);
        const double rowIdeal = (end - start) / plans[s].rows;
        for (int r = 0; r < plans[s].rows; ++r) {
            // Each row ends as close as it can to where an even tempo would end it, so the error
            // never builds up and every section starts within a few samples of its frame.
            const double target = start + (r + 1) * rowIdeal;
            int best = 32;
            double bestError = 1e300;
            for (int b = 32; b <= 255; ++b) {
                const double e = std::abs(static_cast<double>(at + RowSamples(b)) - target);
                if (e < bestError) {
                    bestError = e;
                    best = b;
                }
            }
            bpm.push_back(best);
            at += RowSamples(best);
        }
    }
    return bpm;
}

namespace {

enum Channel {
    kTempoChannel,
    kMarkChannel,
    kKickChannel,
    kSnareChannel,
    kHatChannel,
    kBassChannel,
    kPadChannel,  // three voices
    kPluckChannel = kPadChannel + 3,
    kLeadChannel,
    kBellChannel,
    kFxChannel,
    kEchoChannel,
    kChannelCount,
};

// "A3", "C#5": the XM note number.
int N(const char* name) {
    static const int kSemitone[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    int semitone = kSemitone[name[0] - 'A'];
    int i = 1;
    if (name[i] == '#') {
        ++semitone;
        ++i;
    }
    return 1 + (name[i] - '0') * 12 + semitone;
}

struct Chord {
    const char* name;
    int bass;
    int pad[3];
};

Chord MakeChord(const char* name, const char* bass, const char* a, const char* b, const char* c) {
    return Chord{name, N(bass), {N(a), N(b), N(c)}};
}

const Chord& FindChord(const std::string& name) {
    static const Chord kChords[] = {
        MakeChord("Am", "A2", "A3", "C4", "E4"), MakeChord("F", "F2", "A3", "C4", "F4"),
        MakeChord("C", "C3", "G3", "C4", "E4"),  MakeChord("G", "G2", "G3", "B3", "D4"),
        MakeChord("Dm", "D3", "A3", "D4", "F4"), MakeChord("Em", "E2", "G3", "B3", "E4"),
        MakeChord("E", "E2", "G#3", "B3", "E4"), MakeChord("Fmaj7", "F2", "A3", "C4", "E4"),
    };
    for (const Chord& c : kChords) {
        if (name == c.name) return c;
    }
    std::abort();  // a chord name the score does not know: a typo in this file
}

// One long grid of cells; cut into patterns at the end.
struct Score {
    int rows;
    std::vector<XmCell> cells;
    explicit Score(int rowCount) : rows(rowCount), cells(rowCount * kChannelCount) {}

    XmCell& At(int row, int channel) { return cells[row * kChannelCount + channel]; }

    void Put(int row, int channel, int note, int instrument, int volume) {
        if (row < 0 || row >= rows) return;
        XmCell& c = At(row, channel);
        c.note = static_cast<std::uint8_t>(note);
        c.instrument = static_cast<std::uint8_t>(instrument);
        c.volume = static_cast<std::uint8_t>(0x10 + std::clamp(volume, 0, 64));
    }
    void Off(int row, int channel) {
        if (row < 0 || row >= rows) return;
        At(row, channel) = XmCell{kNoteOff, 0, 0, 0, 0};
    }
    void Effect(int row, int channel, std::uint8_t effect, std::uint8_t param) {
        if (row < 0 || row >= rows) return;
        XmCell& c = At(row, channel);
        c.effect = effect;
        c.param = param;
    }
};

constexpr int kBar = 16;

// --- parts -----------------------------------------------------------------------------

void Pads(Score& s, int row, const Chord& c, int volume) {
    for (int v = 0; v < 3; ++v) s.Put(row, kPadChannel + v, c.pad[v], kPad, volume);
}

enum class BassStyle { Long, Pulse, Drive };

void Bass(Score& s, int row, int length, const Chord& c, BassStyle style, int volume) {
    if (style == BassStyle::Long) {
        s.Put(row, kBassChannel, c.bass, kBass, volume);
        return;
    }
    for (int r = 0; r < length; r += 2) {
        const bool offbeat = (r % 4) == 2;
        const int note = style == BassStyle::Drive && offbeat ? c.bass + 12 : c.bass;
        s.Put(row + r, kBassChannel, note, kBass, offbeat ? volume - 10 : volume);
    }
}

struct DrumStyle {
    bool kick, snare, hats8, hats16, openHat;
};

void Drums(Score& s, int row, int length, DrumStyle d, int volume) {
    for (int r = 0; r < length; ++r) {
        const int beatRow = r % 4;
        const int barRow = r % kBar;
        if (d.kick && beatRow == 0) s.Put(row + r, kKickChannel, N("C4"), kKick, volume);
        if (d.snare && (barRow == 4 || barRow == 12)) {
            s.Put(row + r, kSnareChannel, N("C4"), kSnare, volume - 6);
        }
        if (d.openHat && beatRow == 2) {
            s.Put(row + r, kHatChannel, N("C4"), kOpenHat, volume - 30);
        } else if (d.hats16 || (d.hats8 && beatRow == 2)) {
            const int accent = beatRow == 2 ? 0 : (beatRow == 0 ? -10 : -18);
            s.Put(row + r, kHatChannel, N("C4"), kClosedHat, volume - 22 + accent);
        }
    }
}

// A snare roll whose notes get denser and louder toward the end.
void Roll(Score& s, int row, int length, int step, int from, int to) {
    for (int r = 0; r < length; r += step) {
        s.Put(row + r, kSnareChannel, N("C4"), kSnare, from + (to - from) * r / length);
    }
}

// Sixteenth notes up and down through the chord, an octave above the pads.
void Arp(Score& s, int row, int length, const Chord& c, int from, int to) {
    static const int kShape[8] = {0, 1, 2, 3, 2, 1, 2, 3};
    for (int r = 0; r < length; ++r) {
        const int step = kShape[r % 8];
        const int note = step == 3 ? c.pad[0] + 24 : c.pad[step] + 12;
        s.Put(row + r, kPluckChannel, note, kPluck, from + (to - from) * r / std::max(1, length));
    }
}

void Bells(Score& s, int row, int length, const Chord& c, int volume) {
    static const int kRows[4] = {0, 3, 6, 10};
    for (int start = 0; start < length; start += kBar) {
        for (int i = 0; i < 4 && start + kRows[i] < length; ++i) {
            const int note = i == 3 ? c.pad[0] + 24 : c.pad[i] + 12;
            s.Put(row + start + kRows[i], kBellChannel, note, kBell, volume - 6 * (i & 1));
        }
    }
}

// "E5:4 A5:2 -:2": note and length in rows; "-" rests. The lead is echoed three rows later on
// a channel of its own, softer.
int Melody(Score& s, int row, const char* text, int volume, int transpose = 0) {
    const char* p = text;
    while (*p) {
        while (*p == ' ') ++p;
        if (!*p) break;
        const char* colon = p;
        while (*colon != ':') ++colon;
        const std::string name(p, colon);
        const int length = std::atoi(colon + 1);
        if (name == "-") {
            s.Off(row, kLeadChannel);
            s.Off(row + 3, kEchoChannel);
        } else {
            const int note = N(name.c_str()) + transpose;
            s.Put(row, kLeadChannel, note, kLead, volume);
            s.Put(row + 3, kEchoChannel, note, kLead, volume / 3);
        }
        row += length;
        p = colon + 1;
        while (*p && *p != ' ') ++p;
    }
    return row;
}

void Hit(Score& s, int row, int instrument, int volume) {
    s.Put(row, kFxChannel, N("C4"), instrument, volume);
}

// A run of chords, one per bar (or shorter for the last), each with the parts `each` adds.
template <typename Each>
void Progression(int row, int length, const std::vector<const char*>& chords, Each each) {
    int bar = 0;
    for (const char* name : chords) {
        const int at = row + bar * kBar;
        if (at >= row + length) break;
        each(bar, at, std::min(kBar, row + length - at), FindChord(name));
        ++bar;
    }
}

// --- the melodies -----------------------------------------------------------------------

const char* const kPhraseA[3] = {
    "E5:4 A5:2 B5:2 C6:4 B5:2 A5:2",
    "A5:4 G5:2 F5:2 E5:4 C5:4",
    "D5:6 E5:2 G5:4 B5:4",
};
const char* const kAnswer[3] = {
    "E5:4 A5:2 B5:2 C6:4 D6:2 E6:2",
    "F6:4 E6:2 D6:2 C6:4 A5:4",
    "B5:8 G#5:4 E5:4",
};
const char* const kChorus[8] = {
    "A4:2 C5:2 E5:2 A5:4 G5:2 E5:2 C5:2", "F5:6 E5:2 C5:4 A4:4",
    "G4:2 C5:2 E5:2 G5:4 A5:2 G5:2 E5:2", "D5:8 B4:4 G4:4",
    "A5:2 B5:2 C6:4 B5:2 A5:2 E5:4",      "F5:2 A5:2 C6:4 A5:4 F5:4",
    "E5:2 G5:2 C6:4 B5:2 C6:2 D6:4",      "B5:8 G5:4 D5:4",
};

// --- the sections -----------------------------------------------------------------------

const DrumStyle kFull{true, true, true, false, false};
const DrumStyle kBusy{true, true, false, true, true};

void Intro(Score& s, int row, int length) {
    Progression(row, length, {"Am", "Am", "F", "F", "G"},
                [&](int bar, int at, int n, const Chord& c) {
                    if (bar % 2 == 0) Pads(s, at, c, 34 + 4 * bar);
                    if (bar >= 1) Arp(s, at, n, c, 6 + 7 * (bar - 1), 12 + 7 * bar);
                    if (bar % 2 == 0) s.Put(at, kBellChannel, c.pad[2] + 12, kBell, 30);
                });
}

void Flash(Score& s, int row, int length) {
    Hit(s, row, kCrash, 64);
    s.Put(row, kKickChannel, N("C4"), kKick, 64);
    s.Put(row, kBassChannel, N("G2"), kBass, 50);
    s.Put(row + 1, kBellChannel, N("D6"), kBell, 40);
    s.Put(row + 2, kFxChannel, N("C4"), kRiser, 56);
    Roll(s, row + 4, length - 4, 1, 16, 44);
}

void Grid(Score& s, int row, int length) {
    Progression(row, length, {"Am", "F", "C", "G", "Am"},
                [&](int bar, int at, int n, const Chord& c) {
                    Drums(s, at, n, DrumStyle{true, bar >= 2, bar >= 1, false, false}, 60);
                    Bass(s, at, n, c, BassStyle::Pulse, 56);
                    Pads(s, at, c, 26 + 3 * bar);
                    if (bar >= 3) Arp(s, at, n, c, 14, 22);
                });
    // The last bar ends in a fill into the breakdown.
    for (int r : {8, 10, 12, 13, 14, 15}) s.Put(row + 64 + r, kSnareChannel, N("C4"), kSnare, 50);
}

void Breakdown(Score& s, int row, int length) {
    Hit(s, row, kCrash, 36);
    Pads(s, row, FindChord("Fmaj7"), 52);
    s.Put(row, kBassChannel, N("F2"), kBass, 40);
    for (int r : {0, 8, 14}) s.Put(row + r, kBellChannel, N("E5") + (r == 8 ? 7 : 0), kBell, 36);
    s.Off(row + 16, kBassChannel);
    s.Put(row + length - 8, kFxChannel, N("C4"), kRiser, 50);
}

void PhraseA(Score& s, int row, int length, bool answer) {
    const std::vector<const char*> chords = {"Am", "F", answer ? "E" : "G"};
    Progression(row, length, chords, [&](int bar, int at, int n, const Chord& c) {
        Drums(s, at, n, kFull, 60);
        Bass(s, at, n, c, BassStyle::Pulse, 56);
        Pads(s, at, c, 30);
        if (answer) Arp(s, at, n, c, 16, 20);
        Melody(s, at, answer ? kAnswer[bar] : kPhraseA[bar], 46);
    });
    if (!answer) Hit(s, row, kCrash, 50);
    if (answer) Roll(s, row + length - 4, 4, 1, 34, 50);
}

void Groove(Score& s, int row, int length) {
    Hit(s, row, kCrash, 56);
    Progression(row, length,
                {"Am", "F", "C", "G", "Am", "F", "C", "G", "Am", "F", "C", "G", "Dm", "F", "E"},
                [&](int bar, int at, int n, const Chord& c) {
                    Drums(s, at, n, bar < 4 ? kFull : kBusy, 62);
                    Bass(s, at, n, c, BassStyle::Drive, 58);
                    Pads(s, at, c, 28);
                    Arp(s, at, n, c, 18, 22);
                    if (bar < 4) Bells(s, at, n, c, 30);
                    if (bar >= 4 && bar < 12) Melody(s, at, kChorus[bar - 4], 48);
                    if (bar == 4 || bar == 8) Hit(s, at, kCrash, 44);
                });
    Melody(s, row + 12 * kBar, "D5:4 F5:4 A5:8 C6:8 A5:8 B5:16", 48);
    Roll(s, row + length - 8, 8, 1, 30, 52);
}

void Peak(Score& s, int row, int length) {
    Progression(row, length, {"Am", "F", "C", "G", "Am", "F", "C", "G", "F", "G", "Em", "E"},
                [&](int bar, int at, int n, const Chord& c) {
                    const bool build = bar >= 8;
                    Drums(s, at, n, build ? DrumStyle{true, false, true, false, false} : kBusy, 64);
                    Bass(s, at, n, c, build ? BassStyle::Pulse : BassStyle::Drive, 60);
                    Pads(s, at, c, build ? 30 + 4 * (bar - 8) : 32);
                    Arp(s, at, n, c, 20, 26);
                    if (!build) Melody(s, at, kChorus[bar], 52);
                    if (!build) Bells(s, at, n, c, 24);
                    if (bar % 4 == 0) Hit(s, at, kCrash, build ? 40 : 56);
                });
    // The build: quarters, eighths, then sixteenths on the snare, and a riser into the calm.
    const int b = row + 8 * kBar;
    Roll(s, b, kBar, 4, 34, 40);
    Roll(s, b + kBar, kBar, 2, 38, 46);
    Roll(s, b + 2 * kBar, 2 * kBar, 1, 40, 60);
    Melody(s, b, "C6:16 D6:16 E6:16 E6:8 -:8", 44);
    s.Put(row + length - 8, kFxChannel, N("C4"), kRiser, 60);
}

void Calm(Score& s, int row, int length) {
    Hit(s, row, kCrash, 40);
    Progression(row, length, {"F", "G", "Em", "Am", "Dm", "Am", "F", "G", "F", "G", "Am", "Am"},
                [&](int bar, int at, int n, const Chord& c) {
                    Pads(s, at, c, 40);
                    Bells(s, at, n, c, 36);
                    Bass(s, at, n, c, BassStyle::Long, 34);
                    if (bar >= 8) {
                        Drums(s, at, n, DrumStyle{false, false, true, false, false}, 56);
                        Arp(s, at, n, c, 8 + 4 * (bar - 8), 12 + 4 * (bar - 8));
                    }
                });
    Roll(s, row + length - 4, 4, 1, 30, 48);
}

void Finale(Score& s, int row, int length) {
    Progression(row, 12 * kBar, {"Am", "F", "C", "G", "Am", "F", "C", "G", "Am", "F", "C", "G"},
                [&](int bar, int at, int n, const Chord& c) {
                    Drums(s, at, n, bar < 4 ? kFull : kBusy, 64);
                    Bass(s, at, n, c, BassStyle::Drive, 60);
                    Pads(s, at, c, 34);
                    Arp(s, at, n, c, 20, 24);
                    Bells(s, at, n, c, bar >= 8 ? 30 : 20);
                    Melody(s, at, kChorus[bar % 8], 52);
                    if (bar % 4 == 0) Hit(s, at, kCrash, 56);
                });
    // The ending: one last chord on the downbeat, left to ring out while the level falls.
    const int end = row + 12 * kBar;
    Hit(s, end, kCrash, 64);
    s.Put(end, kKickChannel, N("C4"), kKick, 64);
    s.Put(end, kBassChannel, N("A2"), kBass, 60);
    Pads(s, end, FindChord("Am"), 44);
    s.Put(end, kLeadChannel, N("A5"), kLead, 48);
    s.Put(end, kBellChannel, N("A5"), kBell, 44);
    s.Off(end + 10, kLeadChannel);
    s.Off(end + 10, kEchoChannel);
    for (int v = 0; v < 3; ++v) s.Off(end + 14, kPadChannel + v);
    s.Off(end + 14, kBassChannel);
    s.Effect(end + kBar, kMarkChannel, kEffectGlobalSlide, 0x02);
    (void)length;
}

}  // namespace

XmModule ComposeSoundtrack() {
    int rows = 0;
    for (const SectionPlan& p : kSectionPlans) rows += p.rows;
    Score s(rows);
    int at = 0;
    for (int i = 0; i < 10; ++i) {
        const int n = kSectionPlans[i].rows;
        switch (i) {
            case 0:
                Intro(s, at, n);
                break;
            case 1:
                Flash(s, at, n);
                break;
            case 2:
                Grid(s, at, n);
                break;
            case 3:
                Breakdown(s, at, n);
                break;
            case 4:
                PhraseA(s, at, n, false);
                break;
            case 5:
                PhraseA(s, at, n, true);
                break;
            case 6:
                Groove(s, at, n);
                break;
            case 7:
                Peak(s, at, n);
                break;
            case 8:
                Calm(s, at, n);
                break;
            default:
                Finale(s, at, n);
                break;
        }
        s.Effect(at, kMarkChannel, kEffectGlobalVolume,
                 static_cast<std::uint8_t>(kSectionPlans[i].globalVolume));
        at += n;
    }

    const std::vector<int> tempo = PlanTempo(kSectionPlans, 10, kSongEndFrame);
    int current = 120;
    for (int r = 0; r < rows; ++r) {
        if (tempo[r] != current) {
            s.Effect(r, kTempoChannel, kEffectSpeed, static_cast<std::uint8_t>(tempo[r]));
            current = tempo[r];
        }
    }

    XmModule m;
    m.name = "quixo";
    m.channels = kChannelCount;
    m.speed = 6;
    m.bpm = 120;
    m.instruments = MakeInstruments();
    // Patterns of at most four bars, never across a section start, so that every section
    // begins with a pattern of its own.
    at = 0;
    for (const SectionPlan& plan : kSectionPlans) {
        for (int done = 0; done < plan.rows;) {
            const int n = std::min(64, plan.rows - done);
            XmPattern p(n, kChannelCount);
            for (int r = 0; r < n; ++r) {
                for (int c = 0; c < kChannelCount; ++c) p.At(r, c) = s.At(at + done + r, c);
            }
            m.orders.push_back(static_cast<std::uint8_t>(m.patterns.size()));
            m.patterns.push_back(std::move(p));
            done += n;
        }
        at += plan.rows;
    }
    return m;
}

}  // namespace quixo::xmgen
