#pragma once
// Shared pieces of the readable data sources: the error record with its file:line form, and
// the splitting of a source into lines of whitespace-separated words.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quixo {

struct SourceError {
    std::string file;
    int line;  // 1-based; 0 when the fault belongs to no single line
    std::string message;
};

// "file:line: message" (or "file: message" without a line).
std::string FormatSourceError(const SourceError& error);

// One source line with its words; '#' starts a comment that runs to the end of the line.
struct SourceLine {
    int number;
    std::vector<std::string_view> words;
};

// The lines of text that hold at least one word, in order. The views point into text.
std::vector<SourceLine> SplitSource(std::string_view text);

// A finite 32-bit float written in full (decimal or hexadecimal float notation).
std::optional<float> ParseFloatWord(std::string_view word);

// A decimal integer in [low, high], written in full.
std::optional<std::int64_t> ParseIntWord(std::string_view word, std::int64_t low,
                                         std::int64_t high);

}  // namespace quixo
