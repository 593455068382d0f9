#pragma once
// The shader library compiled at start-up: every vertex entry with its own input layout into
// the VertexShaderTable, every pixel entry into the PixelShaderTable, in list order, and each
// constant-buffer member checked against the host struct that fills it.
#include <cstdint>
#include <string>
#include <vector>

#include "render/constant_buffers.h"
#include "render/gfx/shader.h"

namespace quixo {

constexpr int kShaderTableCapacity = 64;

struct VertexShaderEntry {
    gfx::VertexShader shader;
    gfx::InputLayout layout;
};

struct VertexShaderTable {
    VertexShaderEntry entries[kShaderTableCapacity];
    int count = 0;
};

struct PixelShaderTable {
    gfx::PixelShader entries[kShaderTableCapacity];
    int count = 0;
};

// The five elements of the 68-byte mesh vertex, all in slot 0.
extern const gfx::InputElementDesc kMeshVertexLayout[5];

struct ShaderEntryResult {
    std::string name;
    bool ok = false;
    std::string error;  // the compiler's text, or the layout or offset mismatch
};

struct ShaderBuildReport {
    std::vector<ShaderEntryResult> vertex;
    std::vector<ShaderEntryResult> pixel;
    bool ok() const;
    // The first failure's text (empty when all compiled).
    std::string firstError() const;
};

struct ShaderLibrarySource {
    const char* text;
    std::uint32_t length;              // what the compiler reads; the text need not be terminated
    const char* const* vertexEntries;  // closed by a null entry
    const char* const* pixelEntries;
    const ConstantBufferMember* hostMembers;
    int hostMemberCount;
};

// Compiles every entry (all of them, also after a failure, so the report is complete). With
// stopAtFirstFailure the build ends at the first entry that fails.
ShaderBuildReport BuildShaderTables(gfx::Device& device, const ShaderLibrarySource& source,
                                    VertexShaderTable& vertexTable, PixelShaderTable& pixelTable,
                                    bool stopAtFirstFailure = false);

// Every shader and input layout of the two tables; both tables are empty afterwards.
void ReleaseShaderTables(gfx::Device& device, VertexShaderTable& vertexTable,
                         PixelShaderTable& pixelTable);

// The start-up step: joins the stored pieces in the MemoryArena and builds the tables; an
// entry that fails shows the compiler's text in a message box and stops the program.
void CompileShaderLibrary(gfx::Device& device, VertexShaderTable& vertexTable,
                          PixelShaderTable& pixelTable);

// The same for any source: on the first failing entry, the box with its text, then exit 1.
void CompileShaderLibraryOrStop(gfx::Device& device, const ShaderLibrarySource& source,
                                VertexShaderTable& vertexTable, PixelShaderTable& pixelTable);

// The embedded library as a build source (the joined text in the MemoryArena).
ShaderLibrarySource EmbeddedShaderLibrary();

}  // namespace quixo
