#include "render/shader_library.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <thread>

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

struct PendingEntry {
    const char* name = nullptr;
    gfx::ShaderStage stage = gfx::ShaderStage::Vertex;
    gfx::CompiledShader compiled;
    bool ok = false;
    std::string error;
};

// HLSL to GLSL is CPU work without any GL state, and each entry compiles the whole source, so
// the entries are spread over worker threads; the GL objects are made afterwards in list order
// on the calling thread, which owns the context.
void TranslateAll(const ShaderLibrarySource& source, std::vector<PendingEntry>& entries) {
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < entries.size(); i = next++) {
            PendingEntry& e = entries[i];
            e.ok = gfx::CompileHlsl(source.text, source.length, e.name, e.stage, e.compiled,
                                    e.error) &&
                   CheckOffsets(e.compiled, source, e.error);
        }
    };
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t workers = std::min<std::size_t>({cores, 8, entries.size()});
    std::vector<std::thread> threads;
    for (std::size_t t = 1; t < workers; ++t) threads.emplace_back(work);
    work();
    for (std::thread& t : threads) t.join();
}

std::vector<PendingEntry> ListEntries(const char* const* names, gfx::ShaderStage stage) {
    std::vector<PendingEntry> list;
    for (int i = 0; names[i] && i < kShaderTableCapacity; ++i) {
        PendingEntry e;
        e.name = names[i];
        e.stage = stage;
        list.push_back(std::move(e));
    }
    return list;
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
    std::vector<PendingEntry> entries = ListEntries(source.vertexEntries, gfx::ShaderStage::Vertex);
    const std::size_t vertexCount = entries.size();
    for (PendingEntry& e : ListEntries(source.pixelEntries, gfx::ShaderStage::Pixel)) {
        entries.push_back(std::move(e));
    }
    TranslateAll(source, entries);
    ShaderBuildReport report;
    vertexTable.count = 0;
    pixelTable.count = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        PendingEntry& e = entries[i];
        ShaderEntryResult r{e.name, e.ok, e.error};
        if (i < vertexCount) {
            VertexShaderEntry& slot = vertexTable.entries[i];
            r.ok = r.ok && gfx::CreateVertexShader(device, e.compiled, slot.shader, r.error) &&
                   gfx::CreateInputLayout(device, kMeshVertexLayout, 5, slot.shader, slot.layout,
                                          r.error);
            vertexTable.count = static_cast<int>(i + 1);
            report.vertex.push_back(r);
        } else {
            const std::size_t p = i - vertexCount;
            r.ok =
                r.ok && gfx::CreatePixelShader(device, e.compiled, pixelTable.entries[p], r.error);
            pixelTable.count = static_cast<int>(p + 1);
            report.pixel.push_back(r);
        }
        if (!r.ok && stopAtFirstFailure) break;
    }
    return report;
}

void ReleaseShaderTables(gfx::Device& device, VertexShaderTable& vertexTable,
                         PixelShaderTable& pixelTable) {
    for (VertexShaderEntry& entry : vertexTable.entries) {
        gfx::ReleaseInputLayout(device, entry.layout);
        gfx::ReleaseVertexShader(device, entry.shader);
    }
    for (gfx::PixelShader& shader : pixelTable.entries) gfx::ReleasePixelShader(device, shader);
    vertexTable.count = 0;
    pixelTable.count = 0;
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

void CompileShaderLibraryOrStop(gfx::Device& device, const ShaderLibrarySource& source,
                                VertexShaderTable& vertexTable, PixelShaderTable& pixelTable) {
    const ShaderBuildReport report =
        BuildShaderTables(device, source, vertexTable, pixelTable, true);
    if (!report.ok()) {
        // The compiler's text in a box without caption; the program cannot run without the
        // shader, so it stops here with a failure status.
        ShowMessageBox(report.firstError(), "");
        std::exit(1);
    }
}

void CompileShaderLibrary(gfx::Device& device, VertexShaderTable& vertexTable,
                          PixelShaderTable& pixelTable) {
    CompileShaderLibraryOrStop(device, EmbeddedShaderLibrary(), vertexTable, pixelTable);
}

}  // namespace quixo
