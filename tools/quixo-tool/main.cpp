// quixo-tool: authoring and inspection of the demo's data and frames. Every subcommand prints
// one JSON object on stdout.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "commands.h"
#include "json_out.h"
#include "platform/files.h"

int main(int argc, char** argv) {
    using namespace quixo::tool;
    quixo::KeepOutputBytes();
    CLI::App app{"quixo-tool: inspect, evaluate and render the Quixo demo's data", "quixo-tool"};
    app.require_subcommand(1);
    // A refused command line is one line on stderr, like every other refusal (exit 2).
    app.failure_message([](const CLI::App*, const CLI::Error& e) {
        return std::string("quixo-tool: ") + e.what() + "\n";
    });
    std::vector<CommandRunner> runners(kToolCommandCount);
    std::vector<CLI::App*> subs(kToolCommandCount);
    for (int i = 0; i < kToolCommandCount; ++i) {
        subs[i] = app.add_subcommand(kToolCommands[i].name, kToolCommands[i].description);
        runners[i] = kToolCommands[i].setup(*subs[i]);
    }
    try {
        // CLI11 takes the arguments last first.
        std::vector<std::string> arguments = quixo::Utf8Arguments(argc, argv);
        arguments.erase(arguments.begin());
        std::reverse(arguments.begin(), arguments.end());
        app.parse(arguments);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : 2;
    }
    try {
        for (int i = 0; i < kToolCommandCount; ++i) {
            if (subs[i]->parsed()) return runners[i]();
        }
    } catch (const ToolError& e) {
        std::fprintf(stderr, "quixo-tool: %s\n", e.message.c_str());
        return e.exitCode;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quixo-tool: %s\n", e.what());
        return 1;
    }
    return 2;
}
