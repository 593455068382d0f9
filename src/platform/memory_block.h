#pragma once
// Large blocks of memory from the system, zero-filled and costing nothing until touched.
#include <cstdint>
#include <string>

namespace quixo {

// A block of `bytes` reserved for the whole run (never given back); null with *error set when
// the system refuses.
void* ReserveZeroedBlock(std::uint64_t bytes, std::string* error);

}  // namespace quixo
