#pragma once
// Files, paths and the process, where Linux and Windows differ. Every path is UTF-8, on Windows
// too, where the system's own calls take UTF-16 and the narrow C library would read the text in
// the local code page.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace quixo {

// The command line as UTF-8 (argv as given on Linux; the wide command line on Windows).
std::vector<std::string> Utf8Arguments(int argc, char** argv);

// Standard output and error carry the bytes written, with no line ends rewritten (Windows
// would turn each "\n" into "\r\n"), so that output is the same on every system.
void KeepOutputBytes();

std::filesystem::path PathFromUtf8(const std::string& path);
std::string PathToUtf8(const std::filesystem::path& path);

// fopen for a UTF-8 path.
std::FILE* OpenFile(const std::string& path, const char* mode);

// An open descriptor of the file for reading (binary, never blocking on a FIFO), or -1 with
// errno set.
int OpenForReading(const std::string& path);

// Empty when the path names a regular file that can be read; otherwise why not.
std::string ReadableFileProblem(const std::string& path);

// Replaces the run of X before the last `suffixLength` characters of `name` with a unique text
// and creates that file, empty and private. False with *error set when it cannot.
bool CreateUniqueFile(std::string& name, std::size_t suffixLength, std::string* error);

// Removes a file; safe to call from a signal handler on Linux.
void RemoveFileNow(const char* path);

// Puts a finished file in the place of `target`, with the permissions a newly created file
// would have; false with *error set when it cannot.
bool ReplaceWithFile(const std::string& file, const std::string& target, std::string* error);

// Writes the file's buffered data through to the disk.
bool FlushToDisk(std::FILE* file);

// Calls `handler` (then ends the process by the signal) when the process is asked to stop:
// Ctrl+C, SIGTERM, and on Linux SIGHUP.
void OnStopRequest(void (*handler)(int signal));

// A write into a pipe whose reader has gone fails instead of ending the process.
void IgnoreBrokenPipes();

// The first executable of that name on PATH, or "" when there is none.
std::string FindProgram(const std::string& name);

// The text quoted for the system's shell, so that any path survives a command line.
std::string QuoteForShell(const std::string& text);

// A shell command that reads what is written into the pipe; null when it cannot start.
std::FILE* OpenPipeForWriting(const std::string& command);
// Waits for the command; its exit status (non-zero also when it did not end normally).
int ClosePipe(std::FILE* pipe);

// Seconds since the process was started by the system (loading the program counts); -1 when
// the system does not say.
double SecondsSinceProcessStart();

// CPU time of the calling thread in milliseconds.
double ThreadCpuMs();

}  // namespace quixo
