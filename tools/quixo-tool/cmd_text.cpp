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

// Words are character codes byte by byte (Latin-1); JSON wants UTF-8.
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
        FailLimit("the text \"" + Latin1ToUtf8(word) + "\" makes " +
                  std::to_string(geometry.vertices.size()) + " vertices and " +
                  std::to_string(geometry.indices.size()) +
                  " indices; a text mesh holds at most 65535 of each");
    }
    return DescribeMesh(word, StoreTextMesh(arena, geometry));
}

}  // namespace

CommandRunner SetupText(CLI::App& sub) {
    auto word = std::make_shared<std::string>();
    auto builtin = std::make_shared<bool>(false);
    auto* wordOption = sub.add_option("--word", *word,
                                      "one word to build (bytes taken as Latin-1 character codes)");
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
            words.push_back(DescribeWord(arena, *word));
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
