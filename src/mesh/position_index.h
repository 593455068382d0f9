#pragma once
// Vertices found by their exact position, as dupvert finds them by scanning: two positions are
// equal when every component compares equal (so 0 and -0 are, and a NaN equals nothing). A
// subdivision step looks up each edge point here instead of scanning every vertex it made.
#include <cstdint>
#include <cstring>
#include <unordered_map>

#include "core/float3.h"

namespace quixo {

struct PositionKey {
    std::uint32_t bits[3];
    bool operator==(const PositionKey& o) const {
        return bits[0] == o.bits[0] && bits[1] == o.bits[1] && bits[2] == o.bits[2];
    }
};

struct PositionKeyHash {
    std::size_t operator()(const PositionKey& k) const {
        std::uint64_t h = k.bits[0];
        h = h * 0x9E3779B97F4A7C15ull ^ k.bits[1];
        h = h * 0x9E3779B97F4A7C15ull ^ k.bits[2];
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
};

// The key of a position; false for one with a NaN, which equals no position.
inline bool MakePositionKey(const Float3& p, PositionKey& key) {
    const float c[3] = {p.x, p.y, p.z};
    for (int i = 0; i < 3; ++i) {
        if (c[i] != c[i]) return false;
        const float v = c[i] == 0.0f ? 0.0f : c[i];
        std::memcpy(&key.bits[i], &v, 4);
    }
    return true;
}

// Each position's lowest vertex among those added, in the order they were added.
using PositionIndex = std::unordered_map<PositionKey, std::uint32_t, PositionKeyHash>;

}  // namespace quixo
