#include "authoring/source_text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace quixo {

std::string FormatSourceError(const SourceError& error) {
    if (error.line <= 0) return error.file + ": " + error.message;
    return error.file + ":" + std::to_string(error.line) + ": " + error.message;
}

std::vector<SourceLine> SplitSource(std::string_view text) {
    std::vector<SourceLine> lines;
    int number = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        ++number;
        const std::size_t hash = line.find('#');
        if (hash != std::string_view::npos) line = line.substr(0, hash);
        SourceLine out{number, {}};
        std::size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
            std::size_t j = i;
            while (j < line.size() && !std::isspace(static_cast<unsigned char>(line[j]))) ++j;
            if (j > i) out.words.push_back(line.substr(i, j - i));
            i = j;
        }
        if (!out.words.empty()) lines.push_back(std::move(out));
        if (end == text.size()) break;
        start = end + 1;
    }
    return lines;
}

std::optional<float> ParseFloatWord(std::string_view word) {
    // strtof rounds correctly and reads hexadecimal floats, so any bit pattern can be written.
    const std::string copy(word);
    if (copy.empty() || std::isspace(static_cast<unsigned char>(copy[0]))) return std::nullopt;
    char* end = nullptr;
    const float value = std::strtof(copy.c_str(), &end);
    if (end != copy.c_str() + copy.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<std::int64_t> ParseIntWord(std::string_view word, std::int64_t low,
                                         std::int64_t high) {
    std::int64_t value = 0;
    const char* first = word.data();
    if (!word.empty() && word[0] == '+') ++first;
    const auto result = std::from_chars(first, word.data() + word.size(), value);
    if (result.ec != std::errc() || result.ptr != word.data() + word.size()) return std::nullopt;
    if (value < low || value > high) return std::nullopt;
    return value;
}

}  // namespace quixo
