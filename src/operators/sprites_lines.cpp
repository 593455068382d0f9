// Screen-space sprites and the debug polyline. None writes its own output.
#include "core/draw_lists.h"
#include "operators/node_types.h"

namespace quixo {

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

// Element k of the input, or the fallback when the input has no elements at all.
Vec4 ElementOr(std::uint32_t k, const ValueArray& a, const Vec4& fallback) {
    return a.count == 0 ? fallback : ReadElement(k, a);
}

}  // namespace

void NodeSprite(const NodeContext& ctx) {
    const std::uint32_t n = IntParam(ctx, 1);
    if (n == 0) return;
    const ValueArray& rect = ctx.in(0);
    const ValueArray& centre = ctx.in(1);
    const ValueArray& size = ctx.in(2);
    const ValueArray& rotation = ctx.in(3);
    const ValueArray& alpha = ctx.in(4);
    const auto texture = static_cast<std::int32_t>(IntParam(ctx, 0));
    const auto blendMode = static_cast<std::int32_t>(IntParam(ctx, 2));
    const float key = ctx.node().params[3];
    DrawLists& lists = Lists();
    // The run is reserved before any entry is written; entries that would not fit in the
    // list are dropped.
    const std::uint32_t first = lists.spriteCount;
    const std::uint32_t room = first < kSpriteListCapacity ? kSpriteListCapacity - first : 0;
    const std::uint32_t taken = n < room ? n : room;
    lists.spriteCount = first + taken;
    for (std::uint32_t k = 0; k < taken; ++k) {
        SpriteItem& s = lists.sprites[first + k];
        const Vec4 r = ElementOr(k, rect, Vec4{0, 0, 1, 1});
        const Vec4 c = ReadElement(k, centre);
        const Vec4 z = ElementOr(k, size, Vec4{1, 1, 0, 0});
        s.srcRect[0] = r.x;
        s.srcRect[1] = r.y;
        s.srcRect[2] = r.z;
        s.srcRect[3] = r.w;
        s.center[0] = c.x;
        s.center[1] = c.y;
        s.size[0] = z.x;
        s.size[1] = z.y;
        s.rotation = ReadElement(k, rotation).x;
        s.textureIndex = texture;
        s.blendMode = blendMode;
        s.alpha = ElementOr(k, alpha, Vec4{1, 0, 0, 0}).x;
        s.key = key;
    }
}

void NodeDebugPolyline(const NodeContext& ctx) {
    const ValueArray& points = ctx.in(0);
    DrawLists& lists = Lists();
    for (std::uint32_t i = 1; i < points.count && lists.debugLineCount < kDebugLineCapacity; ++i) {
        const Vec4 a = points.elements[i - 1];
        const Vec4 b = points.elements[i];
        PushDebugLine(lists, DebugLine{{a.x, a.y, a.z}, {b.x, b.y, b.z}, kWhite});
    }
}

void NodePointSink(const NodeContext&) {
    // Collected points have no consumer: nothing to do beyond being marked evaluated.
}

}  // namespace quixo
