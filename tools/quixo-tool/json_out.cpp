#include "json_out.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace quixo::tool {

Json JsonFloat(float value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
    // Shortest float digits, held in a double: the JSON writer prints that double with the
    // same digits, since they are also the shortest that read back to it.
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    *result.ptr = '\0';
    return std::strtod(buffer, nullptr);
}

Json JsonFloats(const float* values, int n) {
    Json array = Json::array();
    for (int i = 0; i < n; ++i) array.push_back(JsonFloat(values[i]));
    return array;
}

void PrintJson(const Json& object) {
    // A path given on the command line need not be UTF-8: such bytes print as U+FFFD rather
    // than failing a command whose work is done.
    std::cout << object.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
    std::cout.flush();
    // A full disk or a closed pipe must not pass for a printed answer.
    if (!std::cout) throw ToolError{1, "cannot write the standard output"};
}

}  // namespace quixo::tool
