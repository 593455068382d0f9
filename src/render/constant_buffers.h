#pragma once
// Host images of the shader library's eight constant buffers, byte for byte as HLSL packs
// them. Matrices are kept in the row-vector layout of render/math.h and uploaded unchanged;
// the shaders declare them column_major, which makes mul(M, v) apply p x M.
#include <cstddef>
#include <cstdint>

namespace quixo {

// b0, 112 bytes.
struct PerFrameData {
    float viewProj[16];
    float eyePosVS[4];
    float lightDirVS[4];
    std::int32_t isBlur;
    std::int32_t isRenderDof;
    std::int32_t isRenderBloom;
    std::int32_t pfdDum0;
};

// b1, 320 bytes.
struct PerObjectData {
    float world[16];
    float worldViewProj[16];
    float oldWorldViewProj[16];
    float options[8][4];
};

// b2, 16 bytes: the bloom bright pass (HLSL name PostEffectData).
struct BloomEffectData {
    float bloomColor;
    float bloomThrethold;
    float bloomPadding0;
    float bloomPadding1;
};

// b3, 48 bytes. gasWeight[k] is the HLSL member gasWeightk.
struct GaussFilterData {
    float gasWeight[8];
    float gasScale;
    float gasSpread;  // tap spacing in target pixels
    float gasPad1;
    float gasPad2;
};

// b4, 16 bytes: depth of field and transition (HLSL name PostEffectData).
struct CompositeEffectData {
    float dofFocus;
    std::uint32_t transitionType;
    float transitionFactor;
    float pedPadding0;
};

// b5, 144 bytes: the window size (HLSL name OneTimeData).
struct WindowSizeData {
    float g_60[16];
    float g_61[16];
    float w_width;
    float w_height;
    float g_b60;
    float g_b61;
};

// b6, 80 bytes: one sprite (HLSL name OneTimeData).
struct SpriteData {
    float spritesrcRect[4];
    float spriteDstRect[4];
    float spriteZ[4];
    float spriteRot[4];
    float spriteAlpha[4];
};

// b7, 40960 bytes: the PerObjectData of up to 128 items drawn as one instanced draw, record i
// for instance i (HLSL ObjectRun, an array of ObjectRecord).
inline constexpr std::uint32_t kObjectRunCapacity = 128;
struct ObjectRunData {
    PerObjectData objectRun[kObjectRunCapacity];
};

static_assert(sizeof(PerFrameData) == 112);
static_assert(sizeof(ObjectRunData) == 320 * kObjectRunCapacity);
static_assert(sizeof(PerObjectData) == 320);
static_assert(sizeof(BloomEffectData) == 16);
static_assert(sizeof(GaussFilterData) == 48);
static_assert(sizeof(CompositeEffectData) == 16);
static_assert(sizeof(WindowSizeData) == 144);
static_assert(sizeof(SpriteData) == 80);

static_assert(offsetof(PerFrameData, eyePosVS) == 64);
static_assert(offsetof(PerFrameData, isBlur) == 96);
static_assert(offsetof(PerObjectData, oldWorldViewProj) == 128);
static_assert(offsetof(PerObjectData, options) == 192);
static_assert(offsetof(GaussFilterData, gasScale) == 32);
static_assert(offsetof(CompositeEffectData, transitionType) == 4);
static_assert(offsetof(WindowSizeData, w_width) == 128);
static_assert(offsetof(SpriteData, spriteAlpha) == 64);

// One constant buffer as the shaders declare it. Two pairs share a name (PostEffectData at
// b2 and b4, OneTimeData at b5 and b6); the register tells them apart.
struct ConstantBufferInfo {
    int slot;  // register bN
    const char* name;
    std::uint32_t size;
};

inline constexpr ConstantBufferInfo kConstantBuffers[] = {
    {0, "PerFrameData", sizeof(PerFrameData)},
    {1, "PerObjectData", sizeof(PerObjectData)},
    {2, "PostEffectData", sizeof(BloomEffectData)},
    {3, "GaussFilterData", sizeof(GaussFilterData)},
    {4, "PostEffectData", sizeof(CompositeEffectData)},
    {5, "OneTimeData", sizeof(WindowSizeData)},
    {6, "OneTimeData", sizeof(SpriteData)},
    {7, "ObjectRun", sizeof(ObjectRunData)},
};
inline constexpr int kConstantBufferCount = 8;

// One member of a constant buffer and where the host struct keeps it. The start-up check
// compares each with the offset the shader compiler reports, so a packing slip stops the
// program instead of feeding the shaders shifted values.
struct ConstantBufferMember {
    int slot;
    const char* buffer;
    const char* member;
    std::uint32_t offset;
};

#define QUIXO_CB_MEMBER(slot, buffer, type, member) \
    { slot, buffer, #member, offsetof(type, member) }
#define QUIXO_CB_WEIGHT(k) \
    { 3, "GaussFilterData", "gasWeight" #k, offsetof(GaussFilterData, gasWeight) + 4 * (k) }

inline constexpr ConstantBufferMember kConstantBufferMembers[] = {
    QUIXO_CB_MEMBER(0, "PerFrameData", PerFrameData, viewProj),
    QUIXO_CB_MEMBER(0, "PerFrameData", PerFrameData, eyePosVS),
    QUIXO_CB_MEMBER(0, "PerFrameData", PerFrameData, lightDirVS),
    QUIXO_CB_MEMBER(0, "PerFrameData", PerFrameData, isBlur),
    QUIXO_CB_MEMBER(0, "PerFrameData", PerFrameData, isRenderDof),
    QUIXO_CB_MEMBER(0, "PerFrameData", PerFrameData, isRenderBloom),
    QUIXO_CB_MEMBER(0, "PerFrameData", PerFrameData, pfdDum0),
    QUIXO_CB_MEMBER(1, "PerObjectData", PerObjectData, world),
    QUIXO_CB_MEMBER(1, "PerObjectData", PerObjectData, worldViewProj),
    QUIXO_CB_MEMBER(1, "PerObjectData", PerObjectData, oldWorldViewProj),
    QUIXO_CB_MEMBER(1, "PerObjectData", PerObjectData, options),
    QUIXO_CB_MEMBER(2, "PostEffectData", BloomEffectData, bloomColor),
    QUIXO_CB_MEMBER(2, "PostEffectData", BloomEffectData, bloomThrethold),
    QUIXO_CB_MEMBER(2, "PostEffectData", BloomEffectData, bloomPadding0),
    QUIXO_CB_MEMBER(2, "PostEffectData", BloomEffectData, bloomPadding1),
    QUIXO_CB_WEIGHT(0),
    QUIXO_CB_WEIGHT(1),
    QUIXO_CB_WEIGHT(2),
    QUIXO_CB_WEIGHT(3),
    QUIXO_CB_WEIGHT(4),
    QUIXO_CB_WEIGHT(5),
    QUIXO_CB_WEIGHT(6),
    QUIXO_CB_WEIGHT(7),
    QUIXO_CB_MEMBER(3, "GaussFilterData", GaussFilterData, gasScale),
    QUIXO_CB_MEMBER(3, "GaussFilterData", GaussFilterData, gasSpread),
    QUIXO_CB_MEMBER(3, "GaussFilterData", GaussFilterData, gasPad1),
    QUIXO_CB_MEMBER(3, "GaussFilterData", GaussFilterData, gasPad2),
    QUIXO_CB_MEMBER(4, "PostEffectData", CompositeEffectData, dofFocus),
    QUIXO_CB_MEMBER(4, "PostEffectData", CompositeEffectData, transitionType),
    QUIXO_CB_MEMBER(4, "PostEffectData", CompositeEffectData, transitionFactor),
    QUIXO_CB_MEMBER(4, "PostEffectData", CompositeEffectData, pedPadding0),
    QUIXO_CB_MEMBER(5, "OneTimeData", WindowSizeData, g_60),
    QUIXO_CB_MEMBER(5, "OneTimeData", WindowSizeData, g_61),
    QUIXO_CB_MEMBER(5, "OneTimeData", WindowSizeData, w_width),
    QUIXO_CB_MEMBER(5, "OneTimeData", WindowSizeData, w_height),
    QUIXO_CB_MEMBER(5, "OneTimeData", WindowSizeData, g_b60),
    QUIXO_CB_MEMBER(5, "OneTimeData", WindowSizeData, g_b61),
    QUIXO_CB_MEMBER(6, "OneTimeData", SpriteData, spritesrcRect),
    QUIXO_CB_MEMBER(6, "OneTimeData", SpriteData, spriteDstRect),
    QUIXO_CB_MEMBER(6, "OneTimeData", SpriteData, spriteZ),
    QUIXO_CB_MEMBER(6, "OneTimeData", SpriteData, spriteRot),
    QUIXO_CB_MEMBER(6, "OneTimeData", SpriteData, spriteAlpha),
    QUIXO_CB_MEMBER(7, "ObjectRun", ObjectRunData, objectRun),
};

#undef QUIXO_CB_MEMBER
#undef QUIXO_CB_WEIGHT

// The host offset of member `member` of the buffer at register slot, or -1 when the host
// struct has no such member.
constexpr std::int64_t HostMemberOffset(int slot, const char* member) {
    for (const ConstantBufferMember& m : kConstantBufferMembers) {
        if (m.slot != slot) continue;
        const char* a = m.member;
        const char* b = member;
        while (*a != 0 && *a == *b) ++a, ++b;
        if (*a == *b) return m.offset;
    }
    return -1;
}

}  // namespace quixo
