#include "authoring/graph_check.h"

#include <algorithm>
#include <vector>

#include "core/draw_lists.h"
#include "graph/graph.h"
#include "operators/node_table.h"
#include "render/renderer.h"
#include "render/shader_source.h"
#include "render/texture_table.h"

namespace quixo {

namespace {

constexpr std::uint64_t kSaturated = std::uint64_t{1} << 62;

void AddCapped(std::uint64_t& total, std::uint64_t n) {
    total = std::min(kSaturated, total + std::min(n, kSaturated));
}

void AddLoad(PassLoad& to, const PassLoad& from) {
    AddCapped(to.opaque, from.opaque);
    AddCapped(to.blended, from.blended);
    AddCapped(to.sprites, from.sprites);
    AddCapped(to.debugLines, from.debugLines);
}

enum class Mark : std::uint8_t { kNone, kOpen, kDone };

struct Checker {
    const StoredGraphSet& set;
    const CurveTrack* tracks;
    Mark slotMark[kGraphSlots] = {};
    PassLoad slotLoad[kGraphSlots] = {};
    std::optional<GraphLimitError> error;

    void Fail(int slot, int node, std::string message) {
        if (!error) error = GraphLimitError{slot, node, std::move(message)};
    }

    // Depth-first walk over the links between non-empty nodes; path holds the open nodes.
    bool WalkInputs(const StoredNode* nodes, int slot, int n, Mark* marks, std::vector<int>& path) {
        marks[n] = Mark::kOpen;
        path.push_back(n);
        for (const std::int32_t j : nodes[n].inputs) {
            if (j == -1 || nodes[j].type == kNodeEmpty) continue;
            if (marks[j] == Mark::kOpen) {
                std::string cycle;
                const auto from = std::find(path.begin(), path.end(), j);
                for (auto it = from; it != path.end(); ++it) cycle += std::to_string(*it) + " -> ";
                Fail(slot, j,
                     "node " + std::to_string(j) + " depends on itself through its inputs (" +
                         cycle + std::to_string(j) + ")");
                return false;
            }
            if (marks[j] == Mark::kNone && !WalkInputs(nodes, slot, j, marks, path)) return false;
        }
        path.pop_back();
        marks[n] = Mark::kDone;
        return true;
    }

    bool CheckLinks(const StoredNode* nodes, int slot) {
        for (int n = 0; n < kNodesPerGraph; ++n) {
            if (nodes[n].type == kNodeEmpty) continue;
            for (int k = 0; k < kNodeInputs; ++k) {
                const std::int32_t j = nodes[n].inputs[k];
                if (j != -1 && (j < 0 || j >= kNodesPerGraph)) {
                    Fail(slot, n,
                         "node " + std::to_string(n) + " input " + std::to_string(k) +
                             " links to node " + std::to_string(j) + ", outside 0..255");
                    return false;
                }
            }
        }
        Mark marks[kNodesPerGraph] = {};
        std::vector<int> path;
        for (int n = 0; n < kNodesPerGraph; ++n) {
            if (nodes[n].type != kNodeEmpty && marks[n] == Mark::kNone &&
                !WalkInputs(nodes, slot, n, marks, path)) {
                return false;
            }
        }
        return true;
    }

    bool CheckCapacity(int slot, int n, const PassLoad& load) {
        struct Limit {
            std::uint64_t PassLoad::*field;
            std::uint64_t capacity;
            const char* what;
        };
        static const Limit kLimits[] = {
            {&PassLoad::opaque, kDrawListCapacity, "items into the opaque draw list"},
            {&PassLoad::blended, kDrawListCapacity, "items into the blended draw list"},
            {&PassLoad::sprites, kSpriteListCapacity, "sprites into the sprite list"},
            {&PassLoad::debugLines, kDebugLineCapacity, "lines into the debug-line list"},
        };
        for (const Limit& limit : kLimits) {
            const std::uint64_t value = load.*limit.field;
            if (value > limit.capacity) {
                Fail(slot, n,
                     "slot " + std::to_string(slot) + " pushes " +
                         (value >= kSaturated ? std::string("too many") : std::to_string(value)) +
                         " " + limit.what + " in one frame by node " + std::to_string(n) +
                         "; it holds " + std::to_string(limit.capacity));
                return false;
            }
        }
        return true;
    }

