#include "graph/scene_load.h"

#include <cstring>

#include "graph/graph.h"
#include "memory/arena.h"

namespace quixo {

void LoadStoredScene(int slot, const StoredNode* records) {
    OperatorNode* nodes = Slots().nodes[slot];
    ValueArray* values = Slots().values[slot];
    for (int n = 0; n < kNodesPerGraph; ++n) {
        StoredNode stored;
        std::memcpy(&stored, &records[n], sizeof stored);
        OperatorNode& node = nodes[n];
        node.type = stored.type;
        std::memcpy(node.inputs, stored.inputs, sizeof node.inputs);
        std::memcpy(node.params, stored.params, sizeof node.params);  // bit for bit
        // The output is built as a temporary with a block of its own and then copied into the
        // node's slot, which takes a second block: both come from the arena, the second is used.
        ValueArray& out = values[n];
        out.count = stored.count;
        out.elements = nullptr;
        if (stored.count != 0) {
            const std::uint32_t bytes = stored.count * static_cast<std::uint32_t>(sizeof(Vec4));
            Allocate(bytes, alignof(Vec4));
            out.elements = static_cast<Vec4*>(Allocate(bytes, alignof(Vec4)));
        }
    }
}

void LoadStoredScenes(const StoredNode* scenes, int k) {
    for (int s = 0; s < k; ++s) LoadStoredScene(s, scenes + s * kNodesPerGraph);
}

}  // namespace quixo
