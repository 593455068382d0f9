#include "tool_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "json_out.h"
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
        if (g_held[i] != 0) unlink(g_temporaries[i]);
    }
}

extern "C" void RemoveTemporariesAndStop(int signal) {
    if (g_child > 0) kill(static_cast<pid_t>(g_child), SIGTERM);
    RemoveTemporaries();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void InstallRemoval() {
    static const bool installed = [] {
        std::atexit(RemoveTemporaries);  // std::exit leaves destructors unrun
        for (const int s : {SIGINT, SIGTERM, SIGHUP}) {
            struct sigaction action {};
            action.sa_handler = RemoveTemporariesAndStop;
            sigemptyset(&action.sa_mask);
            sigaction(s, &action, nullptr);
        }
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
        [](std::string& path) -> std::string {
            struct stat info {};
            if (stat(path.c_str(), &info) != 0) return path + ": " + std::strerror(errno);
            if (S_ISDIR(info.st_mode)) return path + " is a directory, not a file";
            if (!S_ISREG(info.st_mode)) return path + " is not a regular file";
            if (access(path.c_str(), R_OK) != 0) return path + ": " + std::strerror(errno);
            return "";
        },
        "FILE");
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
    if (fs::is_directory(target, ec)) FailWrite(target, "it is a directory");
    const fs::path file(target);
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, ec)) FailWrite(target, "no folder " + folder.string());
    // Hidden, beside the target: the rename stays within one file system.
    std::string name = (folder / ("." + file.filename().string() + ".XXXXXX")).string() + suffix;
    InstallRemoval();
    const int fd = mkstemps(name.data(), static_cast<int>(suffix.size()));
    if (fd < 0) FailWrite(target, std::strerror(errno));
    close(fd);
    path_ = name;
    slot_ = HoldTemporary(path_);
    if (slot_ < 0) {
        unlink(path_.c_str());
        FailWrite(target, "too many temporary files");
    }
}

TemporaryFile::~TemporaryFile() {
    if (slot_ < 0) return;
    unlink(path_.c_str());
    g_held[slot_] = 0;
}

void TemporaryFile::Commit() {
    // mkstemp makes the file private (0600); the target gets what creating it would have given.
    const mode_t mask = umask(0);
    umask(mask);
    if (chmod(path_.c_str(), 0666 & ~mask) != 0 || std::rename(path_.c_str(), target_.c_str()) != 0)
        FailWrite(target_, std::strerror(errno));
    g_held[slot_] = 0;
    slot_ = -1;
}

}  // namespace quixo::tool
