// quixo_wordc WORDS.txt OUT.bin: checks the word list of the 3D text (count, the fixed entries,
// order, characters) and that every word that is made into a mesh fits a text mesh's 16-bit
// counts, then writes the packed list. Faults are reported as FILE:LINE: message.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "mesh/text_mesh.h"
#include "mesh/word_list.h"
#include "platform/font_outline.h"

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quixo;
    if (argc != 3) return Fail("usage: quixo_wordc WORDS.txt OUT.bin");
    const std::string sourcePath = argv[1];
    std::ifstream in(sourcePath, std::ios::binary);
    if (!in) return Fail(sourcePath + ": cannot be read");
    std::ostringstream text;
    text << in.rdbuf();

    const std::vector<WordSourceEntry> entries = ParseWordSource(text.str());
    const std::vector<std::string> faults = CheckWordList(entries);
    for (const std::string& fault : faults)
        std::fprintf(stderr, "%s:%s\n", sourcePath.c_str(), fault.c_str());
    if (!faults.empty()) return 1;

    const OutlineFont& font = SansOutlineFont();
    int bad = 0;
    for (int i = 0; i < kTextMeshCount; ++i) {
        const TextGeometry geometry = BuildWordGeometry(font, entries[i].text);
        if (!FitsTextMesh(geometry)) {
            std::fprintf(stderr,
                         "%s:%d: \"%s\" makes %zu vertices and %zu indices; a text mesh holds "
                         "65535 of each\n",
                         sourcePath.c_str(), entries[i].line, entries[i].text.c_str(),
                         geometry.vertices.size(), geometry.indices.size());
            ++bad;
        }
    }
    if (bad > 0) return 1;

    const std::string packed = PackWordList(entries);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(packed.data(), static_cast<std::streamsize>(packed.size()));
    if (!out) return Fail(std::string(argv[2]) + ": cannot be written");
    return 0;
}
