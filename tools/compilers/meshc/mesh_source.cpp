#include "mesh_source.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

namespace quixo::meshc {

namespace {

// Operation names by opcode, as the table lists them.
const char* const kOpNames[32] = {
    "scale1",  "scale2",  "scale3",  "scale4",  "scale5",  "scale6",  "scale7",  "scale8",
    "scalece", "trans1",  "trans2b", "trans3",  "trans4",  "trans5",  "trans6",  "trans2",
    "rotate1", "rotate2", "rotate3", "select1", "select2", "select3", "select4", "select5",
    "select6", "select7", "select8", "subd",    "smoooth", "addquad", "delQuad", "addcube",
};
constexpr int kLastAmountOpcode = 18;  // codes 0 to 18 read their amount
constexpr std::uint8_t kNeutralOperand = 128;

int OpcodeFor(const std::string& name) {
    for (int i = 0; i < 32; ++i) {
        if (name == kOpNames[i]) return i;
    }
    return -1;
}

[[noreturn]] void Fail(const std::string& file, int line, const std::string& message) {
    throw std::runtime_error(file + ":" + std::to_string(line) + ": " + message);
}

bool ParseInteger(const std::string& word, long long& value) {
    char* end = nullptr;
    value = std::strtoll(word.c_str(), &end, 10);
    return !word.empty() && *end == '\0';
}

bool ParseNumber(const std::string& word, double& value) {
    char* end = nullptr;
    value = std::strtod(word.c_str(), &end);
    return !word.empty() && *end == '\0' && std::isfinite(value);
}

std::string Amount(std::uint8_t b) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f (byte %d)", DecodeOperand(b), b);
    return text;
}

}  // namespace

int OperandByteFor(double amount) {
    int best = 0;
    for (int b = 1; b < 256; ++b) {
        if (std::fabs(DecodeOperand(static_cast<std::uint8_t>(b)) - amount) <
            std::fabs(DecodeOperand(static_cast<std::uint8_t>(best)) - amount)) {
            best = b;
        }
    }
    return std::fabs(DecodeOperand(static_cast<std::uint8_t>(best)) - amount) <= 0.001 ? best : -1;
}

std::vector<SourceProgram> ParseMeshSource(const std::string& text, const std::string& file) {
    std::vector<SourceProgram> programs;
    SourceProgram* open = nullptr;
    int toggles = 0;
    std::istringstream lines(text);
    std::string raw;
    for (int line = 1; std::getline(lines, raw); ++line) {
        raw = raw.substr(0, raw.find('#'));
        std::istringstream in(raw);
        std::vector<std::string> words;
        for (std::string w; in >> w;) words.push_back(w);
        if (words.empty()) continue;
        const std::string& key = words[0];

        if (key == "program") {
            if (open)
                Fail(file, line, "\"program\" inside program " + open->name + " (missing \"end\")");
            if (words.size() != 2) Fail(file, line, "expected: program NAME");
            programs.push_back({});
            open = &programs.back();
            open->name = words[1];
            open->line = line;
            toggles = 0;
            continue;
        }
        if (!open) Fail(file, line, "\"" + key + "\" outside a program");
        MeshProgram& p = open->program;
        long long n = 0;
        if (key == "end") {
            if (words.size() != 1) Fail(file, line, "\"end\" takes nothing");
            if (!open->hasExpect)
                Fail(file, line, "program " + open->name + " has no \"expect\" line");
            open = nullptr;
        } else if (key == "texmode" || key == "flag") {
            if (words.size() != 2 || !ParseInteger(words[1], n))
                Fail(file, line, "expected: " + key + " N");
            if (key == "texmode") {
                if (n != 0 && n != 1) Fail(file, line, "texmode is 0 or 1");
                p.texMode = static_cast<std::int32_t>(n);
            } else {
                if (n < 0 || n > 255) Fail(file, line, "flag is a byte, 0 to 255");
                p.flag = static_cast<std::uint8_t>(n);
            }
        } else if (key == "expect") {
            long long q = 0;
            if (words.size() != 3 || !ParseInteger(words[1], n) || !ParseInteger(words[2], q) ||
                n < 0 || q < 0) {
                Fail(file, line, "expected: expect VERTICES QUADS");
            }
            open->hasExpect = true;
            open->expectVertices = static_cast<std::uint32_t>(n);
            open->expectQuads = static_cast<std::uint32_t>(q);
        } else if (key == "toggle") {
            if (words.size() < 2) Fail(file, line, "expected: toggle QUAD...");
            for (std::size_t i = 1; i < words.size(); ++i) {
                if (!ParseInteger(words[i], n) || n < 0 || n > INT32_MAX) {
                    Fail(file, line, "quad index \"" + words[i] + "\" is not a quad index");
                }
                if (p.opCount == 255) Fail(file, line, "more than 255 operations");
                if (toggles == kMeshProgramSlots) Fail(file, line, "more than 256 toggles");
                p.quadStream[toggles++] = static_cast<std::int32_t>(n);
                p.opcodes[p.opCount] = kToggleOpcode;
                p.operands[p.opCount] = kNeutralOperand;
                ++p.opCount;
                open->opLines.push_back(line);
            }
        } else {
            const int opcode = OpcodeFor(key);
            if (opcode < 0) Fail(file, line, "unknown operation \"" + key + "\"");
            std::uint8_t operand = kNeutralOperand;
            if (opcode <= kLastAmountOpcode) {
                double amount = 0;
                if (words.size() != 2 || !ParseNumber(words[1], amount)) {
                    Fail(file, line, key + " takes one amount");
                }
                const int b = OperandByteFor(amount);
                if (b < 0) {
                    int below = 0;
                    while (below < 255 &&
                           DecodeOperand(static_cast<std::uint8_t>(below + 1)) < amount)
                        ++below;
                    std::string near = Amount(static_cast<std::uint8_t>(below));
                    if (below < 255) near += " and " + Amount(static_cast<std::uint8_t>(below + 1));
                    Fail(file, line, "no operand byte encodes " + words[1] + "; nearest: " + near);
                }
                operand = static_cast<std::uint8_t>(b);
            } else if (words.size() != 1) {
                Fail(file, line, key + " takes no amount");
            }
            if (p.opCount == 255) Fail(file, line, "more than 255 operations");
            p.opcodes[p.opCount] = static_cast<std::uint8_t>(opcode);
            p.operands[p.opCount] = operand;
            ++p.opCount;
            open->opLines.push_back(line);
        }
    }
    if (open) Fail(file, open->line, "program " + open->name + " has no \"end\"");
    return programs;
}

}  // namespace quixo::meshc
