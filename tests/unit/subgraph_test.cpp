#include <gtest/gtest.h>

#include <cstring>

#include "graph_builder.h"

namespace quixo {
namespace {

using test::GraphBuilder;

class SubGraph : public test::OperatorTest {
protected:
    void SetUp() override {
        OperatorTest::SetUp();
        test::EnsureGraphCore();
        for (int s = 0; s < kGraphSlots; ++s) {
            std::memset(Slots().nodes[s], 0, kNodesPerGraph * sizeof(OperatorNode));
            std::memset(Slots().values[s], 0, kNodesPerGraph * sizeof(ValueArray));
        }
    }

    // Node i of slot s.
    OperatorNode& SlotNode(int s, int i, std::uint32_t type, std::initializer_list<float> p) {
        OperatorNode& n = Slots().nodes[s][i];
        n.type = type;
        for (int k = 0; k < kNodeInputs; ++k) n.inputs[k] = -1;
        int k = 0;
        for (float v : p) n.params[k++] = v;
        return n;
    }

    void EvaluateSlot(int s) {
        GraphArguments args{};
        EvaluateGraph(Device(), Slots().values[s], Slots().nodes[s], args);
    }
};

TEST_F(SubGraph, CallRunsTheOtherSlotsSideEffectsEachTime) {
    SlotNode(3, 0, kNodeEmitter3, {7, 1});
    SlotNode(3, 1, kNodeMotionBlur, {2});
    GraphBuilder g;
    g.Node(kNodeSubGraphCall, {3});
    g.Node(kNodeSubGraphCall, {2.6f});  // rounds to 3: a second call runs the slot again
    g.Node(kNodeSubGraphCall, {0.4f});  // slot 0 is never called
    g.Node(kNodeSubGraphCall, {12});    // an empty slot changes nothing
    g.Node(kNodeSubGraphCall, {40});    // no such slot
    g.Evaluate();
    EXPECT_EQ(Lists().opaqueCount, 2u);
    EXPECT_EQ(Lists().opaque[1].meshIndex, 7);
    EXPECT_EQ(Settings().motionBlurEnabled, 1);
    EXPECT_EQ(Settings().motionBlurResetDistance, 2.0f);
}

TEST_F(SubGraph, CallsLeadingBackAreRefused) {
    // Slot 1 calls slot 2, which calls slot 1 again and itself; each emits one item.
    SlotNode(1, 0, kNodeEmitter3, {1, 1});
    SlotNode(1, 1, kNodeSubGraphCall, {2});
    SlotNode(2, 0, kNodeEmitter3, {2, 1});
    SlotNode(2, 1, kNodeSubGraphCall, {1});
    SlotNode(2, 2, kNodeSubGraphCall, {2});
    SlotNode(2, 3, kNodeSubGraphCall, {4});
    SlotNode(4, 0, kNodeEmitter3, {4, 1});
    EvaluateSlot(1);
    ASSERT_EQ(Lists().opaqueCount, 3u);
    EXPECT_EQ(Lists().opaque[0].meshIndex, 1);
    EXPECT_EQ(Lists().opaque[1].meshIndex, 2);
    EXPECT_EQ(Lists().opaque[2].meshIndex, 4);
    // Once the call returns the slots may be called again.
    ResetListCounts(Lists());
    GraphBuilder g;
    g.Node(kNodeSubGraphCall, {2});
    g.Evaluate();
    EXPECT_EQ(Lists().opaqueCount, 3u);  // 2 -> 1 (refused back to 2), 2 -> 4
}

TEST_F(SubGraph, ArgumentWritesItsConstantIntoElementZeroOnly) {
    GraphBuilder g;
    const int none = g.Node(kNodeSubGraphArgument, {0, 1, 2, 3, 4}, {}, 0);
    const int four = g.Node(kNodeSubGraphArgument, {0, 1, 2, 3, 4}, {}, 4);
    g.Evaluate();
    EXPECT_TRUE(g.out(none).evaluated);
    EXPECT_TRUE(test::VecNear(g.at(four, 0), {1, 2, 3, 4}));
    for (std::uint32_t i = 1; i < 4; ++i) EXPECT_TRUE(test::VecNear(g.at(four, i), {0, 0, 0, 0}));
}

}  // namespace
}  // namespace quixo
