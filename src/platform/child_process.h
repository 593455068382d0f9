#pragma once
// Programs run beside this one, their standard output read here: the tools start GNU parallel
// this way and read what its jobs print.
#include <cstdio>
#include <string>
#include <vector>

namespace quixo {

struct ChildProcess {
    int pid = -1;
    std::FILE* out = nullptr;  // the child's standard output
};

// Starts the program at argv[0] (a path) with these arguments, standard input empty, standard
// output into child.out, standard error into the file errorPath (made anew), or this process's
// own when errorPath is empty. False, with the reason in error, when it cannot be started.
bool StartChildProcess(const std::vector<std::string>& argv, const std::string& errorPath,
                       ChildProcess& child, std::string& error);

// Closes child.out and waits for the child to end: its exit status, or -1 when a signal ended
// it.
int WaitChildProcess(ChildProcess& child);

// Asks a running child to stop (SIGTERM on Linux; ended at once on Windows). Safe in a signal
// handler.
void StopChildProcess(int pid);

// The path of this process's executable, or "" when it cannot be told.
std::string ThisExecutablePath();

}  // namespace quixo