    // What node n pushes by itself, or the pushes of the slot it calls.
    bool NodeLoad(const StoredNode* nodes, int slot, int n, PassLoad& load) {
        const StoredNode& node = nodes[n];
        const NodeTypeRow& row = NodeTypeRowOf(node.type);
        const int countParam = ParamWithRole(row, ParamRole::kCount);
        const std::uint32_t count = countParam < 0 ? 0 : Nearest(node.params[countParam]);
        switch (row.list) {
            case NodeList::kNone:
                break;
            case NodeList::kOpaque:
                AddCapped(load.opaque, count);
                break;
            case NodeList::kOpaqueOrBlended: {
                const int blendSwitch = ParamWithRole(row, ParamRole::kBlendSwitch);
                AddCapped(Nearest(node.params[blendSwitch]) != 0 ? load.blended : load.opaque,
                          count);
                break;
            }
            case NodeList::kSprites:
                AddCapped(load.sprites, count);
                break;
            case NodeList::kDebugLines: {
                const std::int32_t j = node.inputs[0];
                const std::uint32_t points = j == -1 ? 0 : nodes[j].count;
                if (points > 1) AddCapped(load.debugLines, points - 1);
                break;
            }
        }
        if (const int k = ParamWithRole(row, ParamRole::kTrack); k >= 0) {
            if (!CheckSampledTrack(slot, n, Nearest(node.params[k]))) return false;
        }
        if (const int k = ParamWithRole(row, ParamRole::kGraphSlot); k >= 0) {
            if (!AddCallLoad(slot, n, Nearest(node.params[k]), load)) return false;
        }
        return true;
    }

    // Node n samples track k: a real track, and with tracks given, one it can interpolate.
    bool CheckSampledTrack(int slot, int n, std::uint32_t k) {
        if (k >= static_cast<std::uint32_t>(kCurveTrackCount)) {
            Fail(slot, n,
                 "node " + std::to_string(n) + " samples track " + std::to_string(k) +
                     ", outside 0..63");
            return false;
        }
        const std::uint32_t keys = tracks == nullptr ? 0 : tracks[k].keyCount;
        if (tracks != nullptr && keys < kMinSampledTrackKeys) {
            Fail(slot, n,
                 "node " + std::to_string(n) + " samples track " + std::to_string(k) +
                     (keys == 0 ? ", which has no keys"
                                : ", which has " + std::to_string(keys) + " key") +
                     "; a sampled track needs at least " + std::to_string(kMinSampledTrackKeys));
            return false;
        }
        // Before its first key a track has no defined value.
        if (tracks != nullptr && tracks[k].keys[0].frame != 0) {
            Fail(slot, n,
                 "node " + std::to_string(n) + " samples track " + std::to_string(k) +
                     ", whose first key is at frame " + std::to_string(tracks[k].keys[0].frame) +
                     "; a sampled track must start at frame 0");
            return false;
        }
        return true;
    }

    // Node n calls slot `callee`: what that slot pushes is pushed again by every call.
    bool AddCallLoad(int slot, int n, std::uint32_t callee, PassLoad& load) {
        if (callee == 0) return true;  // slot 0 cannot be called: the node does nothing
        if (callee >= static_cast<std::uint32_t>(kGraphSlots)) {
            Fail(slot, n,
                 "node " + std::to_string(n) + " calls graph slot " + std::to_string(callee) +
                     ", outside 1..31");
            return false;
        }
        const int s = static_cast<int>(callee);
        if (slotMark[s] == Mark::kOpen) {
            Fail(slot, n,
                 "node " + std::to_string(n) + " of slot " + std::to_string(slot) + " calls slot " +
                     std::to_string(s) + ", which leads back to a graph being evaluated");
            return false;
        }
        if (slotMark[s] == Mark::kNone && !CheckSlot(s)) return false;
        AddLoad(load, slotLoad[s]);
        return true;
    }

