#pragma once
// Three floats: a point, a direction or a per-axis amount. Shared by the modeller and the
// matrix helpers.

namespace quixo {

struct Float3 {
    float x, y, z;
};

}  // namespace quixo
