#include "memory/arena.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace quixo {
namespace {

std::uintptr_t Address(const void* p) {
    return reinterpret_cast<std::uintptr_t>(p);
}

TEST(Arena, HandsOutContiguousZeroedMemoryFromAnAlignedBase) {
    Arena arena;
    InitArena(arena, 1 << 20);
    EXPECT_EQ(Address(arena.base) % 32, 0u);
    EXPECT_LT(arena.base - arena.block, 32);

    auto* a = static_cast<std::uint8_t*>(ArenaAllocate(arena, 8));
    auto* b = static_cast<std::uint8_t*>(ArenaAllocate(arena, 16));
    EXPECT_EQ(a, arena.base);
    EXPECT_EQ(b, arena.base + 8);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(b[i], 0);

    // Zero bytes: the current end, offset unchanged.
    void* c = ArenaAllocate(arena, 0);
    EXPECT_EQ(c, arena.base + 24);
    EXPECT_EQ(arena.fillOffset, 24u);

    ArenaReset(arena);
    EXPECT_EQ(ArenaAllocate(arena, 4), arena.base);
}

TEST(Arena, RoundsABlockUpToItsElementsAlignment) {
    Arena arena;
    InitArena(arena, 1 << 20);
    ArenaAllocate(arena, 3);  // odd text before, as the shader source leaves it
    struct Case {
        std::uint32_t bytes, alignment, expectedOffset;
    };
    // Offsets are from the 32-byte base; 64 rounds by address, past the base's own alignment.
    const Case cases[] = {{1, 1, 3}, {16, 16, 16}, {8, 8, 32}, {2, 2, 40}, {1, 64, 64}, {4, 4, 68}};
    for (const Case& c : cases) {
        const auto* p = static_cast<std::uint8_t*>(ArenaAllocate(arena, c.bytes, c.alignment));
        EXPECT_EQ(p - arena.base, c.expectedOffset) << c.alignment;
        EXPECT_EQ(Address(p) % c.alignment, 0u);
    }
    // The padding counts against the block like any byte: 80 bytes would fit at 4001, not at
    // 4032.
    Arena small;
    InitArena(small, 4096);
    ArenaAllocate(small, 4001);
    EXPECT_EXIT(ArenaAllocate(small, 80, 32), ::testing::ExitedWithCode(1),
                "memory arena exhausted");
}

TEST(Arena, AllocationPastTheBlockStopsWithAMessage) {
    Arena arena;
    InitArena(arena, 4096);
    ArenaAllocate(arena, 4000);
    EXPECT_EXIT(ArenaAllocate(arena, 200), ::testing::ExitedWithCode(1), "memory arena exhausted");
}

TEST(Arena, WarnsOnlyOnceTheOffsetIsPastHalfTheBlock) {
    Arena arena;
    InitArena(arena);
    arena.fillOffset = kArenaWarnOffset;
    // At exactly 256 MiB: silent. One byte more: every later allocation warns (and goes on).
    testing::internal::CaptureStderr();
    ArenaAllocate(arena, 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    testing::internal::CaptureStderr();
    void* p = ArenaAllocate(arena, 16);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("memory over!!!"), std::string::npos);
    EXPECT_EQ(p, arena.base + kArenaWarnOffset + 1);
}

}  // namespace
}  // namespace quixo
