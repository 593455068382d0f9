#pragma once
// Reads a buffer's contents back to the CPU (tests and tools that check an upload).
#include <cstdint>
#include <vector>

#include "render/gfx/buffer.h"

namespace quixo::gfx {

// The buffer's byteWidth bytes; empty for a buffer that was never created.
std::vector<std::uint8_t> ReadBufferBytes(const Buffer& buffer);

}  // namespace quixo::gfx
