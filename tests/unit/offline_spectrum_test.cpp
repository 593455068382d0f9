// The tools' offline spectrum: the same numbers playback shows, and the video command's refusal
// without an encoder.
#include "authoring/offline_spectrum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "platform/music.h"
#include "unit/music_test_modules.h"

namespace quixo {
namespace {

int ArgMax(const std::vector<float>& v) {
    return static_cast<int>(std::max_element(v.begin(), v.end()) - v.begin());
}

TEST(OfflineSpectrum, MatchesPlaybackFedTheSameSamples) {
    const std::vector<std::uint8_t> module = testing::MakeTestModule(16, 125);
    std::string error;
    auto offline = OfflineSpectrum::Decode(module, kMusicRate, &error);
    ASSERT_NE(offline, nullptr) << error;
    // 16 rows at 125 BPM, 5760 frames a row, then playback stops.
    EXPECT_EQ(offline->frames(), 16 * 5760);

    MusicSystem live(MusicConfig{MusicOutput::Manual, 1000});
    live.Init();
    ASSERT_TRUE(live.CreateSoundFromMemory(module, "test"));
    ASSERT_TRUE(live.PlaySound());
    std::vector<float> block(2 * 700);
    std::vector<float> a(kMaxSpectrumSize), b(kMaxSpectrumSize);
    // Early (the window reaches before the start), in the middle, and past the end.
    std::int64_t fed = 0;
    for (std::int64_t at : {300LL, 35000LL, 16 * 5760LL + 350}) {
        while (fed < at) {
            const int n = static_cast<int>(std::min<std::int64_t>(700, at - fed));
            live.FeedDevice(block.data(), n);
            fed += n;
        }
        offline->SetAudioFrame(at);
        for (int size : {64, 128, 256, 512})
            for (int channel : {0, 1}) {
                live.GetSpectrum(a.data(), size, channel);
                offline->GetSpectrum(b.data(), size, channel);
                for (int k = 0; k < size; ++k)
                    ASSERT_FLOAT_EQ(a[k], b[k])
                        << "at " << at << " size " << size << " entry " << k;
            }
    }
    // The middle of the note is not silent, so the comparison above compared something.
    offline->SetAudioFrame(35000);
    offline->GetSpectrum(b.data(), 512, 0);
    EXPECT_GT(*std::max_element(b.begin(), b.end()), 0.01f);
    // The position in milliseconds names the audio frame at the mixing rate.
    offline->SetAudioFrame(35040);
    offline->GetSpectrum(b.data(), 512, 0);
    offline->SetPositionMs(730);
    offline->GetSpectrum(a.data(), 512, 0);
    EXPECT_EQ(a, b);
}

TEST(OfflineSpectrum, SineModulePeaksAtItsFrequency) {
    // One period of a sine in 32 samples, played at C-5 (16726 Hz sample rate): 522.7 Hz,
    // entry 522.7 / (48000 / 1024) = 11.15 of a 512-entry spectrum.
    using namespace xmgen;
    XmModule m;
    m.name = "sine";
    m.channels = 2;
    m.speed = 6;
    m.bpm = 125;
    XmInstrument ins;
    ins.name = "sine";
    for (int i = 0; i < 32; ++i)
        ins.sample.data.push_back(
            static_cast<std::int16_t>(std::lround(12000 * std::sin(6.283185307179586 * i / 32))));
    ins.sample.loopLength = 32;
    m.instruments.push_back(ins);
    XmPattern p(32, 2);
    p.At(0, 0).note = Note(5, 0);
    p.At(0, 0).instrument = 1;
    m.patterns.push_back(p);
    m.orders.push_back(0);
    std::string error;
    auto offline = OfflineSpectrum::Decode(WriteXm(m), kMusicRate, &error);
    ASSERT_NE(offline, nullptr) << error;
    offline->SetAudioFrame(kMusicRate);  // one second in, well inside the note
    for (int size : {512, 256}) {
        std::vector<float> out(size);
        offline->GetSpectrum(out.data(), size, 0);
        const int expected = static_cast<int>(std::lround(522.7 / (kMusicRate / (2.0 * size))));
        EXPECT_EQ(ArgMax(out), expected) << size;
        EXPECT_GT(out[expected], 0.01f) << size;  // the mixer attenuates; the shape matters
        EXPECT_LT(out[expected + 5], out[expected] * 0.01f) << size;
    }
}

TEST(OfflineSpectrum, CorruptModuleIsRefused) {
    std::string error;
    EXPECT_EQ(OfflineSpectrum::Decode({1, 2, 3, 4}, kMusicRate, &error), nullptr);
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace quixo
