#pragma once
// Runs quixo-tool as a separate process, as outside checks do, and collects what it printed.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace quixo::tool_test {

// A folder of this test process for inputs and captured output.
inline std::filesystem::path TempDir() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() /
                 ("quixo_tool_test_" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

inline std::string ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct ToolRun {
    int status;  // the exit status, or -1 when the tool did not exit normally
    std::string out;
    std::string err;
};

// `quixo-tool ARGS`, started from `folder` (the working directory, where the soundtrack is
// looked for) with `env` ("NAME=value ...") before it on the shell's command line.
inline ToolRun RunTool(const std::string& args, const std::string& env = "",
                       const std::string& folder = QUIXO_SOURCE_DIR) {
    const auto out = TempDir() / "out.txt";
    const auto err = TempDir() / "err.txt";
    const std::string command = "cd '" + folder + "' && " + env + " '" + QUIXO_BINARY_DIR +
                                "/tools/quixo-tool/quixo-tool' " + args + " >" + out.string() +
                                " 2>" + err.string();
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadAll(out), ReadAll(err)};
}

}  // namespace quixo::tool_test
