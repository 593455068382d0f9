#pragma once
// Small modules for the music tests, made with the soundtrack generator's writer.
#include <cstdint>
#include <vector>

#include "xm_writer.h"

namespace quixo::testing {

// One channel, `rows` rows at `bpm` (6 ticks per row), one note of a quiet looped square on row
// 0; with markedOrders, `orders` patterns whose first rows set the global volume (a section
// start) where the flag says so.
inline std::vector<std::uint8_t> MakeTestModule(int rows, int bpm, int speed = 6,
                                                std::vector<bool> markedOrders = {false}) {
    using namespace xmgen;
    XmModule m;
    m.name = "test";
    m.channels = 2;
    m.speed = speed;
    m.bpm = bpm;
    XmInstrument ins;
    ins.name = "square";
    for (int i = 0; i < 200; ++i) ins.sample.data.push_back(i < 100 ? 4000 : -4000);
    ins.sample.loopLength = 200;
    m.instruments.push_back(ins);
    for (std::size_t o = 0; o < markedOrders.size(); ++o) {
        XmPattern p(rows, 2);
        if (o == 0) {
            p.At(0, 0).note = Note(4, 0);
            p.At(0, 0).instrument = 1;
        }
        if (markedOrders[o]) {
            p.At(0, 1).effect = kEffectGlobalVolume;
            p.At(0, 1).param = 0x40;
        }
        m.orders.push_back(static_cast<std::uint8_t>(o));
        m.patterns.push_back(p);
    }
    return WriteXm(m);
}

}  // namespace quixo::testing
