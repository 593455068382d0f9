// Files and the process on Linux: POSIX calls, paths passed through as they are.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/files.h"

namespace quixo {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

void KeepOutputBytes() {}

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

int OpenForReading(const std::string& path) {
    return open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

std::string ReadableFileProblem(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return path + ": " + std::strerror(errno);
    if (S_ISDIR(info.st_mode)) return path + " is a directory, not a file";
    if (!S_ISREG(info.st_mode)) return path + " is not a regular file";
    if (access(path.c_str(), R_OK) != 0) return path + ": " + std::strerror(errno);
    return "";
}

bool CreateUniqueFile(std::string& name, std::size_t suffixLength, std::string* error) {
    const int fd = mkstemps(name.data(), static_cast<int>(suffixLength));
    if (fd < 0) {
        *error = std::strerror(errno);
        return false;
    }
    close(fd);
    return true;
}

void RemoveFileNow(const char* path) {
    unlink(path);
}

bool ReplaceWithFile(const std::string& file, const std::string& target, std::string* error) {
    // mkstemp makes the file private (0600); the target gets what creating it would have given.
    const mode_t mask = umask(0);
    umask(mask);
    if (chmod(file.c_str(), 0666 & ~mask) != 0 || std::rename(file.c_str(), target.c_str()) != 0) {
        *error = std::strerror(errno);
        return false;
    }
    return true;
}

bool FlushToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && fsync(fileno(file)) == 0;
}

void OnStopRequest(void (*handler)(int signal)) {
    for (const int s : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction action {};
        action.sa_handler = handler;
        sigemptyset(&action.sa_mask);
        sigaction(s, &action, nullptr);
    }
}

void IgnoreBrokenPipes() {
    std::signal(SIGPIPE, SIG_IGN);
}

std::string FindProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        const std::string dir = dirs.substr(start, end - start);
        if (!dir.empty()) {
            const std::string candidate = dir + "/" + name;
            if (access(candidate.c_str(), X_OK) == 0) return candidate;
        }
        start = end + 1;
    }
    return "";
}

// Single quotes, each quote inside closed, escaped and reopened.
std::string QuoteForShell(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::FILE* OpenPipeForWriting(const std::string& command) {
    return popen(command.c_str(), "w");
}

int ClosePipe(std::FILE* pipe) {
    return pclose(pipe);
}

// The kernel's start time of the process, in clock ticks since boot, against the boot-time
// clock.
double SecondsSinceProcessStart() {
    std::FILE* f = std::fopen("/proc/self/stat", "r");
    if (f == nullptr) return -1.0;
    char line[1024] = {};
    const std::size_t n = std::fread(line, 1, sizeof line - 1, f);
    std::fclose(f);
    line[n] = '\0';
    // Field 22; the command name (field 2) may hold spaces, so count from its closing bracket.
    const char* p = std::strrchr(line, ')');
    unsigned long long startTicks = 0;
    for (int field = 3; p != nullptr && field <= 22; ++field) {
        p = std::strchr(p + 1, ' ');
        if (p != nullptr && field == 22) startTicks = std::strtoull(p + 1, nullptr, 10);
    }
    timespec now{};
    if (p == nullptr || clock_gettime(CLOCK_BOOTTIME, &now) != 0) return -1.0;
    const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9 -
           static_cast<double>(startTicks) / ticks;
}

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

}  // namespace quixo
