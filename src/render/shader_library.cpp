#include "render/shader_library.h"

#include <cstdlib>

#include "platform/message_box.h"
#include "render/shader_source.h"

namespace quixo {

using gfx::Format;

const gfx::InputElementDesc kMeshVertexLayout[5] = {
    {"P", 0, Format::R32G32B32A32_FLOAT, 0, 0},  {"N", 0, Format::R32G32B32A32_FLOAT, 0, 16},
    {"T", 0, Format::R32G32B32A32_FLOAT, 0, 32}, {"C", 0, Format::R8G8B8A8_UNORM, 0, 48},
    {"G", 0, Format::R32G32B32A32_FLOAT, 0, 52},
};

namespace {

// Every member the shader reads must sit where the host struct writes it.
bool CheckOffsets(const gfx::CompiledShader& compiled, const ShaderLibrarySource& source,
                  std::string& error) {
    for (const gfx::CbufferMember& m : compiled.members) {
        const ConstantBufferMember* host = nullptr;
        for (int i = 0; i < source.hostMemberCount && !host; ++i) {
            const ConstantBufferMember& h = source.hostMembers[i];
            if (h.slot == static_cast<int>(m.slot) && m.member == h.member) host = &h;
        }
        const std::string where = compiled.entry + ": cbuffer " + m.buffer + " (b" +
                                  std::to_string(m.slot) + ") member " + m.member;
        if (!host) {
            error = where + " has no host field";
            return false;
        }
        if (host->offset != m.offset) {
            error = where + " is at offset " + std::to_string(m.offset) + " in the shader but at " +
                    std::to_string(host->offset) + " on the host";
            return false;
        }
    }
    return true;
}

bool BuildVertexEntry(gfx::Device& device, const ShaderLibrarySource& source, const char* name,
                      VertexShaderEntry& entry, std::string& error) {
    gfx::CompiledShader compiled;
    return gfx::CompileHlsl(source.text, source.length, name, gfx::ShaderStage::Vertex, compiled,
                            error) &&
           CheckOffsets(compiled, source, error) &&
           gfx::CreateVertexShader(device, compiled, entry.shader, error) &&
           gfx::CreateInputLayout(device, kMeshVertexLayout, 5, entry.shader, entry.layout, error);
}

bool BuildPixelEntry(gfx::Device& device, const ShaderLibrarySource& source, const char* name,
                     gfx::PixelShader& shader, std::string& error) {
    gfx::CompiledShader compiled;
    return gfx::CompileHlsl(source.text, source.length, name, gfx::ShaderStage::Pixel, compiled,
                            error) &&
           CheckOffsets(compiled, source, error) &&
           gfx::CreatePixelShader(device, compiled, shader, error);
}

}  // namespace

bool ShaderBuildReport::ok() const {
    return firstError().empty() && !vertex.empty();
}

std::string ShaderBuildReport::firstError() const {
    for (const auto* list : {&vertex, &pixel}) {
        for (const ShaderEntryResult& r : *list) {
            if (!r.ok) return r.error.empty() ? r.name + ": failed" : r.error;
        }
    }
    return "";
}

ShaderBuildReport BuildShaderTables(gfx::Device& device, const ShaderLibrarySource& source,
                                    VertexShaderTable& vertexTable, PixelShaderTable& pixelTable,
                                    bool stopAtFirstFailure) {
    ShaderBuildReport report;
    vertexTable.count = 0;
    pixelTable.count = 0;
    for (int i = 0; source.vertexEntries[i] && i < kShaderTableCapacity; ++i) {
        ShaderEntryResult r{source.vertexEntries[i], false, ""};
        r.ok = BuildVertexEntry(device, source, r.name.c_str(), vertexTable.entries[i], r.error);
        vertexTable.count = i + 1;
        report.vertex.push_back(r);
        if (!r.ok && stopAtFirstFailure) return report;
    }
    for (int i = 0; source.pixelEntries[i] && i < kShaderTableCapacity; ++i) {
        ShaderEntryResult r{source.pixelEntries[i], false, ""};
        r.ok = BuildPixelEntry(device, source, r.name.c_str(), pixelTable.entries[i], r.error);
        pixelTable.count = i + 1;
        report.pixel.push_back(r);
        if (!r.ok && stopAtFirstFailure) return report;
    }
    return report;
}

ShaderLibrarySource EmbeddedShaderLibrary() {
    const ShaderSource joined = AssembleShaderSource();
    return {joined.text,
            joined.length,
            kVertexShaderEntries,
            kPixelShaderEntries,
            kConstantBufferMembers,
            static_cast<int>(sizeof kConstantBufferMembers / sizeof kConstantBufferMembers[0])};
}

void CompileShaderLibrary(gfx::Device& device, VertexShaderTable& vertexTable,
                          PixelShaderTable& pixelTable) {
    const ShaderBuildReport report =
        BuildShaderTables(device, EmbeddedShaderLibrary(), vertexTable, pixelTable, true);
    if (!report.ok()) {
        // The compiler's text in a box without caption; the program cannot run without the
        // shader, so it stops here with a failure status.
        ShowMessageBox(report.firstError(), "");
        std::exit(1);
    }
}

}  // namespace quixo
