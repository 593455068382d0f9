// quixo-tool shaders: compiles every entry of the embedded shader library on a headless
// device, as start-up does, and reports each entry; exit 3 when any entry fails.
#include <chrono>

#include "commands.h"
#include "json_out.h"
#include "memory/arena.h"
#include "render/gfx/headless.h"
#include "render/shader_library.h"
#include "render/shader_source.h"

namespace quixo::tool {

namespace {

Json EntryList(const std::vector<ShaderEntryResult>& results) {
    Json list = Json::array();
    for (const ShaderEntryResult& r : results) {
        list.push_back({{"name", r.name}, {"ok", r.ok}, {"error", r.error}});
    }
    return list;
}

}  // namespace

CommandRunner SetupShaders(CLI::App& sub) {
    (void)sub;
    return [] {
        SetupArenas();
        static gfx::HeadlessGraphics graphics;
        std::string error;
        if (!gfx::StartHeadless(graphics, 16, 16, error)) FailLimit("no headless device: " + error);
        static VertexShaderTable vertex;
        static PixelShaderTable pixel;
        const auto start = std::chrono::steady_clock::now();
        const ShaderBuildReport report =
            BuildShaderTables(graphics.device, EmbeddedShaderLibrary(), vertex, pixel);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        PrintJson({{"vertex", EntryList(report.vertex)},
                   {"pixel", EntryList(report.pixel)},
                   {"seconds", seconds}});
        return report.ok() ? 0 : 3;
    };
}

Json ShaderSourceStats() {
    return Json::array({ShaderDeclarationsPiece().size(), ShaderFunctionsPiece().size()});
}

}  // namespace quixo::tool
