#include "track_files.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "authoring/track_save.h"
#include "json_out.h"
#include "platform/module_decoder.h"
#include "tool_files.h"

namespace quixo::tool {

namespace {

std::string FileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

bool SameOnDisk(const SourceFile& file) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    return ReadFileBytes(file.name, &bytes, &error) &&
           std::string(bytes.begin(), bytes.end()) == file.text;
}

void WriteWhole(const SourceFile& file) {
    TemporaryFile temporary(file.name);
    {
        std::ofstream out(temporary.path(), std::ios::binary | std::ios::trunc);
        out << file.text;
        out.flush();
        if (!out) throw ToolError{1, "cannot write " + file.name};
    }
    temporary.Commit();
}

}  // namespace

TrackSaveResult SaveTrackFiles(const std::vector<SourceFile>& loaded,
                               const std::vector<SourceFile>& scenes, const CurveTrack* table,
                               bool overwrite) {
    const auto start = std::chrono::steady_clock::now();
    TrackSaveResult result;
    result.files = loaded;
    std::vector<SourceFile> next;
    std::vector<SourceError> errors;
    if (!RewriteTrackSources(loaded, table, next, errors)) {
        result.message = "not saved: " + FormatSourceError(errors.front());
        return result;
    }
    CompiledScenes check;
    if (!CompileSceneSources(scenes, next, check, errors)) {
        result.message =
            "not saved, the build would refuse it: " + FormatSourceError(errors.front());
        return result;
    }
    std::vector<std::size_t> writes;
    for (std::size_t i = 0; i < next.size(); ++i) {
        if (next[i].text != loaded[i].text) writes.push_back(i);
    }
    if (writes.empty()) {
        result.ok = true;
        result.message = "nothing to save";
        return result;
    }
    for (const std::size_t i : writes) {
        if (!overwrite && !SameOnDisk(loaded[i])) result.changedOnDisk.push_back(loaded[i].name);
    }
    if (!result.changedOnDisk.empty()) {
        result.message = "not saved: " + FileName(result.changedOnDisk.front()) +
                         " changed on disk since it was loaded; Ctrl+S again writes over it, "
                         "Ctrl+R loads it instead";
        return result;
    }
    std::string names;
    try {
        for (const std::size_t i : writes) {
            WriteWhole(next[i]);
            result.files[i] = next[i];
            names += (names.empty() ? "" : ", ") + FileName(next[i].name);
        }
    } catch (const ToolError& e) {
        result.message = "not saved: " + e.message;
        return result;
    }
    result.ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    char took[32];
    std::snprintf(took, sizeof took, " in %.1f ms", result.ms);
    result.ok = true;
    result.message = "saved " + names + took;
    return result;
}

}  // namespace quixo::tool
