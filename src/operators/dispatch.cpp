#include "operators/operators.h"

namespace quixo {

void RunNodeType(const NodeContext& ctx) {
    switch (ctx.node().type) {
        default:
            break;  // no computation
    }
}

}  // namespace quixo
