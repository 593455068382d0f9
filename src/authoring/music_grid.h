#pragma once
// The track editor's row grid read from the show's module: libopenmpt plays it once, offline,
// and every row it reaches becomes a row of the grid.
#include <cstdint>
#include <string>
#include <vector>

#include "authoring/row_grid.h"

namespace quixo {

// The rows of the module in `bytes` as the show's clock sees them (decoded at the music's
// playback rate, so rows start on the samples they start on in playback). False (and *error)
// when the bytes do not decode or hold no rows.
bool MusicRowGrid(const std::vector<std::uint8_t>& bytes, RowGrid& grid, std::string* error);

}  // namespace quixo
