#include "e2e/x_session.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>
#include <utility>

// Last: its macros (None, Bool) would break the headers above.
#include <X11/Xlib.h>

namespace quixo::e2e {

namespace {

constexpr const char* kInsideVariable = "QUIXO_E2E_XSERVER";
// The inner run's answer when its server cannot be reached (xvfb-run can lose a race for a
// display number to another server); the outer run then tries again.
constexpr int kNoServerStatus = 77;
constexpr int kServerAttempts = 3;

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string SelfPath() {
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
}

}  // namespace

bool InPrivateXServer() {
    if (std::getenv(kInsideVariable)) {
        // Held open for the whole run: a server whose last client leaves resets itself, and
        // a program connecting during the reset is turned away.
        static Display* const held = XOpenDisplay(nullptr);
        if (!held) std::exit(kNoServerStatus);
        return true;
    }
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    const std::string filter = std::string(info->test_suite_name()) + "." + info->name();
    CommandResult run{-1, ""};
    for (int attempt = 0; attempt < kServerAttempts; ++attempt) {
        // Start the search for a free display number away from where everyone else starts.
        const int first = 100 + static_cast<int>((getpid() * 7 + attempt * 131) % 3000);
        run = RunCommand("xvfb-run -n " + std::to_string(first) +
                             " -a -s '-screen 0 1280x1024x24 -noreset' env " + kInsideVariable +
                             "=1 " + Quote(SelfPath()) + " --gtest_filter=" + Quote(filter),
                         120);
        if (run.status != kNoServerStatus) break;
    }
    EXPECT_EQ(run.status, 0) << "the run under Xvfb failed:\n" << run.output;
    return false;
}

CommandResult RunCommand(const std::string& command, int timeoutSeconds) {
    const std::string line =
        "timeout -k 2 " + std::to_string(timeoutSeconds) + " sh -c " + Quote(command) + " 2>&1";
    CommandResult result{-1, ""};
    FILE* pipe = popen(line.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    const int status = pclose(pipe);
    // 124 is what timeout answers for a command it had to stop.
    if (WIFEXITED(status) && WEXITSTATUS(status) != 124) result.status = WEXITSTATUS(status);
    return result;
}

Process::Process(Process&& other) noexcept : pid(other.pid), outputFd(other.outputFd) {
    other.pid = -1;
    other.outputFd = -1;
}

Process& Process::operator=(Process&& other) noexcept {
    std::swap(pid, other.pid);
    std::swap(outputFd, other.outputFd);
    return *this;
}

Process::~Process() {
    if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    if (outputFd >= 0) close(outputFd);
}

Process StartProcess(const std::string& path, const std::string& environment) {
    Process process;
    char name[] = "/tmp/quixo-e2e-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) return process;
    unlink(name);
    process.outputFd = fd;
    process.pid = fork();
    if (process.pid == 0) {
        std::istringstream entries(environment);
        std::string entry;
        while (entries >> entry) {
            const size_t eq = entry.find('=');
            if (eq == std::string::npos) {
                unsetenv(entry.c_str());
            } else {
                setenv(entry.substr(0, eq).c_str(), entry.substr(eq + 1).c_str(), 1);
            }
        }
        dup2(fd, STDOUT_FILENO);
        dup2(fd, STDERR_FILENO);
        close(fd);
        execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return process;
}

int WaitForExit(Process& process, std::chrono::milliseconds limit) {
    if (process.pid <= 0) return -1;
    const Clock::time_point deadline = Clock::now() + limit;
    int status = 0;
    while (waitpid(process.pid, &status, WNOHANG) == 0) {
        if (Clock::now() >= deadline) {
            kill(process.pid, SIGKILL);
            waitpid(process.pid, &status, 0);
            process.pid = -1;
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    process.pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadOutput(const Process& process) {
    std::string text;
    char buffer[4096];
    ssize_t n;
    for (off_t at = 0;
         process.outputFd >= 0 && (n = pread(process.outputFd, buffer, sizeof buffer, at)) > 0;
         at += n) {
        text.append(buffer, static_cast<size_t>(n));
    }
    return text;
}

std::filesystem::path CopySources(const std::string& name) {
    namespace fs = std::filesystem;
    const fs::path dir = "/tmp/quixo-" + name + "-" + std::to_string(getpid());
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::copy(fs::path(QUIXO_SOURCE_DIR) / "data/scenes", dir / "scenes");
    fs::copy(fs::path(QUIXO_SOURCE_DIR) / "data/tracks", dir / "tracks");
    return dir;
}

Process StartPreview(const std::filesystem::path& folder, const std::string& options) {
    // StartProcess takes no arguments: a small script carries them.
    const std::filesystem::path script = folder / "preview.sh";
    std::ofstream(script) << "#!/bin/sh\ncd " << Quote(QUIXO_SOURCE_DIR) << " && exec "
                          << Quote(QUIXO_TOOL) << " preview --sources " << Quote(folder.string())
                          << " " << options << "\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    return StartProcess(script.string(), "SDL_NO_SIGNAL_HANDLERS=1");
}

bool WaitForOutput(const Process& process, const std::string& text, std::chrono::seconds limit,
                   int times) {
    const Clock::time_point deadline = Clock::now() + limit;
    while (Clock::now() < deadline) {
        const std::string output = ReadOutput(process);
        int found = 0;
        for (std::size_t at = output.find(text); at != std::string::npos;
             at = output.find(text, at + 1))
            ++found;
        if (found >= times) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return false;
}

unsigned long FindWindowByTitle(const std::string& title, std::chrono::milliseconds limit) {
    const Clock::time_point deadline = Clock::now() + limit;
    while (Clock::now() < deadline) {
        CommandResult found =
            RunCommand("xdotool search --onlyvisible --name " + Quote("^" + title + "$"), 5);
        if (found.status == 0 && !found.output.empty()) return std::stoul(found.output);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return 0;
}

bool GetWindowGeometry(unsigned long window, WindowGeometry& g) {
    CommandResult info = RunCommand("xwininfo -id " + std::to_string(window));
    if (info.status != 0) return false;
    struct Field {
        const char* name;
        int* value;
    };
    const Field fields[] = {{"Absolute upper-left X:", &g.x},
                            {"Absolute upper-left Y:", &g.y},
                            {"Width:", &g.width},
                            {"Height:", &g.height}};
    for (const Field& f : fields) {
        const size_t at = info.output.find(f.name);
        if (at == std::string::npos) return false;
        *f.value = std::atoi(info.output.c_str() + at + std::string(f.name).size());
    }
    return true;
}

std::string WindowPixels(unsigned long window) {
    const std::string path = "/tmp/quixo-e2e-shot-" + std::to_string(getpid()) + ".rgb";
    RunCommand("import -silent -window " + std::to_string(window) + " -depth 8 rgb:" + path, 20);
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path.c_str());
    return bytes;
}

bool RequestClose(unsigned long window) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = window;
    message.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    message.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &message);
    XCloseDisplay(display);
    return sent != 0;
}

}  // namespace quixo::e2e
