#include "tool_files.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "json_out.h"
#include "platform/child_process.h"
#include "platform/files.h"
#include "platform/module_decoder.h"

namespace quixo::tool {

namespace {

// The temporaries alive now, as fixed C strings so that the signal handler can unlink them
// without allocating. A tool run holds at most a few.
constexpr int kMaxTemporaries = 4;
constexpr std::size_t kMaxTemporaryPath = 4096;
char g_temporaries[kMaxTemporaries][kMaxTemporaryPath];
volatile std::sig_atomic_t g_held[kMaxTemporaries];
volatile std::sig_atomic_t g_child = 0;

void RemoveTemporaries() {
    for (int i = 0; i < kMaxTemporaries; ++i) {
        if (g_held[i] != 0) RemoveFileNow(g_temporaries[i]);
    }
}

extern "C" void RemoveTemporariesAndStop(int signal) {
    if (g_child > 0) StopChildProcess(g_child);
    RemoveTemporaries();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void InstallRemoval() {
    static const bool installed = [] {
        std::atexit(RemoveTemporaries);  // std::exit leaves destructors unrun
        OnStopRequest(RemoveTemporariesAndStop);
        return true;
    }();
    (void)installed;
}

int HoldTemporary(const std::string& path) {
    for (int i = 0; i < kMaxTemporaries; ++i) {
        if (g_held[i] != 0 || path.size() >= kMaxTemporaryPath) continue;
        std::memcpy(g_temporaries[i], path.c_str(), path.size() + 1);
        g_held[i] = 1;
        return i;
    }
    return -1;
}

[[noreturn]] void FailWrite(const std::string& target, const std::string& why) {
    throw ToolError{1, "cannot write " + target + ": " + why};
}

}  // namespace

void StopWithTool(int pid) {
    InstallRemoval();
    g_child = pid;
}

CLI::Validator ReadableFile() {
    return CLI::Validator(
        [](std::string& path) -> std::string { return ReadableFileProblem(path); }, "FILE");
}

std::vector<std::uint8_t> ReadInputFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!ReadFileBytes(path, &bytes, &error))
        throw ToolError{1, "cannot read " + path + ": " + error};
    return bytes;
}

TemporaryFile::TemporaryFile(const std::string& target, const std::string& suffix)
    : target_(target) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (target.empty()) FailWrite("\"\"", "no file named");
    const fs::path file = PathFromUtf8(target);
    if (fs::is_directory(file, ec)) FailWrite(target, "it is a directory");
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, ec)) FailWrite(target, "no folder " + PathToUtf8(folder));
    // Hidden, beside the target: the rename stays within one file system.
    std::string name =
        PathToUtf8(folder / PathFromUtf8("." + PathToUtf8(file.filename()) + ".XXXXXX")) + suffix;
    InstallRemoval();
    std::string error;
    if (!CreateUniqueFile(name, suffix.size(), &error)) FailWrite(target, error);
    path_ = name;
    slot_ = HoldTemporary(path_);
    if (slot_ < 0) {
        RemoveFileNow(path_.c_str());
        FailWrite(target, "too many temporary files");
    }
}

TemporaryFile::~TemporaryFile() {
    if (slot_ < 0) return;
    RemoveFileNow(path_.c_str());
    g_held[slot_] = 0;
}

void TemporaryFile::Commit() {
    std::string error;
    if (!ReplaceWithFile(path_, target_, &error)) FailWrite(target_, error);
    g_held[slot_] = 0;
    slot_ = -1;
}

}  // namespace quixo::tool
