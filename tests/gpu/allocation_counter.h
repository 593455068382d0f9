#pragma once
// Counts calls of the global operator new while switched on, so a test can show that a stretch
// of code allocates nothing.
#include <cstdint>

namespace quixo::test {

void CountAllocations(bool on);
std::uint64_t AllocationCount();

}  // namespace quixo::test
