// quixo-tool eval (--builtin | --sources DIR | --graphs FILE [--tracks FILE]) [--slot N]
// [--scene-frame F]
//                 [--scene-end-frame E] [--aspect A] [--spectrum FILE] [--passes K]
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "authoring/scene_reload.h"
#include "commands.h"
#include "core/camera.h"
#include "core/draw_lists.h"
#include "core/render_device.h"
#include "core/render_settings.h"
#include "core/timeline.h"
#include "eval_input.h"
#include "graph/curve_tracks.h"
#include "graph/graph.h"
#include "graph/scene_data.h"
#include "graph/scene_load.h"
#include "json_out.h"
#include "memory/arena.h"
#include "operators/node_table.h"
#include "platform/spectrum.h"
#include "render/renderer.h"
#include "show_inputs.h"
#include "startup/runtime.h"
#include "startup/show_frame.h"
#include "tool_files.h"

namespace quixo::tool {

namespace {

struct EvalOptions {
    bool builtin = false;
    std::string sources;
    std::string graphs;
    std::string tracks;
    int slot = 0;
    std::int32_t sceneFrame = 0;
    std::int32_t sceneEndFrame = 0;
    float aspect = 1920.0f / 1080.0f;
    std::string spectrum;
    int passes = 1;
};

// Every request gets the first values of one fixed spectrum.
class FixedSpectrum : public SpectrumSource {
public:
    explicit FixedSpectrum(std::vector<float> values) : values_(std::move(values)) {}
    void GetSpectrum(float* out, int count, int) override {
        for (int i = 0; i < count; ++i)
            out[i] = i < static_cast<int>(values_.size()) ? values_[i] : 0;
    }

private:
    std::vector<float> values_;
};

Json Vec(const float* v, int n) {
    return JsonFloats(v, n);
}

// Each element prints as four floats, up to about 64 bytes of JSON. The output is built whole
// before it is printed, so past this many elements (about 64 MiB) it is refused instead.
constexpr std::uint64_t kMaxPrintedElements = std::uint64_t{1} << 20;

std::uint64_t SlotElements(int slot) {
    std::uint64_t total = 0;
    for (int i = 0; i < kNodesPerGraph; ++i) {
        if (Slots().nodes[slot][i].type != 0) total += Slots().values[slot][i].count;
    }
    return total;
}

Json NodesJson(int slot) {
    Json nodes = Json::array();
    const OperatorNode* graph = Slots().nodes[slot];
    const ValueArray* values = Slots().values[slot];
    for (int i = 0; i < kNodesPerGraph; ++i) {
        if (graph[i].type == kNodeEmpty) continue;
        Json elements = Json::array();
        for (std::uint32_t e = 0; e < values[i].count; ++e) {
            const Vec4& v = values[i].elements[e];
            elements.push_back(
                Json::array({JsonFloat(v.x), JsonFloat(v.y), JsonFloat(v.z), JsonFloat(v.w)}));
        }
        nodes.push_back({{"index", i},
                         {"type", graph[i].type},
                         {"count", values[i].count},
                         {"elements", std::move(elements)}});
    }
    return nodes;
}

Json ItemsJson(const DrawItem* items, std::uint32_t count) {
    Json list = Json::array();
    for (std::uint32_t i = 0; i < std::min<std::uint32_t>(count, kDrawListCapacity); ++i) {
        const DrawItem& d = items[i];
        Json options = Json::array();
        for (int k = 0; k < 5; ++k) options.push_back(Vec(d.options + 4 * k, 4));
        list.push_back({{"meshIndex", d.meshIndex},
                        {"vertexShaderIndex", d.vertexShaderIndex},
                        {"pixelShaderIndex", d.pixelShaderIndex},
                        {"textureIndex", d.textureIndex},
                        {"position", Vec(d.position, 3)},
                        {"scale", Vec(d.scale, 3)},
                        {"rotation", Vec(d.rotation, 3)},
                        {"prevPosition", Vec(d.prevPosition, 3)},
                        {"prevScale", Vec(d.prevScale, 3)},
                        {"prevRotation", Vec(d.prevRotation, 3)},
                        {"options", std::move(options)}});
    }
    return list;
}

Json SpritesJson(const DrawLists& lists) {
    Json list = Json::array();
    const std::uint32_t n = std::min<std::uint32_t>(lists.spriteCount, kSpriteListCapacity);
    for (std::uint32_t i = 0; i < n; ++i) {
        const SpriteItem& s = lists.sprites[i];
        list.push_back({{"srcRect", Vec(s.srcRect, 4)},
                        {"center", Vec(s.center, 2)},
                        {"size", Vec(s.size, 2)},
                        {"rotation", JsonFloat(s.rotation)},
                        {"textureIndex", s.textureIndex},
                        {"blendMode", s.blendMode},
                        {"alpha", JsonFloat(s.alpha)},
                        {"key", JsonFloat(s.key)}});
    }
    return list;
}

Json DebugLinesJson(const DrawLists& lists) {
    Json list = Json::array();
    const std::uint32_t n = std::min<std::uint32_t>(lists.debugLineCount, kDebugLineCapacity);
    for (std::uint32_t i = 0; i < n; ++i) {
        const DebugLine& l = lists.debugLines[i];
        Json line = Vec(l.from, 3);
        for (const float v : l.to) line.push_back(JsonFloat(v));
        line.push_back(l.colour);
        list.push_back(std::move(line));
    }
    return list;
}

Json SettingsJson(const RenderSettings& s) {
    return {{"eye", Vec(s.eye, 3)},
            {"target", Vec(s.target, 3)},
            {"up", Vec(s.up, 3)},
            {"fovY", JsonFloat(s.fovY)},
            {"aspect", JsonFloat(s.aspect)},
            {"nearZ", JsonFloat(s.nearZ)},
            {"farZ", JsonFloat(s.farZ)},
            {"lightDir", Vec(s.lightDir, 4)},
            {"clearColor", Vec(s.clearColor, 4)},
            {"bloomEnabled", s.bloomEnabled != 0 ? 1 : 0},
            {"bloomThreshold", JsonFloat(s.bloomThreshold)},
            {"bloomBlurScale", JsonFloat(s.bloomBlurScale)},
            {"bloomColor", JsonFloat(s.bloomColor)},
            {"dofEnabled", s.dofEnabled != 0 ? 1 : 0},
            {"dofFocus", JsonFloat(s.dofFocus)},
            {"motionBlurEnabled", s.motionBlurEnabled != 0 ? 1 : 0},
            {"motionBlurResetDistance", JsonFloat(s.motionBlurResetDistance)},
            {"transitionType", s.transitionType},
            {"transitionFactor", JsonFloat(s.transitionFactor)}};
}

Json CameraJson(const RenderSettings& s) {
    CameraMatrices camera{};
    UpdateCamera(s, camera);
    return {{"view", Vec(&camera.view.m[0][0], 16)},
            {"projection", Vec(&camera.projection.m[0][0], 16)},
            {"viewProj", Vec(&camera.viewProj.m[0][0], 16)}};
}

// The graphs and tracks in working memory, after every check of what was read.
void LoadInputs(const EvalOptions& o) {
    StoredGraphSet set;
    std::vector<StoredNode> graphs;
    std::vector<CurveTrack> tracks(kCurveTrackCount);
    CompiledScenes compiled;
    if (!o.sources.empty()) {
        compiled = CompileSourcesOrFail(o.sources);
        const auto* records = reinterpret_cast<const StoredNode*>(compiled.scenes.data());
        for (int s = 0; s < kSceneCount; ++s) {
            set.slots[s] = records + CompiledSceneTable(compiled)[s].sceneRef * kNodesPerGraph;
        }
        std::memcpy(tracks.data(), compiled.tracks.data(), kStoredTracksBytes);
    } else if (o.builtin) {
        for (int s = 0; s < kSceneCount; ++s) {
            set.slots[s] = StoredScenes() + StoredSceneTable()[s].sceneRef * kNodesPerGraph;
        }
        std::memcpy(tracks.data(), StoredCurveTracks(), kStoredTracksBytes);
    } else {
        graphs = ReadStoredGraphs(o.graphs);
        for (std::size_t s = 0; s < graphs.size() / kNodesPerGraph; ++s) {
            set.slots[s] = graphs.data() + s * kNodesPerGraph;
        }
        if (!o.tracks.empty()) tracks = ReadStoredTracks(o.tracks);
    }
    CheckEvalGraphs(set, o.slot);

    PrepareRuntime();
    AllocateGraphSlots();
    if (o.graphs.empty()) {  // the ten scenes, each through its table entry
        for (int s = 0; s < kSceneCount; ++s) LoadStoredScene(s, set.slots[s]);
    } else {
        LoadStoredScenes(graphs.data(), static_cast<int>(graphs.size() / kNodesPerGraph));
    }
    LoadCurveTracks(Device(), tracks.data());
    Device().displayAspect = o.aspect;
}

int RunEval(const EvalOptions& o) {
    if (int{o.builtin} + int{!o.sources.empty()} + int{!o.graphs.empty()} != 1)
        FailInput("give one of --builtin, --sources DIR or --graphs FILE");
    std::unique_ptr<FixedSpectrum> spectrum;
    if (!o.spectrum.empty()) {
        spectrum = std::make_unique<FixedSpectrum>(ReadSpectrum(o.spectrum));
    }
    LoadInputs(o);
    SetSpectrumSource(spectrum.get());

    // The show's own frame step on the chosen slot: every pass but the last is a whole frame
    // without drawing; the last stops where drawing would begin, so the lists are printed as
    // the renderer would draw them.
    ClockReading clock{};
    clock.scene = o.slot;
    clock.sceneFrame = o.sceneFrame;
    clock.sceneEndFrame = o.sceneEndFrame;
    for (int pass = 0; pass + 1 < o.passes; ++pass)
        RunShowFrame(Device(), clock, FrameOutput::Skip);
    EvaluateShowFrame(Device(), clock);
    BeginFrameState();
    SetSpectrumSource(nullptr);

    const RenderSettings& settings = Settings();
    const DrawLists& lists = Lists();
    if (const std::uint64_t elements = SlotElements(o.slot); elements > kMaxPrintedElements) {
        FailLimit("graph slot " + std::to_string(o.slot) + " holds " + std::to_string(elements) +
                  " elements; eval prints at most " + std::to_string(kMaxPrintedElements));
    }

    PrintJson({{"slot", o.slot},
               {"nodes", NodesJson(o.slot)},
               {"opaque", ItemsJson(lists.opaque, lists.opaqueCount)},
               {"blended", ItemsJson(lists.blended, lists.blendedCount)},
               {"sprites", SpritesJson(lists)},
               {"debugLines", DebugLinesJson(lists)},
               {"settings", SettingsJson(settings)},
               {"camera", CameraJson(settings)}});
    return 0;
}

}  // namespace

CommandRunner SetupEval(CLI::App& sub) {
    auto o = std::make_shared<EvalOptions>();
    auto* builtin = sub.add_flag("--builtin", o->builtin, "the embedded scenes and curve tracks");
    auto* graphs =
        sub.add_option("--graphs", o->graphs, "k stored scenes back to back (k x 18432 bytes)")
            ->check(ReadableFile());
    sub.add_option("--tracks", o->tracks, "64 stored curve tracks (66048 bytes)")
        ->check(ReadableFile())
        ->needs(graphs);
    auto* sources = sub.add_option(
        "--sources", o->sources, "compile DIR/scenes/*.scene and DIR/tracks/*.track and use them");
    builtin->excludes(graphs);
    sources->excludes(builtin)->excludes(graphs);
    sub.add_option("--slot", o->slot, "graph slot to evaluate")
        ->check(CLI::Range(0, kGraphSlots - 1));
    // Every value the clock gives while the show plays, on any timeline the scene compiler
    // accepts (`clock` prints them); 0 is the graph core's value before the first frame.
    sub.add_option("--scene-frame", o->sceneFrame,
                   "sceneFrame, 0.." + std::to_string(kMaxSceneFrame))
        ->check(CLI::Range(0, kMaxSceneFrame));
    sub.add_option("--scene-end-frame", o->sceneEndFrame,
                   "sceneEndFrame, 0.." + std::to_string(kMaxSceneEndFrame))
        ->check(CLI::Range(0, kMaxSceneEndFrame));
    // Every aspect a frame size the tools take (sides 1..8192) gives.
    sub.add_option("--aspect", o->aspect, "displayAspect, 1/8192..8192")
        ->check(CLI::Validator(
            [](std::string& text) -> std::string {
                // Range lets NaN through; the projection needs a finite positive aspect.
                const float a = std::strtof(text.c_str(), nullptr);
                return a >= 1.0f / kMaxFrameSide && a <= float{kMaxFrameSide}
                           ? ""
                           : "must be a number 1/8192..8192";
            },
            "ASPECT"));
    sub.add_option("--spectrum", o->spectrum, "512 little-endian floats for every spectrum request")
        ->check(ReadableFile());
    sub.add_option("--passes", o->passes, "frames to run")->check(CLI::Range(1, 1000000));
    return [o] { return RunEval(*o); };
}

}  // namespace quixo::tool
