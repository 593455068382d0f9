#include "memory/arena.h"

#include <string>

#include "platform/memory_block.h"
#include "platform/message_box.h"

namespace quixo {

void InitArena(Arena& arena, std::uint64_t blockSize) {
    std::string error;
    void* block = ReserveZeroedBlock(blockSize, error);
    if (block == nullptr) {
        FatalError("cannot reserve " + std::to_string(blockSize >> 20) +
                   " MiB of memory: " + error);
    }
    auto* bytes = static_cast<std::uint8_t*>(block);
    const auto address = reinterpret_cast<std::uintptr_t>(bytes);
    const std::uintptr_t skip = (32 - address % 32) % 32;
    std::lock_guard<std::mutex> guard(arena.lock);
    arena.block = bytes;
    arena.base = bytes + skip;
    arena.capacity = blockSize - skip;
    arena.fillOffset = 0;
}

void* ArenaAllocate(Arena& arena, std::uint32_t n, std::uint32_t alignment) {
    std::lock_guard<std::mutex> guard(arena.lock);
    // The test looks at the offset before this allocation is added, and the lock stays held
    // while the box is open.
    if (arena.fillOffset > kArenaWarnOffset) {
        ShowMessageBox("memory over!!!");
    }
    // Rounded by address, so that alignments past the base's 32 bytes hold too. A storing
    // through a misaligned pointer is undefined, and some vector loads fault on it.
    const auto end = reinterpret_cast<std::uintptr_t>(arena.base) + arena.fillOffset;
    const std::uint64_t pad = alignment > 1 ? (alignment - end % alignment) % alignment : 0;
    if (arena.base == nullptr ||
        static_cast<std::uint64_t>(arena.fillOffset) + pad + n > arena.capacity) {
        FatalError("memory arena exhausted: " + std::to_string(n) + " bytes requested with " +
                   std::to_string(arena.fillOffset) + " of " + std::to_string(arena.capacity) +
                   " in use");
    }
    arena.fillOffset += static_cast<std::uint32_t>(pad);
    void* result = arena.base + arena.fillOffset;
    arena.fillOffset += n;
    return result;
}

void ReleaseArena(Arena& arena) {
    std::lock_guard<std::mutex> guard(arena.lock);
    ReleaseBlock(arena.block,
                 arena.capacity + static_cast<std::uint64_t>(arena.base - arena.block));
    arena.block = nullptr;
    arena.base = nullptr;
    arena.capacity = 0;
    arena.fillOffset = 0;
}

void ArenaReset(Arena& arena) {
    std::lock_guard<std::mutex> guard(arena.lock);
    arena.fillOffset = 0;
}

Arena& MemoryArena() {
    static Arena arena;
    return arena;
}

Arena& FrameArena() {
    static Arena arena;
    return arena;
}

void SetupArenas() {
    InitArena(MemoryArena());
    InitArena(FrameArena());
}

void ReleaseArenas() {
    ReleaseArena(MemoryArena());
    ReleaseArena(FrameArena());
}

void* Allocate(std::uint32_t n, std::uint32_t alignment) {
    return ArenaAllocate(MemoryArena(), n, alignment);
}

void ResetFrameArena() {
    ArenaReset(FrameArena());
}

}  // namespace quixo
