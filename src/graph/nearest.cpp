// Kept apart from the evaluator so that the data compilers can check parameters without linking
// graph evaluation.
#include <cmath>

#include "graph/graph.h"

namespace quixo {

std::uint32_t Nearest(float p) {
    const double d = p;
    // cvtsd2si answers 0x8000000000000000 for what it cannot convert: low 32 bits 0.
    if (!(std::fabs(d) < 9223372036854775808.0)) return 0;
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(std::llrint(d)));
}

}  // namespace quixo
