#pragma once
// JSON conventions shared by every quixo-tool subcommand.
#include <nlohmann/json.hpp>
#include <string>

namespace quixo::tool {

// Objects keep their keys in the order written, as the contracts list them.
using Json = nlohmann::ordered_json;

// A 32-bit float as the shortest decimal that reads back to the same bits; non-finite values
// as the strings "nan", "inf", "-inf".
Json JsonFloat(float value);

// n floats as an array of JsonFloat.
Json JsonFloats(const float* values, int n);

// Writes the object to stdout on one line; a failed write ends the command with exit 1.
void PrintJson(const Json& object);

// Errors that end a subcommand with a one-line message: malformed input exits 2, input that
// breaks a limit of the system exits 3.
struct ToolError {
    int exitCode;
    std::string message;
};

[[noreturn]] inline void FailInput(const std::string& message) {
    throw ToolError{2, message};
}
[[noreturn]] inline void FailLimit(const std::string& message) {
    throw ToolError{3, message};
}

}  // namespace quixo::tool