    bool CheckSlot(int slot) {
        slotMark[slot] = Mark::kOpen;
        const StoredNode* nodes = set.slots[slot];
        PassLoad load;
        if (nodes != nullptr) {
            if (!CheckLinks(nodes, slot)) return false;
            for (int n = 0; n < kNodesPerGraph; ++n) {
                if (nodes[n].type == kNodeEmpty) continue;
                if (!NodeLoad(nodes, slot, n, load) || !CheckCapacity(slot, n, load)) {
                    return false;
                }
            }
        }
        slotLoad[slot] = load;
        slotMark[slot] = Mark::kDone;
        return true;
    }
};

// A table of the renderer that a parameter may index.
struct IndexedTable {
    ParamRole role;
    const char* name;
    int size;
    bool noneAllowed;  // -1 stands for "no entry" (a mesh-less full-screen item)
};

// Every index an emitter or a sprite hands the renderer comes from a parameter its row gives
// one of these roles (the emitters without a texture parameter always draw with texture 0).
// The inputs feed transforms, shader options and sprite geometry only, none of which indexes
// a table, so these see every index a frame can use; none of them depends on a value known
// only while the show runs.
constexpr IndexedTable kIndexedTables[] = {
    {ParamRole::kMesh, "mesh", kMeshTableSize, false},
    {ParamRole::kMeshOrNone, "mesh", kMeshTableSize, true},
    {ParamRole::kVertexShader, "vertex shader", kVertexShaderCount, false},
    {ParamRole::kPixelShader, "pixel shader", kPixelShaderCount, false},
    {ParamRole::kTexture, "texture", kTextureCount, false},
};

const IndexedTable* TableIndexedBy(ParamRole role) {
    for (const IndexedTable& table : kIndexedTables) {
        if (table.role == role) return &table;
    }
    return nullptr;
}

}  // namespace

std::vector<GraphLimitError> CheckTableIndices(const StoredNode* nodes, int slot) {
    std::vector<GraphLimitError> faults;
    for (int n = 0; n < kNodesPerGraph; ++n) {
        const StoredNode& node = nodes[n];
        const NodeTypeRow& row = NodeTypeRowOf(node.type);
        for (int k = 0; k < kNodeParams; ++k) {
            const IndexedTable* table = TableIndexedBy(row.params[k]);
            if (table == nullptr) continue;
            // The node reads the parameter as the low 32 bits of its nearest integer.
            const auto index = static_cast<std::int32_t>(Nearest(node.params[k]));
            if ((index >= 0 && index < table->size) || (table->noneAllowed && index == -1)) {
                continue;
            }
            faults.push_back({slot, n,
                              "node " + std::to_string(n) + " uses " + table->name + " " +
                                  std::to_string(index) + " (p" + std::to_string(k) +
                                  "), outside " + (table->noneAllowed ? "-1" : "0") + ".." +
                                  std::to_string(table->size - 1)});
        }
    }
    return faults;
}

std::optional<GraphLimitError> CheckGraphLimits(const StoredGraphSet& set, int root,
                                                const CurveTrack* tracks) {
    Checker checker{set, tracks, {}, {}, std::nullopt};
    checker.CheckSlot(root);
    return checker.error;
}

std::uint64_t GraphStorageBytes(const StoredNode* nodes) {
    std::uint64_t bytes = 0;
    for (int n = 0; n < kNodesPerGraph; ++n) {
        bytes += 2 * std::uint64_t{nodes[n].count} * sizeof(Vec4);
    }
    return bytes;
}

}  // namespace quixo
