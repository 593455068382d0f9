#pragma once
// The subcommand table of quixo-tool. Each subcommand lives in a file of its own and adds
// itself to the app through one setup function; its callback returns the exit status.
#include <CLI/CLI.hpp>
#include <functional>

#include "json_out.h"

namespace quixo::tool {

using CommandRunner = std::function<int()>;

struct ToolCommand {
    const char* name;
    const char* description;
    // Declares the subcommand's options on sub and returns what runs it.
    CommandRunner (*setup)(CLI::App& sub);
};

extern const ToolCommand kToolCommands[];
extern const int kToolCommandCount;

// One key of `quixo-tool stats`: each subsystem reports its embedded data under its own key.
struct StatsSection {
    const char* key;
    Json (*make)();
};

extern const StatsSection kStatsSections[];
extern const int kStatsSectionCount;

}  // namespace quixo::tool
