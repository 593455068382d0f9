#pragma once
// Helpers for tests that drive real windows: each test body runs in a fresh Xvfb of its own,
// and every wait on a program or a window has a deadline.
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>

namespace quixo::e2e {

using Clock = std::chrono::steady_clock;

// True inside the private X server. Outside it, runs the current test again under xvfb-run
// (1280 × 1024) and reports that run's failures as this test's; the caller then returns.
bool InPrivateXServer();

#define QUIXO_RUN_UNDER_XVFB() \
    if (!::quixo::e2e::InPrivateXServer()) return

// A shell command with a time limit; its output (stdout and stderr) and exit status.
struct CommandResult {
    int status;  // -1 when it did not end normally (signal or time limit)
    std::string output;
};
CommandResult RunCommand(const std::string& command, int timeoutSeconds = 10);

// A program started in the background, its output (stdout and stderr) collected in an unnamed
// temporary file that goes away with the record.
struct Process {
    pid_t pid = -1;
    int outputFd = -1;

    Process() = default;
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    ~Process();
};
// `environment` entries ("NAME=value", or "NAME" to remove) change the child's environment.
Process StartProcess(const std::string& path, const std::string& environment = "");
// Waits until the program ends; kills it at the deadline. Returns its exit status, or -1.
int WaitForExit(Process& process, std::chrono::milliseconds limit);
std::string ReadOutput(const Process& process);
// A fresh folder /tmp/quixo-NAME-PID holding copies of the scene and track sources.
std::filesystem::path CopySources(const std::string& name);

// `preview` with these options (after --sources of the folder) on the sources in `folder`,
// started from the repository root (where the music is) through a script in the folder.
Process StartPreview(const std::filesystem::path& folder, const std::string& options);

// Polls the program's output until it holds `text` (`times` times); false at the deadline.
bool WaitForOutput(const Process& process, const std::string& text, std::chrono::seconds limit,
                   int times = 1);

// Polls for a shown (mapped) window with exactly this title; 0 when none appears in time.
unsigned long FindWindowByTitle(const std::string& title, std::chrono::milliseconds limit);

struct WindowGeometry {
    int x, y, width, height;  // absolute position and inner size
};
bool GetWindowGeometry(unsigned long window, WindowGeometry& geometry);

// What the window shows: RGB bytes, rows top first (empty when no screenshot could be taken).
std::string WindowPixels(unsigned long window);

// Asks the window to close as a window manager does (WM_DELETE_WINDOW).
bool RequestClose(unsigned long window);

}  // namespace quixo::e2e
