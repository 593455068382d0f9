#pragma once
// The per-frame draw records the graph pushes and the renderer draws. List storage persists
// from frame to frame: that is what carries each slot's previous transform.
#include <cstdint>

namespace quixo {

constexpr int kDrawListCapacity = 4096;
constexpr int kSpriteListCapacity = 64;
constexpr int kDebugLineCapacity = 512;

// 172 bytes (43 words).
struct DrawItem {
    std::int32_t meshIndex;  // MeshTable entry, or -1: a 4-vertex strip without buffers
    std::int32_t vertexShaderIndex;
    std::int32_t pixelShaderIndex;
    std::int32_t textureIndex;
    float position[3];
    float scale[3];
    float rotation[3];  // yaw, pitch, roll
    float prevPosition[3];
    float prevScale[3];
    float prevRotation[3];
    float options[20];  // the first five float4 of PerObjectData.options
    float spare;
};
static_assert(sizeof(DrawItem) == 172);

// 52 bytes (13 words).
struct SpriteItem {
    float srcRect[4];  // left, top, right, bottom in texture coordinates
    float center[2];   // 0..1 across the target
    float size[2];
    float rotation;
    std::int32_t textureIndex;
    std::int32_t blendMode;  // 0 off, 1 alpha, 2 additive, other off
    float alpha;
    float key;  // sort key, smallest drawn first
};
static_assert(sizeof(SpriteItem) == 52);

// One debug line: two end points and the packed colour.
struct DebugLine {
    float from[3];
    float to[3];
    std::uint32_t colour;
};

struct DrawLists {
    DrawItem opaque[kDrawListCapacity];
    DrawItem blended[kDrawListCapacity];
    SpriteItem sprites[kSpriteListCapacity];
    DebugLine debugLines[kDebugLineCapacity];
    std::uint32_t opaqueCount;
    std::uint32_t blendedCount;
    std::uint32_t spriteCount;
    std::uint32_t debugLineCount;
};

// The one global set of lists (zeroed static storage).
DrawLists& Lists();

// Copies the item into the next slot of the chosen list, carrying the slot's last transform
// into the prev fields. A full list drops the item.
void PushDrawItem(DrawLists& lists, const DrawItem& item, bool blended);

// Appends a sprite; a full list drops it.
void PushSprite(DrawLists& lists, const SpriteItem& sprite);

// Appends a debug line; a full list drops it.
void PushDebugLine(DrawLists& lists, const DebugLine& line);

// Main loop, before graph evaluation: the two item lists and the sprite list become empty.
void ResetListCounts(DrawLists& lists);

// After every present: the debug line list becomes empty.
void ResetDebugLines(DrawLists& lists);

// When motion blur is on this frame: an opaque item that moved farther than resetDistance
// since the last frame gets its current transform as its previous one.
void ResetPreviousTransforms(DrawLists& lists, float resetDistance);

// In-place ascending sort of the sprites by key (first-element-pivot quicksort).
void SortSprites(SpriteItem* sprites, std::uint32_t count);

}  // namespace quixo
