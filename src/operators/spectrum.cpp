// The music's frequency spectrum as node values.
#include "platform/spectrum.h"

#include "operators/node_types.h"

namespace quixo {

namespace {

constexpr std::uint32_t kMaxBins = 512;

// 64, 128, 256 or 512 bins: the smallest that holds nearest(p0), compared unsigned, so a
// negative p0 asks for 512.
std::uint32_t SpectrumSize(std::uint32_t a) {
    if (a <= 64) return 64;
    if (a <= 128) return 128;
    if (a <= 256) return 256;
    return kMaxBins;
}

// Element i = bin b + i of a fresh spectrum, times gain. Bins at or past the requested size
// are not part of the answer and read 0.
void SpectrumBins(const NodeContext& ctx, bool scaled) {
    const std::uint32_t size = SpectrumSize(IntParam(ctx, 0));
    float bins[kMaxBins] = {};
    GetSpectrum(bins, static_cast<int>(size), 0);
    std::uint32_t first = IntParam(ctx, 1);
    if (first > size) first = size;
    const float gain = ctx.node().params[2];
    ForEachElement(ctx, [&](std::uint32_t i) {
        float v = i < size - first ? bins[first + i] : 0.0f;
        if (scaled) v = gain * v;
        return Vec4{v, v, v, v};
    });
}

}  // namespace

void NodeSpectrum(const NodeContext& ctx) {
    SpectrumBins(ctx, false);
}

void NodeSpectrumScaled(const NodeContext& ctx) {
    SpectrumBins(ctx, true);
}

}  // namespace quixo
