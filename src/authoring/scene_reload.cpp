#include "authoring/scene_reload.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

#include "authoring/graph_check.h"
#include "graph/curve_tracks.h"
#include "graph/scene_load.h"
#include "memory/arena.h"
#include "platform/files.h"

namespace quixo {

namespace {

namespace fs = std::filesystem;

// The files of dir/sub ending in ext, sorted so that errors come out in a fixed order.
std::vector<fs::path> SourcePaths(const fs::path& folder, const char* ext) {
    std::vector<fs::path> paths;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().extension() == ext && it->is_regular_file(ec)) paths.push_back(it->path());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

bool ReadSources(const fs::path& folder, const char* ext, std::vector<SourceFile>& files,
                 std::vector<SourceError>& errors) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        errors.push_back({PathToUtf8(folder), 0, "not a readable folder"});
        return false;
    }
    bool ok = true;
    for (const fs::path& path : SourcePaths(folder, ext)) {
        std::ifstream in(path, std::ios::binary);
        SourceFile file{PathToUtf8(path), {}};
        file.text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (!in || in.bad()) {
            errors.push_back({file.name, 0, "cannot read"});
            ok = false;
            continue;
        }
        files.push_back(std::move(file));
    }
    return ok;
}

}  // namespace

bool ReadSourceFolder(const std::string& dir, std::vector<SourceFile>& scenes,
                      std::vector<SourceFile>& tracks, std::vector<SourceError>& errors) {
    const bool scenesOk = ReadSources(PathFromUtf8(dir) / "scenes", ".scene", scenes, errors);
    const bool tracksOk = ReadSources(PathFromUtf8(dir) / "tracks", ".track", tracks, errors);
    return scenesOk && tracksOk;
}

bool RecompileSourceFolder(const std::string& dir, CompiledScenes& current,
                           std::vector<SourceError>& errors) {
    std::vector<SourceFile> scenes, tracks;
    if (!ReadSourceFolder(dir, scenes, tracks, errors)) return false;
    CompiledScenes next;
    if (!CompileSceneSources(scenes, tracks, next, errors)) return false;
    current = std::move(next);
    return true;
}

const SceneEntry* CompiledSceneTable(const CompiledScenes& compiled) {
    return reinterpret_cast<const SceneEntry*>(compiled.scenes.data() +
                                               kSceneCount * kStoredSceneBytes);
}

std::array<std::int32_t, kSceneCount> CompiledDurations(const CompiledScenes& compiled) {
    std::array<std::int32_t, kSceneCount> durations{};
    const SceneEntry* table = CompiledSceneTable(compiled);
    for (int s = 0; s < kSceneCount; ++s) durations[s] = table[s].duration;
    return durations;
}

namespace {

// Scene s's 256 records, found through the compiled scene table.
const StoredNode* CompiledSceneRecords(const CompiledScenes& compiled, int s) {
    const auto* records = reinterpret_cast<const StoredNode*>(compiled.scenes.data());
    return records + CompiledSceneTable(compiled)[s].sceneRef * kNodesPerGraph;
}

}  // namespace

void LoadCompiledScenes(RenderDevice& rd, const CompiledScenes& compiled) {
    for (int s = 0; s < kSceneCount; ++s) LoadStoredScene(s, CompiledSceneRecords(compiled, s));
    LoadCurveTracks(rd, reinterpret_cast<const CurveTrack*>(compiled.tracks.data()));
}

bool ReloadSceneSources(RenderDevice& rd, const std::string& dir, CompiledScenes& current,
                        std::vector<SourceError>& errors) {
    CompiledScenes next;
    if (!RecompileSourceFolder(dir, next, errors)) return false;
    // Every load takes fresh element blocks and the arena never frees: refuse the reload that
    // would run into the arena's warning mark rather than stop the running show.
    std::uint64_t need = 0;
    for (int s = 0; s < kSceneCount; ++s) need += GraphStorageBytes(CompiledSceneRecords(next, s));
    if (MemoryArena().fillOffset + need > kArenaWarnOffset) {
        errors.push_back({dir, 0, "the memory arena has no room for another reload; restart"});
        return false;
    }
    current = std::move(next);
    LoadCompiledScenes(rd, current);
    return true;
}

std::int64_t SourceFolderStamp(const std::string& dir) {
    // Folded over every file in name order, so that an edit to any file, or a file added or
    // removed, changes the stamp (file-clock times may well be negative).
    std::uint64_t stamp = 0;
    for (const auto& [sub, ext] : {std::pair{"scenes", ".scene"}, std::pair{"tracks", ".track"}}) {
        for (const fs::path& path : SourcePaths(PathFromUtf8(dir) / sub, ext)) {
            std::error_code ec;
            const auto time = fs::last_write_time(path, ec);
            const auto ticks = ec ? 0 : time.time_since_epoch().count();
            stamp = stamp * 1000003u + static_cast<std::uint64_t>(ticks) + 1;
        }
    }
    return static_cast<std::int64_t>(stamp);
}

}  // namespace quixo
