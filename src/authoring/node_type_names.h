#pragma once
// Readable names of the 59 node types, as the scene sources spell them.
#include <cstdint>
#include <string_view>

namespace quixo {

// The name of type 1..59, or nullptr for any other number.
const char* NodeTypeName(std::uint32_t type);

// The type number of a name, or 0 when no type has that name.
std::uint32_t FindNodeType(std::string_view name);

}  // namespace quixo
