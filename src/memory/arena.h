#pragma once
// The two bump allocators over zeroed 512 MiB blocks. Nothing is freed one allocation at a
// time: the blocks go back whole when the runtime shuts down, or with the process. Pages are
// mapped lazily, so untouched memory costs nothing.
#include <cstdint>
#include <mutex>

namespace quixo {

constexpr std::uint64_t kArenaBlockSize = 0x20000000;   // 512 MiB
constexpr std::uint32_t kArenaWarnOffset = 0x10000000;  // 256 MiB: "memory over!!!" beyond

struct Arena {
    std::uint8_t* block = nullptr;  // as the system returned it
    std::uint8_t* base = nullptr;   // block rounded up to 32 bytes
    std::uint64_t capacity = 0;     // usable bytes from base
    std::uint32_t fillOffset = 0;   // bytes handed out so far
    std::mutex lock;
};

// Reserves a zeroed block of blockSize bytes for the arena. Stops the program with a clear
// message when the system refuses.
void InitArena(Arena& arena, std::uint64_t blockSize = kArenaBlockSize);

// n zeroed bytes from the arena, right after the previous allocation (no header) once the fill
// offset is rounded up to alignment (a power of two: alignof the elements the block will hold;
// 1, the default, rounds nothing). Past 256 MiB every allocation first shows "memory over!!!";
// an allocation that would run past the block's end stops the program instead of handing out
// memory it lacks.
void* ArenaAllocate(Arena& arena, std::uint32_t n, std::uint32_t alignment = 1);

// Sets the fill offset back to 0.
void ArenaReset(Arena& arena);

// Gives the block back; every pointer into it is dead. InitArena may reserve a new one.
void ReleaseArena(Arena& arena);

// The program's two arenas.
Arena& MemoryArena();
Arena& FrameArena();

// Reserves both blocks; the first step of start-up, before any allocation.
void SetupArenas();

// Gives both blocks back (the runtime's shutdown).
void ReleaseArenas();

// n bytes from the MemoryArena, aligned as ArenaAllocate aligns them.
void* Allocate(std::uint32_t n, std::uint32_t alignment = 1);

// Resets the FrameArena (twice a frame: before graph evaluation and before rendering).
void ResetFrameArena();

}  // namespace quixo
