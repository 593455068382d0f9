// quixo-tool text (--word STRING | --builtin), and the "words" section of stats.
#include <limits>
#include <memory>
#include <string>

#include "commands.h"
#include "json_out.h"
#include "memory/arena.h"
#include "mesh/text_mesh.h"
#include "mesh/word_list.h"

namespace quixo::tool {

namespace {

// Words are ANSI strings, one byte a character; the command line is UTF-8. Characters beyond
// the one-byte range cannot be in a word.
std::string Utf8ToLatin1(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            continue;
        }
        const bool twoBytes = lead >= 0xc2 && lead <= 0xc3 && i + 1 < text.size() &&
                              (static_cast<unsigned char>(text[i + 1]) & 0xc0) == 0x80;
        if (!twoBytes) {
            FailInput("--word: only characters up to U+00FF in UTF-8 can be made into 3D text");
        }
        out += static_cast<char>(((lead & 0x03) << 6) | (text[++i] & 0x3f));
    }
    return out;
}

std::string Latin1ToUtf8(const std::string& bytes) {
    std::string out;
    for (char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xc0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3f));
        }
    }
    return out;
}

// The centred mesh's bounds; with no vertices min is +inf and max -inf everywhere.
Json DescribeMesh(const std::string& word, const TextMesh& mesh) {
    float lo[3], hi[3];
    for (int a = 0; a < 3; ++a) {
        lo[a] = std::numeric_limits<float>::infinity();
        hi[a] = -std::numeric_limits<float>::infinity();
    }
    for (int i = 0; i < mesh.vertexCount; ++i) {
        for (int a = 0; a < 3; ++a) {
            const float v = mesh.vertices[i].position[a];
            lo[a] = v < lo[a] ? v : lo[a];
            hi[a] = v > hi[a] ? v : hi[a];
        }
    }
    return {{"word", Latin1ToUtf8(word)},
            {"vertices", mesh.vertexCount},
            {"indices", mesh.indexCount},
            {"min", JsonFloats(lo, 3)},
            {"max", JsonFloats(hi, 3)}};
}

Json DescribeWord(Arena& arena, const std::string& word) {
    const TextGeometry geometry = BuildWordGeometry(SansOutlineFont(), word);
    if (!FitsTextMesh(geometry)) {
        const std::string shown =
            Latin1ToUtf8(word.substr(0, 32)) + (word.size() > 32 ? "..." : "");
        FailLimit("the text \"" + shown + "\" makes " + std::to_string(geometry.vertices.size()) +
                  " vertices and " + std::to_string(geometry.indices.size()) +
                  " indices; a text mesh holds at most 65535 of each");
    }
    return DescribeMesh(word, StoreTextMesh(arena, geometry));
}

}  // namespace

CommandRunner SetupText(CLI::App& sub) {
    auto word = std::make_shared<std::string>();
    auto builtin = std::make_shared<bool>(false);
    auto* wordOption =
        sub.add_option("--word", *word, "one word to build (characters up to U+00FF)");
    sub.add_flag("--builtin", *builtin, "the 35 embedded words that are made, in table order")
        ->excludes(wordOption);
    return [word, builtin, wordOption] {
        if (!*builtin && wordOption->count() == 0) FailInput("text needs --word or --builtin");
        Arena arena;
        InitArena(arena, std::uint64_t{1} << 28);
        Json words = Json::array();
        if (*builtin) {
            for (int i = 0; i < kTextMeshCount; ++i) {
                words.push_back(DescribeWord(arena, WordList()[i]));
            }
        } else {
            words.push_back(DescribeWord(arena, Utf8ToLatin1(*word)));
        }
        PrintJson({{"words", words}});
        return 0;
    };
}

Json StatsWords() {
    Json words = Json::array();
    for (int i = 0; i < kWordCount; ++i) words.push_back(WordList()[i]);
    return words;
}

}  // namespace quixo::tool
