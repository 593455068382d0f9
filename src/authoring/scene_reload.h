#pragma once
// Compiling the scene and track sources of a data folder at run time, so that the authoring
// tools can show a change without a rebuild. A failed compile never replaces what is loaded.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "authoring/scene_compile.h"
#include "core/render_device.h"
#include "graph/graph_types.h"

namespace quixo {

// DIR/scenes/*.scene and DIR/tracks/*.track in name order, each named DIR/scenes/NAME as its
// errors will show it. A folder or file that cannot be read is reported as an error.
bool ReadSourceFolder(const std::string& dir, std::vector<SourceFile>& scenes,
                      std::vector<SourceFile>& tracks, std::vector<SourceError>& errors);

// Reads and compiles the sources under dir. On success replaces current and returns true;
// otherwise current is left as it was and errors holds the faults with file and line.
bool RecompileSourceFolder(const std::string& dir, CompiledScenes& current,
                           std::vector<SourceError>& errors);

// The scene table after the ten compiled scenes.
const SceneEntry* CompiledSceneTable(const CompiledScenes& compiled);

// The ten scene durations of a compiled set: the clock's timeline.
std::array<std::int32_t, kSceneCount> CompiledDurations(const CompiledScenes& compiled);

// The compiled scenes into graph slots 0..9 through their table and the tracks into the
// device's curve tracks (the graph slots must be allocated). Each load takes fresh element
// blocks from the memory arena.
void LoadCompiledScenes(RenderDevice& rd, const CompiledScenes& compiled);

// What a running show does when its sources change: recompiles them, and on success loads
// them into the graph slots and tracks and makes them current. On a fault nothing loaded
// changes, so the last good scenes keep playing, and errors names file and line. A reload
// that would fill the memory arena past its warning mark is refused the same way.
bool ReloadSceneSources(RenderDevice& rd, const std::string& dir, CompiledScenes& current,
                        std::vector<SourceError>& errors);

// A fingerprint of the modification times of the folder's source files: it changes when a
// file is edited, added or removed.
std::int64_t SourceFolderStamp(const std::string& dir);

}  // namespace quixo
