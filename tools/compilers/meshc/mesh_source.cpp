#include "mesh_source.h"

#include <cmath>
#include <cstdio>

namespace quixo::meshc {

namespace {

constexpr std::uint8_t kNeutralOperand = 128;

// A source word in quotes. Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) about
// a literal prepended to a temporary string.
std::string Quoted(std::string_view w) {
    std::string q = "\"";
    q += w;
    q += '"';
    return q;
}

std::string Amount(std::uint8_t b) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f (byte %d)", DecodeOperand(b), b);
    return text;
}

// The two bytes that encode the amounts around one no byte encodes, for the message.
std::string NearestAmounts(float amount) {
    int below = 0;
    while (below < 255 && DecodeOperand(static_cast<std::uint8_t>(below + 1)) < amount) ++below;
    std::string near = Amount(static_cast<std::uint8_t>(below));
    if (below < 255) near += " and " + Amount(static_cast<std::uint8_t>(below + 1));
    return near;
}

struct Reader {
    const std::string& file;
    std::vector<SourceProgram>& programs;
    std::vector<SourceError>& errors;
    bool isOpen = false;  // the last program is still being read
    int toggles = 0;

    void Fail(int line, const std::string& message) { errors.push_back({file, line, message}); }
    SourceProgram& Current() { return programs.back(); }

    // Appends one operation; false (with the fault) when the program is full.
    bool Append(int line, std::uint8_t opcode, std::uint8_t operand) {
        MeshProgram& p = Current().program;
        if (p.opCount == 255) {
            Fail(line, "more than 255 operations");
            return false;
        }
        p.opcodes[p.opCount] = opcode;
        p.operands[p.opCount] = operand;
        ++p.opCount;
        Current().opLines.push_back(line);
        return true;
    }

    void Setting(const SourceLine& line) {
        const std::string_view key = line.words[0];
        const std::int64_t high = key == "texmode" ? 1 : 255;
        const auto n = line.words.size() == 2 ? ParseIntWord(line.words[1], 0, high) : std::nullopt;
        if (!n) {
            Fail(line.number,
                 std::string(key) + (key == "texmode" ? " is 0 or 1" : " is a byte, 0 to 255"));
            return;
        }
        if (key == "texmode") {
            Current().program.texMode = static_cast<std::int32_t>(*n);
        } else {
            Current().program.flag = static_cast<std::uint8_t>(*n);
        }
    }

    void Expect(const SourceLine& line) {
        const auto v =
            line.words.size() == 3 ? ParseIntWord(line.words[1], 0, UINT32_MAX) : std::nullopt;
        const auto q =
            line.words.size() == 3 ? ParseIntWord(line.words[2], 0, UINT32_MAX) : std::nullopt;
        if (!v || !q) {
            Fail(line.number, "expected: expect VERTICES QUADS");
            return;
        }
        Current().hasExpect = true;
        Current().expectVertices = static_cast<std::uint32_t>(*v);
        Current().expectQuads = static_cast<std::uint32_t>(*q);
    }

    void Toggles(const SourceLine& line) {
        if (line.words.size() < 2) Fail(line.number, "expected: toggle QUAD...");
        for (std::size_t i = 1; i < line.words.size(); ++i) {
            const auto q = ParseIntWord(line.words[i], 0, INT32_MAX);
            if (!q) {
                Fail(line.number, "quad index " + Quoted(line.words[i]) + " is not a quad index");
                continue;
            }
            if (toggles == kMeshProgramSlots) {
                Fail(line.number, "more than 256 toggles");
                return;
            }
            if (!Append(line.number, kToggleOpcode, kNeutralOperand)) return;
            Current().program.quadStream[toggles++] = static_cast<std::int32_t>(*q);
        }
    }

    void Operation(const SourceLine& line, const MeshOpRow& op) {
        std::uint8_t operand = kNeutralOperand;
        if (op.takesAmount) {
            const auto amount =
                line.words.size() == 2 ? ParseFloatWord(line.words[1]) : std::nullopt;
            if (!amount) {
                Fail(line.number, std::string(op.name) + " takes one amount");
                return;
            }
            const int b = OperandByteFor(*amount);
            if (b < 0) {
                std::string message = "no operand byte encodes ";
                message += line.words[1];
                Fail(line.number, message + "; nearest: " + NearestAmounts(*amount));
                return;
            }
            operand = static_cast<std::uint8_t>(b);
        } else if (line.words.size() != 1) {
            Fail(line.number, std::string(op.name) + " takes no amount");
            return;
        }
        Append(line.number, op.code, operand);
    }

    void Read(const SourceLine& line) {
        const std::string_view key = line.words[0];
        if (key == "program") {
            if (isOpen) {
                Fail(line.number,
                     "\"program\" inside program " + Current().name + " (missing \"end\")");
            }
            if (line.words.size() != 2) Fail(line.number, "expected: program NAME");
            programs.push_back({});
            isOpen = true;
            Current().name = line.words.size() > 1 ? std::string(line.words[1]) : "";
            Current().line = line.number;
            toggles = 0;
            return;
        }
        if (!isOpen) {
            Fail(line.number, Quoted(key) + " outside a program");
            return;
        }
        if (key == "end") {
            if (line.words.size() != 1) Fail(line.number, "\"end\" takes nothing");
            if (!Current().hasExpect) {
                Fail(line.number, "program " + Current().name + " has no \"expect\" line");
            }
            isOpen = false;
        } else if (key == "texmode" || key == "flag") {
            Setting(line);
        } else if (key == "expect") {
            Expect(line);
        } else if (const MeshOpRow* op = MeshOpNamed(key); op == nullptr) {
            Fail(line.number, "unknown operation " + Quoted(key));
        } else if (op->code == kToggleOpcode) {
            Toggles(line);
        } else {
            Operation(line, *op);
        }
    }
};

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

bool ParseMeshSource(std::string_view text, const std::string& file,
                     std::vector<SourceProgram>& programs, std::vector<SourceError>& errors) {
    const std::size_t before = errors.size();
    programs.clear();
    Reader reader{file, programs, errors};
    for (const SourceLine& line : SplitSource(text)) reader.Read(line);
    if (reader.isOpen) {
        reader.Fail(reader.Current().line, "program " + reader.Current().name + " has no \"end\"");
    }
    return errors.size() == before;
}

}  // namespace quixo::meshc
