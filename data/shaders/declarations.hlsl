// Quixo shader library, part one: what every entry shares.
// The host fills these buffers with the structs of render/constant_buffers.h; offsets must
// match member for member, and the start-up check compares them.

cbuffer PerFrameData : register(b0)
{
    column_major float4x4 viewProj;
    float4 eyePosVS;
    float4 lightDirVS;
    int isBlur;
    int isRenderDof;
    int isRenderBloom;
    int pfdDum0;
};

cbuffer PerObjectData : register(b1)
{
    column_major float4x4 world;
    column_major float4x4 worldViewProj;
    column_major float4x4 oldWorldViewProj;
    float4 options[8];
};

// One item's PerObjectData as a record: the instanced entries read instance i's from
// objectRun[i] instead of the PerObjectData buffer (runs of at most 128 items).
struct ObjectRecord
{
    column_major float4x4 world;
    column_major float4x4 worldViewProj;
    column_major float4x4 oldWorldViewProj;
    float4 options[8];
};

cbuffer ObjectRun : register(b7)
{
    ObjectRecord objectRun[128];
};

// Bloom highlight pass.
cbuffer PostEffectData : register(b2)
{
    float bloomColor;
    float bloomThrethold;
    float bloomPadding0;
    float bloomPadding1;
};

cbuffer GaussFilterData : register(b3)
{
    float gasWeight0;
    float gasWeight1;
    float gasWeight2;
    float gasWeight3;
    float gasWeight4;
    float gasWeight5;
    float gasWeight6;
    float gasWeight7;
    float gasScale;
    float gasSpread;
    float gasPad1;
    float gasPad2;
};

// Depth of field and scene transition, read by the composite.
cbuffer PostEffectData : register(b4)
{
    float dofFocus;
    uint transitionType;
    float transitionFactor;
    float pedPadding0;
};

// Window size, bound once for the whole run.
cbuffer OneTimeData : register(b5)
{
    column_major float4x4 g_60;
    column_major float4x4 g_61;
    float w_width;
    float w_height;
    float g_b60;
    float g_b61;
};

// One sprite, refilled for every sprite drawn.
cbuffer OneTimeData : register(b6)
{
    float4 spritesrcRect;
    float4 spriteDstRect;
    float4 spriteZ;
    float4 spriteRot;
    float4 spriteAlpha;
};

Texture2D colorMap : register(t0);
Texture2D velocityAndDepthMap : register(t1);
Texture2D bloomMap : register(t2);
Texture2D postEffectRT : register(t3);
Texture2D backBufferRT : register(t4);
Texture2D dofBokhRT : register(t5);
Texture2D sprite : register(t6);
Texture2D colorTex : register(t7);

// Every entry samples through at most one of these, so each lands on sampler slot 0, where
// the device keeps its one trilinear wrapping sampler. The intended settings are noted here
// only: quadSampler linear/wrap, g_samLinear linear/clamp, spriteSamLinear linear/wrap.
SamplerState quadSampler;
SamplerState g_samLinear;
SamplerState spriteSamLinear;

// The 68-byte mesh vertex, matched by semantic.
struct VI
{
    float4 P : P;  // position
    float4 N : N;  // normal
    float4 T : T;  // texture coordinate
    float4 C : C;  // colour, unpacked from four bytes
    float4 G : G;  // centre of the vertex's quad
};

struct VO
{
    float4 pos : SV_POSITION;
    float4 col_ : COLOR0;
    float2 uv : TEXCOORD0;
    float3 normal : TEXCOORD1;
    float3 localPos : TEXCOORD2;
    float4 velocity : TEXCOORD3;
};

// VO with the item's specular colour, from the instanced vertex entries to the instanced pixel
// entries, which have no PerObjectData of their own.
struct instancedVO
{
    float4 pos : SV_POSITION;
    float4 col_ : COLOR0;
    float2 uv : TEXCOORD0;
    float3 normal : TEXCOORD1;
    float3 localPos : TEXCOORD2;
    float4 velocity : TEXCOORD3;
    nointerpolation float4 specular : TEXCOORD4;
};

struct spriteVO
{
    float4 pos : SV_POSITION;
    float2 uv : TEXCOORD0;
};
