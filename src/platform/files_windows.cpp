// Files and the process on Windows: the system's wide (UTF-16) calls, so that UTF-8 paths reach
// every file whatever the local code page is.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>

#include "platform/files.h"
#include "platform/wide_text.h"

namespace quixo {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(Utf8FromWide(wide[i]));
    LocalFree(wide);
    return arguments;
}

void KeepOutputBytes() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
    return _wfopen(WideFromUtf8(path).c_str(), WideFromUtf8(mode).c_str());
}

int OpenForReading(const std::string& path) {
    return _wopen(WideFromUtf8(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

std::string ReadableFileProblem(const std::string& path) {
    const std::wstring wide = WideFromUtf8(path);
    struct _stat64 info {};
    if (_wstat64(wide.c_str(), &info) != 0) return path + ": " + std::strerror(errno);
    if ((info.st_mode & _S_IFMT) == _S_IFDIR) return path + " is a directory, not a file";
    if ((info.st_mode & _S_IFMT) != _S_IFREG) return path + " is not a regular file";
    if (_waccess(wide.c_str(), 4) != 0) return path + ": " + std::strerror(errno);
    return "";
}

bool CreateUniqueFile(std::string& name, std::size_t suffixLength, std::string* error) {
    const std::size_t end = name.size() - suffixLength;
    std::size_t start = end;
    while (start > 0 && name[start - 1] == 'X') --start;
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    // Letters from the clock and the process id, stirred between tries (xorshift).
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    std::uint64_t bits = static_cast<std::uint64_t>(now.QuadPart) ^
                         (static_cast<std::uint64_t>(GetCurrentProcessId()) << 32);
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (std::size_t i = start; i < end; ++i) {
            bits ^= bits << 13;
            bits ^= bits >> 7;
            bits ^= bits << 17;
            name[i] = kLetters[bits % 62];
        }
        const int fd = _wopen(WideFromUtf8(name).c_str(), _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY,
                              _S_IREAD | _S_IWRITE);
        if (fd >= 0) {
            _close(fd);
            return true;
        }
        if (errno != EEXIST) break;
    }
    *error = std::strerror(errno);
    return false;
}

void RemoveFileNow(const char* path) {
    _wunlink(WideFromUtf8(path).c_str());
}

bool ReplaceWithFile(const std::string& file, const std::string& target, std::string* error) {
    if (MoveFileExW(WideFromUtf8(file).c_str(), WideFromUtf8(target).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
        *error = SystemErrorText(GetLastError());
        return false;
    }
    return true;
}

bool FlushToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
}

void OnStopRequest(void (*handler)(int signal)) {
    std::signal(SIGINT, handler);
    std::signal(SIGTERM, handler);
}

void IgnoreBrokenPipes() {
    // A write into a closed pipe fails with an error on Windows; there is no signal.
}

std::string FindProgram(const std::string& name) {
    wchar_t found[MAX_PATH];
    const DWORD n =
        SearchPathW(nullptr, WideFromUtf8(name).c_str(), L".exe", MAX_PATH, found, nullptr);
    return n > 0 && n < MAX_PATH ? Utf8FromWide(found) : std::string();
}

// Double quotes for cmd.exe, which passes them on to the program's command line.
std::string QuoteForShell(const std::string& text) {
    return "\"" + text + "\"";
}

std::FILE* OpenPipeForWriting(const std::string& command) {
    // cmd.exe /c takes the whole line in one more pair of quotes.
    return _wpopen(WideFromUtf8("\"" + command + "\"").c_str(), L"wb");
}

int ClosePipe(std::FILE* pipe) {
    return _pclose(pipe);
}

namespace {

double FileTimeSeconds(const FILETIME& t) {
    const ULONGLONG ticks = (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    return static_cast<double>(ticks) * 1e-7;  // 100 ns units
}

}  // namespace

double SecondsSinceProcessStart() {
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user) == 0) return -1.0;
    GetSystemTimePreciseAsFileTime(&now);
    return FileTimeSeconds(now) - FileTimeSeconds(created);
}

double ThreadCpuMs() {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user) == 0) return 0.0;
    return (FileTimeSeconds(kernel) + FileTimeSeconds(user)) * 1e3;
}

}  // namespace quixo
