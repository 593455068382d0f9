#include "authoring/scene_source.h"

#include <map>

#include "operators/node_table.h"

namespace quixo {

namespace {

bool IsKeyword(std::string_view w) {
    return w == "count" || w == "p" || w == "in";
}

// A source word in quotes. Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) about
// a literal prepended to a temporary string.
std::string Quoted(std::string_view w) {
    std::string q = "'";
    q += w;
    q += '\'';
    return q;
}

bool IsName(std::string_view w) {
    if (w.empty() || IsKeyword(w) || w == "scene") return false;
    for (std::size_t i = 0; i < w.size(); ++i) {
        const char c = w[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !(digit && i > 0)) return false;
    }
    return true;
}

struct Parser {
    const std::string& file;
    SceneSource& out;
    std::vector<SourceError>& errors;
    std::map<std::string, int, std::less<>> index;  // name -> node
    bool ok = true;

    void Fail(int line, const std::string& message) {
        errors.push_back({file, line, message});
        ok = false;
    }

    void SceneLine(const SourceLine& line) {
        const auto& w = line.words;
        if (w.size() != 4 || w[2] != "duration") {
            Fail(line.number, "expected 'scene <index> duration <frames>'");
            return;
        }
        if (out.index >= 0) {
            Fail(line.number, "a second scene line (the first is on line " +
                                  std::to_string(out.indexLine) + ")");
            return;
        }
        const auto s = ParseIntWord(w[1], 0, kSceneCount - 1);
        const auto d = ParseIntWord(w[3], 1, kMaxSceneDuration);
        if (!s) Fail(line.number, "scene index '" + std::string(w[1]) + "' is not 0..9");
        if (!d) {
            Fail(line.number, "duration '" + std::string(w[3]) + "' is not a frame count 1.." +
                                  std::to_string(kMaxSceneDuration));
        }
        if (!s || !d) return;
        out.index = static_cast<int>(*s);
        out.indexLine = line.number;
        out.duration = static_cast<std::int32_t>(*d);
    }

    // The words after `keyword` up to the next keyword.
    static std::size_t ClauseEnd(const std::vector<std::string_view>& w, std::size_t from) {
        while (from < w.size() && !IsKeyword(w[from])) ++from;
        return from;
    }

    void NodeLine(const SourceLine& line) {
        const auto& w = line.words;
        if (w.size() < 3 || w[1] != "=") {
            Fail(line.number, "expected '<name> = <type> [count N] [p ...] [in ...]'");
            return;
        }
        if (!IsName(w[0])) {
            Fail(line.number, Quoted(w[0]) + " is not a node name");
            return;
        }
        if (out.nodeCount >= kNodesPerGraph) {
            Fail(line.number, "more than 256 nodes");
            return;
        }
        const std::string name(w[0]);
        if (const auto it = index.find(name); it != index.end()) {
            Fail(line.number, "node '" + name + "' is already defined on line " +
                                  std::to_string(out.nodeLines[it->second]));
            return;
        }
        const int n = out.nodeCount++;
        out.names.push_back(name);
        out.nodeLines[n] = line.number;
        StoredNode& node = out.nodes[n];
        node.type = FindNodeType(w[2]);
        node.count = 1;
        for (auto& input : node.inputs) input = -1;
        if (node.type == kNodeEmpty)
            Fail(line.number, "unknown node type '" + std::string(w[2]) + "'");

        bool seen[3] = {false, false, false};
        std::size_t i = 3;
        while (i < w.size()) {
            const std::string_view key = w[i];
            const std::size_t end = ClauseEnd(w, i + 1);
            const int which = key == "count" ? 0 : key == "p" ? 1 : key == "in" ? 2 : -1;
            if (which < 0) {
                Fail(line.number,
                     "unexpected '" + std::string(key) + "' (expected count, p or in)");
                break;
            }
            if (seen[which]) Fail(line.number, Quoted(key) + " given twice");
            seen[which] = true;
            const std::size_t n_words = end - (i + 1);
            if (which == 0) {
                const auto c =
                    n_words == 1 ? ParseIntWord(w[i + 1], 0, kMaxSourceElementCount) : std::nullopt;
                if (!c) {
                    Fail(line.number, "count takes one element count 0.." +
                                          std::to_string(kMaxSourceElementCount));
                } else {
                    node.count = static_cast<std::uint32_t>(*c);
                }
            } else if (n_words == 0 || n_words > 8) {
                Fail(line.number, Quoted(key) + " takes 1 to 8 values");
            } else if (which == 1) {
                for (std::size_t k = 0; k < n_words; ++k) {
                    const auto v = ParseFloatWord(w[i + 1 + k]);
                    if (!v) {
                        Fail(line.number, "parameter '" + std::string(w[i + 1 + k]) +
                                              "' is not a finite number");
                    } else {
                        node.params[k] = *v;
                    }
                }
            } else {
                for (std::size_t k = 0; k < n_words; ++k) Link(line.number, node, k, w[i + 1 + k]);
            }
            i = end;
        }
        // Known by name only from here on: a node cannot feed itself.
        index.emplace(name, n);
    }

    void Link(int line, StoredNode& node, std::size_t k, std::string_view ref) {
        if (ref == "-") return;  // unconnected
        const auto it = index.find(ref);
        if (it == index.end()) {
            Fail(line, "input " + std::to_string(k) + " links to '" + std::string(ref) +
                           "', which is not an earlier node");
            return;
        }
        node.inputs[k] = it->second;
    }
};

}  // namespace

bool ParseSceneSource(std::string_view text, const std::string& file, SceneSource& out,
                      std::vector<SourceError>& errors) {
    out.file = file;
    Parser parser{file, out, errors, {}};
    for (const SourceLine& line : SplitSource(text)) {
        if (line.words[0] == "scene") {
            parser.SceneLine(line);
        } else {
            parser.NodeLine(line);
        }
    }
    if (out.index < 0) parser.Fail(0, "no 'scene <index> duration <frames>' line");
    return parser.ok;
}

}  // namespace quixo
