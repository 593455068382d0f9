#include "authoring/graph_check.h"

#include <algorithm>
#include <vector>

#include "core/draw_lists.h"
#include "graph/graph.h"
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
            if (j == -1 || nodes[j].type == 0) continue;
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
            if (nodes[n].type == 0) continue;
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
            if (nodes[n].type != 0 && marks[n] == Mark::kNone &&
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
        const std::uint32_t count = Nearest(node.params[1]);
        switch (node.type) {
            case 45:
            case 46:
            case 47:
                AddCapped(load.opaque, count);
                break;
            case 48:
                AddCapped(Nearest(node.params[5]) != 0 ? load.blended : load.opaque, count);
                break;
            case 50:
                AddCapped(load.sprites, count);
                break;
            case 49:
                // The point collector's list has no consumer and no storage: it pushes nothing.
                break;
            case 44: {
                const std::int32_t j = node.inputs[0];
                const std::uint32_t points = j == -1 ? 0 : nodes[j].count;
                if (points > 1) AddCapped(load.debugLines, points - 1);
                break;
            }
            case 40: {
                const std::uint32_t k = Nearest(node.params[0]);
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
                             "; a sampled track needs at least " +
                             std::to_string(kMinSampledTrackKeys));
                    return false;
                }
                // Before its first key a track has no defined value.
                if (tracks != nullptr && tracks[k].keys[0].frame != 0) {
                    Fail(slot, n,
                         "node " + std::to_string(n) + " samples track " + std::to_string(k) +
                             ", whose first key is at frame " +
                             std::to_string(tracks[k].keys[0].frame) +
                             "; a sampled track must start at frame 0");
                    return false;
                }
                break;
            }
            case 54: {
                const std::uint32_t callee = Nearest(node.params[0]);
                if (callee == 0) break;  // slot 0 cannot be called: the node does nothing
                if (callee >= static_cast<std::uint32_t>(kGraphSlots)) {
                    Fail(slot, n,
                         "node " + std::to_string(n) + " calls graph slot " +
                             std::to_string(callee) + ", outside 1..31");
                    return false;
                }
                const int s = static_cast<int>(callee);
                if (slotMark[s] == Mark::kOpen) {
                    Fail(slot, n,
                         "node " + std::to_string(n) + " of slot " + std::to_string(slot) +
                             " calls slot " + std::to_string(s) +
                             ", which leads back to a graph being evaluated");
                    return false;
                }
                if (slotMark[s] == Mark::kNone && !CheckSlot(s)) return false;
                AddLoad(load, slotLoad[s]);
                break;
            }
            default:
                break;
        }
        return true;
    }

    bool CheckSlot(int slot) {
        slotMark[slot] = Mark::kOpen;
        const StoredNode* nodes = set.slots[slot];
        PassLoad load;
        if (nodes != nullptr) {
            if (!CheckLinks(nodes, slot)) return false;
            for (int n = 0; n < kNodesPerGraph; ++n) {
                if (nodes[n].type == 0) continue;
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

// One integer parameter that indexes a table of the renderer, for node types first..last.
struct TableIndexRule {
    std::uint32_t firstType;
    std::uint32_t lastType;
    int param;
    const char* table;
    int size;
    bool noneAllowed;  // -1 stands for "no entry" (a mesh-less full-screen item)
};

// Every index an emitter or a sprite hands the renderer comes from its parameters (types 45 to
// 47 always draw with texture 0). The inputs feed transforms, shader options and sprite
// geometry only, none of which indexes a table, so these rules see every index a frame can
// use; none of them depends on a value known only while the show runs.
constexpr TableIndexRule kTableIndexRules[] = {
    {45, 48, 0, "mesh", kMeshTableSize, true},
    {45, 48, 2, "vertex shader", kVertexShaderCount, false},
    {45, 48, 3, "pixel shader", kPixelShaderCount, false},
    {48, 48, 4, "texture", kTextureCount, false},
    {50, 50, 0, "texture", kTextureCount, false},
};

}  // namespace

std::vector<GraphLimitError> CheckTableIndices(const StoredNode* nodes, int slot) {
    std::vector<GraphLimitError> faults;
    for (int n = 0; n < kNodesPerGraph; ++n) {
        const StoredNode& node = nodes[n];
        for (const TableIndexRule& rule : kTableIndexRules) {
            if (node.type < rule.firstType || node.type > rule.lastType) continue;
            // The node reads the parameter as the low 32 bits of its nearest integer.
            const auto index = static_cast<std::int32_t>(Nearest(node.params[rule.param]));
            if ((index >= 0 && index < rule.size) || (rule.noneAllowed && index == -1)) continue;
            faults.push_back({slot, n,
                              "node " + std::to_string(n) + " uses " + rule.table + " " +
                                  std::to_string(index) + " (p" + std::to_string(rule.param) +
                                  "), outside " + (rule.noneAllowed ? "-1" : "0") + ".." +
                                  std::to_string(rule.size - 1)});
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
