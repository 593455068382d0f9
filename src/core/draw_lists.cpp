#include "core/draw_lists.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace quixo {

DrawLists& Lists() {
    static DrawLists lists{};
    return lists;
}

void PushDrawItem(DrawLists& lists, const DrawItem& item, bool blended) {
    DrawItem* list = blended ? lists.blended : lists.opaque;
    std::uint32_t& count = blended ? lists.blendedCount : lists.opaqueCount;
    if (count >= kDrawListCapacity) return;
    DrawItem& slot = list[count];
    float position[3], scale[3], rotation[3];
    std::memcpy(position, slot.position, sizeof position);
    std::memcpy(scale, slot.scale, sizeof scale);
    std::memcpy(rotation, slot.rotation, sizeof rotation);
    slot = item;
    std::memcpy(slot.prevPosition, position, sizeof position);
    std::memcpy(slot.prevScale, scale, sizeof scale);
    std::memcpy(slot.prevRotation, rotation, sizeof rotation);
    ++count;
}

void PushSprite(DrawLists& lists, const SpriteItem& sprite) {
    if (lists.spriteCount >= kSpriteListCapacity) return;
    lists.sprites[lists.spriteCount++] = sprite;
}

void PushDebugLine(DrawLists& lists, const DebugLine& line) {
    if (lists.debugLineCount >= kDebugLineCapacity) return;
    lists.debugLines[lists.debugLineCount++] = line;
}

void ResetListCounts(DrawLists& lists) {
    lists.opaqueCount = 0;
    lists.blendedCount = 0;
    lists.spriteCount = 0;
}

void ResetDebugLines(DrawLists& lists) {
    lists.debugLineCount = 0;
}

void ResetPreviousTransforms(DrawLists& lists, float resetDistance) {
    for (std::uint32_t i = 0; i < lists.opaqueCount; ++i) {
        DrawItem& item = lists.opaque[i];
        const float dx = item.position[0] - item.prevPosition[0];
        const float dy = item.position[1] - item.prevPosition[1];
        const float dz = item.position[2] - item.prevPosition[2];
        const float d = std::sqrt(dx * dx + dy * dy + dz * dz);
        if (d > resetDistance) {
            std::memcpy(item.prevPosition, item.position, sizeof item.position);
            std::memcpy(item.prevScale, item.scale, sizeof item.scale);
            std::memcpy(item.prevRotation, item.rotation, sizeof item.rotation);
        }
    }
}

void SortSprites(SpriteItem* sprites, std::uint32_t count) {
    // Quicksort on [lo, hi): the first element is the pivot; keys <= pivot stay left, greater
    // keys go to the right end; recurse on the left part, loop on the right part.
    std::uint32_t lo = 0, hi = count;
    while (hi - lo > 1) {
        const float pivot = sprites[lo].key;
        std::uint32_t left = lo + 1, right = hi;
        while (left < right) {
            if (sprites[left].key <= pivot) {
                ++left;
            } else {
                --right;
                std::swap(sprites[left], sprites[right]);
            }
        }
        std::swap(sprites[lo], sprites[left - 1]);
        SortSprites(sprites + lo, left - 1 - lo);
        lo = left;
    }
}

}  // namespace quixo
