#pragma once
// The soundtrack's instruments, synthesized. Every sample is made at a rate of 8363 · 2^(q/12)
// Hz so that a whole relative note maps it onto the XM pitch scale with no finetune, and the
// noise comes from a fixed-seed generator, so the module is the same bit for bit on every build.
#include <vector>

#include "xm_writer.h"

namespace quixo::xmgen {

// 1-based instrument numbers, as the patterns refer to them.
enum Instrument : int {
    kKick = 1,
    kSnare,
    kClosedHat,
    kOpenHat,
    kCrash,
    kBass,
    kPad,
    kPluck,
    kLead,
    kBell,
    kRiser,
    kInstrumentCount = kRiser,
};

// All instruments, in the order of the enumeration.
std::vector<XmInstrument> MakeInstruments();

}  // namespace quixo::xmgen
