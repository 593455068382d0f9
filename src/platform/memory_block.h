#pragma once
// Large zeroed blocks of address space from the operating system, for the memory arenas. Pages
// are committed as they are first touched, so an untouched block costs nothing.
#include <cstdint>
#include <string>

namespace quixo {

// A zeroed block of `bytes`, or null with the system's reason in error.
void* ReserveZeroedBlock(std::uint64_t bytes, std::string& error);

// Gives a block back to the system.
void ReleaseBlock(void* block, std::uint64_t bytes);

}  // namespace quixo
