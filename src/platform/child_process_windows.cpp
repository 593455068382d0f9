// Child processes on Windows: CreateProcessW with the standard handles given, the command line
// quoted as the C runtime splits it again.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <map>
#include <mutex>

#include "platform/child_process.h"
#include "platform/wide_text.h"

namespace quixo {

namespace {

// The process handles of the children not yet waited for, by id.
std::mutex g_lock;
std::map<int, HANDLE> g_children;

// One argument as CommandLineToArgvW and the C runtime read it back: quoted, with backslashes
// doubled before a quote.
std::wstring Quoted(const std::wstring& argument) {
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, L'\\');
    return out + L"\"";
}

}  // namespace

bool StartChildProcess(const std::vector<std::string>& argv, const std::string& errorPath,
                       ChildProcess& child, std::string& error) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        error = SystemErrorText(GetLastError());
        return false;
    }
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE input = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                               OPEN_EXISTING, 0, nullptr);
    HANDLE errors = errorPath.empty()
                        ? GetStdHandle(STD_ERROR_HANDLE)
                        : CreateFileW(WideFromUtf8(errorPath).c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    std::wstring line;
    for (const std::string& a : argv) line += (line.empty() ? L"" : L" ") + Quoted(WideFromUtf8(a));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = writeEnd;
    startup.hStdError = errors;
    PROCESS_INFORMATION process{};
    const BOOL started = errors != INVALID_HANDLE_VALUE &&
                         CreateProcessW(WideFromUtf8(argv.at(0)).c_str(), line.data(), nullptr,
                                        nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    if (!started) error = SystemErrorText(GetLastError());
    CloseHandle(writeEnd);
    if (input != INVALID_HANDLE_VALUE) CloseHandle(input);
    if (!errorPath.empty() && errors != INVALID_HANDLE_VALUE) CloseHandle(errors);
    if (!started) {
        CloseHandle(readEnd);
        return false;
    }
    CloseHandle(process.hThread);
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(readEnd), _O_RDONLY | _O_BINARY);
    child.out = _fdopen(fd, "rb");
    child.pid = static_cast<int>(process.dwProcessId);
    std::lock_guard<std::mutex> guard(g_lock);
    g_children[child.pid] = process.hProcess;
    return true;
}

int WaitChildProcess(ChildProcess& child) {
    if (child.out != nullptr) std::fclose(child.out);
    child.out = nullptr;
    HANDLE process = nullptr;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        const auto it = g_children.find(child.pid);
        if (it == g_children.end()) return -1;
        process = it->second;
        g_children.erase(it);
    }
    child.pid = -1;
    DWORD status = 0;
    const bool ended = WaitForSingleObject(process, INFINITE) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(process, &status);
    CloseHandle(process);
    return ended ? static_cast<int>(status) : -1;
}

void StopChildProcess(int pid) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr) return;
    TerminateProcess(process, 1);
    CloseHandle(process);
}

std::string ThisExecutablePath() {
    wchar_t path[32768];
    const DWORD n = GetModuleFileNameW(nullptr, path, 32768);
    return n > 0 && n < 32768 ? Utf8FromWide(std::wstring(path, n)) : std::string();
}

}  // namespace quixo
