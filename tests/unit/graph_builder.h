#pragma once
// Builds small operator graphs for tests: local node and output arrays, nodes added in index
// order, inputs given as node indices.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <vector>

#include "core/draw_lists.h"
#include "core/render_device.h"
#include "core/render_settings.h"
#include "graph/graph.h"
#include "memory/arena.h"
#include "operators/node_table.h"

namespace quixo::test {

// A type number without a computation: its node keeps the elements a test gives it.
constexpr std::uint32_t kDataType = kMaxNodeType + 1;

// The arenas, the shared empty array and the slot tables, set up once per test program.
inline void EnsureGraphCore() {
    if (EmptyValueArray() != nullptr) return;
    if (MemoryArena().base == nullptr) SetupArenas();
    InitGraphCore();
    AllocateGraphSlots();
}

class GraphBuilder {
public:
    GraphBuilder() { EnsureGraphCore(); }

    // Adds a node; unlisted inputs are unconnected. Returns its index.
    int Node(std::uint32_t type, std::initializer_list<float> params,
             std::initializer_list<int> inputs = {}, std::uint32_t count = 1) {
        const int i = used_++;
        OperatorNode& n = nodes_[i];
        n.type = type;
        for (int k = 0; k < kNodeInputs; ++k) n.inputs[k] = -1;
        int k = 0;
        for (int j : inputs) n.inputs[k++] = j;
        k = 0;
        for (float p : params) n.params[k++] = p;
        storage_.push_back(std::make_unique<Vec4[]>(count == 0 ? 1 : count));
        values_[i].count = count;
        values_[i].elements = count == 0 ? nullptr : storage_.back().get();
        return i;
    }

    // A node that holds the given elements and never changes them.
    int Data(std::initializer_list<Vec4> elements) {
        const int i = Node(kDataType, {}, {}, static_cast<std::uint32_t>(elements.size()));
        int k = 0;
        for (const Vec4& v : elements) values_[i].elements[k++] = v;
        return i;
    }

    void Evaluate(RenderDevice& device = Device()) {
        GraphArguments args{};
        EvaluateGraph(device, values_, nodes_, args);
    }

    OperatorNode* nodes() { return nodes_; }
    ValueArray* values() { return values_; }
    ValueArray& out(int i) { return values_[i]; }
    Vec4 at(int i, std::uint32_t k) const { return values_[i].elements[k]; }

private:
    OperatorNode nodes_[kNodesPerGraph]{};
    ValueArray values_[kNodesPerGraph]{};
    std::vector<std::unique_ptr<Vec4[]>> storage_;
    int used_ = 0;
};

// Equal within tol per component; two not-a-numbers count as equal.
inline ::testing::AssertionResult VecNear(const Vec4& a, const Vec4& e, float tol = 0.0f) {
    const float av[4] = {a.x, a.y, a.z, a.w}, ev[4] = {e.x, e.y, e.z, e.w};
    for (int c = 0; c < 4; ++c) {
        const bool same = (std::isnan(av[c]) && std::isnan(ev[c])) || av[c] == ev[c] ||
                          std::fabs(av[c] - ev[c]) <= tol;
        if (!same) {
            return ::testing::AssertionFailure()
                   << "(" << a.x << ", " << a.y << ", " << a.z << ", " << a.w << ") vs (" << e.x
                   << ", " << e.y << ", " << e.z << ", " << e.w << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

// Every test starts from the demo's state before its first frame: empty lists with zeroed
// storage, start settings, a device without curve tracks.
class OperatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetCoreRecords();
        Device().displayAspect = 1920.0f / 1080.0f;
    }
};

}  // namespace quixo::test
