#pragma once
// The shader library's source and entry lists. The source is stored as two pieces that the
// compiler sees as one text: piece one followed directly by piece two.
#include <cstdint>
#include <string_view>

#include "memory/arena.h"

namespace quixo {

// The entries draw items may name: the first kVertexShaderCount and kPixelShaderCount of each
// list. Behind them come the instanced forms, which the renderer picks itself for runs of items.
constexpr int kVertexShaderCount = 19;
constexpr int kPixelShaderCount = 21;
constexpr int kVertexShaderTableCount = kVertexShaderCount + 2;
constexpr int kPixelShaderTableCount = kPixelShaderCount + 1;

// Entry names in table order, each list closed by a null entry. Draw items and passes pick
// shaders by index in these lists.
extern const char* const kVertexShaderEntries[kVertexShaderTableCount + 1];
extern const char* const kPixelShaderEntries[kPixelShaderTableCount + 1];

// Fixed pass indices (the same in both tables).
constexpr int kShaderDebugLine = 0;
constexpr int kShaderVelocityAndDepth = 1;
constexpr int kShaderComposite = 2;
constexpr int kShaderFxaa = 3;
constexpr int kShaderBloomHighlight = 4;
constexpr int kShaderGauss1 = 5;
constexpr int kShaderGauss2 = 6;
constexpr int kShaderSprite = 7;
// The object pairs the stored scenes use.
constexpr int kVertexShaderBaseCook = 10;
constexpr int kPixelShaderBaseCook = 10;
constexpr int kVertexShaderTexTest = 17;
constexpr int kPixelShaderTexTest = 18;
// Instanced forms (per-object data from the ObjectRun buffer, one record per instance).
constexpr int kVertexShaderVelocityInstanced = 19;
constexpr int kVertexShaderBaseCookInstanced = 20;
constexpr int kPixelShaderBaseCookInstanced = 21;

// The two stored pieces, without their terminating zero.
std::string_view ShaderDeclarationsPiece();
std::string_view ShaderFunctionsPiece();

// The joined source: `length` bytes of text followed by two zero bytes.
struct ShaderSource {
    const char* text;
    std::uint32_t length;
};

// One block of first.size() + second.size() + 2 bytes from the arena, first then second,
// the two spare bytes left zero.
ShaderSource JoinShaderPieces(Arena& arena, std::string_view first, std::string_view second);

// The stored library joined in the MemoryArena.
ShaderSource AssembleShaderSource();

}  // namespace quixo
