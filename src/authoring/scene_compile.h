#pragma once
// Compiles the readable scene and track sources into the stored binary records: ten scenes of
// 256 records followed by the scene table, and the 64 curve tracks. Used by the build-time data
// compiler and by tools that compile sources at run time.
#include <cstdint>
#include <string>
#include <vector>

#include "authoring/source_text.h"

namespace quixo {

struct SourceFile {
    std::string name;  // as errors should name it
    std::string text;
};

struct CompiledScenes {
    std::vector<std::uint8_t> scenes;  // 10 × 18432 bytes of records, then 80 bytes of table
    std::vector<std::uint8_t> tracks;  // 64 × 1032 bytes
};

// Parses and validates every source (each scene exactly once, the durations covering the whole
// show, every graph within the system's limits, sub-graph calls included, track samplers naming
// tracks of two keys or more, and every mesh, shader and texture index naming an entry of its
// table). On success fills out and returns true; otherwise appends the faults with file and
// line.
bool CompileSceneSources(const std::vector<SourceFile>& sceneFiles,
                         const std::vector<SourceFile>& trackFiles, CompiledScenes& out,
                         std::vector<SourceError>& errors);

}  // namespace quixo
