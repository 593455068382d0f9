#pragma once
// Writing RGBA8 images as PNG files.
#include <cstdint>
#include <string>
#include <vector>

#include "tool_files.h"

namespace quixo::tool {

// Writes width × height RGBA8 pixels, rows top first, into the temporary file and renames it
// onto its target. Fails the command (exit 1 with the target and the reason) when the file
// cannot be written; the target is then as it was.
void WritePng(TemporaryFile& file, const std::vector<std::uint8_t>& rgba, int width, int height);

}  // namespace quixo::tool
