// quixo-tool render --frame F [--size WxH] [--fxaa on|off]
//                   [--sources DIR | --graphs FILE [--tracks FILE]] --out FILE.png
#include <memory>
#include <string>

#include "commands.h"
#include "headless_show.h"
#include "json_out.h"
#include "png_out.h"
#include "render/renderer.h"
#include "show_inputs.h"

namespace quixo::tool {

namespace {

struct RenderOptions {
    std::int64_t frame = 0;
    std::string size = "1920x1080";
    std::string fxaa = "on";
    std::string out;
    ShowInputs inputs;
};

}  // namespace

CommandRunner SetupRender(CLI::App& sub) {
    auto o = std::make_shared<RenderOptions>();
    sub.add_option("--frame", o->frame, "the frame of the show, 0..8199")
        ->required()
        ->check(ShowFrameRange());
    sub.add_option("--size", o->size, "back-buffer size WxH (default 1920x1080)");
    sub.add_option("--fxaa", o->fxaa, "the anti-aliasing pass (default on)")
        ->check(CLI::IsMember({"on", "off"}));
    sub.add_option("--out", o->out, "the PNG file to write")->required();
    AddShowInputOptions(sub, o->inputs);
    return [o] {
        const FrameSize size = ParseFrameSize(o->size);
        const LoadedShowInputs loaded = ReadShowInputs(o->inputs);
        TemporaryFile out(o->out);
        auto show = std::make_unique<HeadlessShow>();
        StartHeadlessShow(*show, size, o->fxaa == "on", false);
        ApplyShowInputs(*show, o->inputs, loaded);
        StartShowMusic(*show, false);
        const ClockReading clock = PlayUpTo(*show, static_cast<std::int32_t>(o->frame));
        WritePng(out, ShownFrame(*show), size.width, size.height);
        PrintJson({{"frame", clock.frame},
                   {"scene", clock.scene},
                   {"sceneFrame", clock.sceneFrame},
                   {"seconds", clock.frame / 60.0},
                   {"glErrors", ShowGlErrors(*show)}});
        return 0;
    };
}

}  // namespace quixo::tool
