// One graph running another slot inside the current pass, and the argument node.
#include "operators/node_types.h"

namespace quixo {

namespace {

// Slots whose evaluation is under way through sub-graph calls, the outermost caller included.
// A call into one of them would clear its flags mid-evaluation and never end.
std::uint32_t g_activeSlots = 0;

// The bit of the slot whose node array this is, or 0 for a graph outside the slot tables.
std::uint32_t SlotBit(const GraphSlots& slots, const OperatorNode* nodes) {
    for (int s = 0; s < kGraphSlots; ++s) {
        if (slots.nodes[s] == nodes) return 1u << s;
    }
    return 0;
}

}  // namespace

void NodeSubGraphCall(const NodeContext& ctx) {
    // Slot 0 cannot be called; slot numbers past the table name nothing.
    const std::uint32_t s = IntParam(ctx, 0);
    GraphSlots& slots = Slots();
    if (s == 0 || s >= static_cast<std::uint32_t>(kGraphSlots) || slots.nodes == nullptr) return;
    const std::uint32_t saved = g_activeSlots;
    const std::uint32_t active = saved | SlotBit(slots, ctx.nodes);
    // A call leading back to a graph being evaluated is refused.
    if (active & (1u << s)) return;
    g_activeSlots = active | (1u << s);
    GraphArguments fresh{};
    EvaluateGraph(*ctx.device, slots.values[s], slots.nodes[s], fresh);
    g_activeSlots = saved;
}

void NodeSubGraphArgument(const NodeContext& ctx) {
    // Every caller passes empty arguments, so the node writes its constant; should an argument
    // ever be handed in, element 0 of reference min(nearest(p0), 4) is taken instead.
    const float* p = ctx.node().params;
    std::uint32_t r = IntParam(ctx, 0);
    if (r > 4) r = 4;
    const ValueArray* arg = ctx.args != nullptr ? ctx.args->args[r] : nullptr;
    const Vec4 v = arg != nullptr ? ReadElement(0, *arg) : Vec4{p[1], p[2], p[3], p[4]};
    WriteElement(0, ctx.out(), v);
}

}  // namespace quixo
