// The object emitters: one draw item per instance, pushed into a draw list.
#include <cstring>

#include "core/draw_lists.h"
#include "operators/node_types.h"

namespace quixo {

namespace {

// What distinguishes the four emitter types.
struct EmitterShape {
    bool scaleIsOffset;      // in1 is added to (1, 1, 1); otherwise in1 is the scale itself
    int optionInputs;        // options 0.. come from in3, in4, ...; the rest stay zero
    bool lastOptionRepeats;  // options[4] repeats the element of options[3]'s input
    bool chooseList;         // p4 is the texture and p5 picks the list
};

constexpr EmitterShape kEmitter3{true, 0, false, false};
constexpr EmitterShape kEmitter6{true, 3, false, false};
constexpr EmitterShape kEmitter7{false, 4, true, false};
constexpr EmitterShape kEmitter8{false, 5, false, true};

void CopyXyz(float* dst, const Vec4& v) {
    dst[0] = v.x;
    dst[1] = v.y;
    dst[2] = v.z;
}

void Emit(const NodeContext& ctx, const EmitterShape& shape) {
    DrawItem item;
    std::memset(&item, 0, sizeof item);
    item.meshIndex = static_cast<std::int32_t>(IntParam(ctx, 0));
    const std::uint32_t n = IntParam(ctx, 1);
    item.vertexShaderIndex = static_cast<std::int32_t>(IntParam(ctx, 2));
    item.pixelShaderIndex = static_cast<std::int32_t>(IntParam(ctx, 3));
    bool blended = false;
    if (shape.chooseList) {
        item.textureIndex = static_cast<std::int32_t>(IntParam(ctx, 4));
        blended = IntParam(ctx, 5) != 0;
    }
    const ValueArray& position = ctx.in(0);
    const ValueArray& scale = ctx.in(1);
    const ValueArray& rotation = ctx.in(2);
    DrawLists& lists = Lists();
    const std::uint32_t& filled = blended ? lists.blendedCount : lists.opaqueCount;
    // A full list takes no more items, so a huge instance count ends there.
    for (std::uint32_t k = 0; k < n && filled < kDrawListCapacity; ++k) {
        CopyXyz(item.position, ReadElement(k, position));
        Vec4 s = ReadElement(k, scale);
        if (shape.scaleIsOffset) {
            s = Vec4{s.x + 1.0f, s.y + 1.0f, s.z + 1.0f, 0.0f};
        } else if (scale.count == 0) {
            s = Vec4{1.0f, 1.0f, 1.0f, 0.0f};
        }
        CopyXyz(item.scale, s);
        CopyXyz(item.rotation, ReadElement(k, rotation));
        for (int o = 0; o < shape.optionInputs; ++o) {
            const Vec4 v = ReadElement(k, ctx.in(3 + o));
            std::memcpy(&item.options[4 * o], &v, sizeof v);
        }
        if (shape.lastOptionRepeats) std::memcpy(&item.options[16], &item.options[12], 16);
        PushDrawItem(lists, item, blended);
    }
}

}  // namespace

void NodeEmitter3(const NodeContext& ctx) {
    Emit(ctx, kEmitter3);
}

void NodeEmitter6(const NodeContext& ctx) {
    Emit(ctx, kEmitter6);
}

void NodeEmitter7(const NodeContext& ctx) {
    Emit(ctx, kEmitter7);
}

void NodeEmitter8(const NodeContext& ctx) {
    Emit(ctx, kEmitter8);
}

}  // namespace quixo
