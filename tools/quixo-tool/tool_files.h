#pragma once
// The files the subcommands read and write. Input options are checked when the command line is
// parsed; outputs are written to a temporary file beside the target and renamed onto it only
// when whole, so an interrupted or failed run leaves a previous good file in place.
#include <CLI/CLI.hpp>
#include <cstdint>
#include <string>
#include <vector>

namespace quixo::tool {

// Passes a path that names a readable regular file; the message says why not (exit 2).
CLI::Validator ReadableFile();

// The whole file; a read failure ends the command with exit 1, the path and the reason.
std::vector<std::uint8_t> ReadInputFile(const std::string& path);

// A new empty file in the target's folder, there until it is committed (renamed onto the
// target) or this record goes. It is also removed when the tool exits or is stopped by SIGINT,
// SIGTERM or SIGHUP. Making it is the check that the target can be written: a missing or
// unwritable folder, or a target that is a directory, ends the command with exit 1 before any
// work. The name ends in `suffix`, for writers that choose a format by the extension.
// A child process that stops with the tool (the engine running a film's pieces): when SIGINT,
// SIGTERM or SIGHUP stops the tool, the child gets SIGTERM first. 0 forgets it.
void StopWithTool(int pid);

class TemporaryFile {
public:
    TemporaryFile(const std::string& target, const std::string& suffix = "");
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& path() const { return path_; }
    const std::string& target() const { return target_; }
    // Renames the file onto the target, with the permissions a newly created file would have;
    // exit 1 when it cannot.
    void Commit();

private:
    std::string target_;
    std::string path_;
    int slot_ = -1;  // entry of the removal list, -1 once committed
};

}  // namespace quixo::tool
