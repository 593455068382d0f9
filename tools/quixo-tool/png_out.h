#pragma once
// Writing RGBA8 images as PNG files.
#include <cstdint>
#include <string>
#include <vector>

namespace quixo::tool {

// Writes width × height RGBA8 pixels, rows top first. Fails the command (exit 1 with the
// reason) when the file cannot be written.
void WritePng(const std::string& path, const std::vector<std::uint8_t>& rgba, int width,
              int height);

}  // namespace quixo::tool
