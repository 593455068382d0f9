// What reads the embedded word list: the list itself and the making of the text meshes. Kept
// apart from the rest of the text code so that the build-time compilers, which never link the
// embedded data, can build and check words.
#include <cstdint>
#include <string>

#include "mesh/text_mesh.h"
#include "mesh/word_list.h"
#include "platform/embedded.h"
#include "platform/message_box.h"

QUIXO_DECLARE_BLOB(words);

namespace quixo {

const char* const* WordList() {
    // The blob was checked when it was built: exactly kWordCount zero-terminated words.
    static const auto* const table = [] {
        static const char* words[kWordCount];
        const Blob blob = QUIXO_BLOB(words);
        const char* p = reinterpret_cast<const char*>(blob.data);
        for (const char*& word : words) {
            word = p;
            while (*p != '\0') ++p;
            ++p;
        }
        return words;
    }();
    return table;
}

void MakeTextMeshes(TextMeshTable& table) {
    table.count = kTextMeshCount;
    const OutlineFont& font = SansOutlineFont();
    const char* const* words = WordList();
    GlyphMeshCache cache;
    for (int i = 0; i < kTextMeshCount; ++i) {
        const TextGeometry geometry = BuildWordGeometry(font, words[i], cache);
        // The build checked every word with the same face; another version of the font on
        // this system could still make a word too big for its 16-bit counts.
        if (!FitsTextMesh(geometry)) {
            FatalError("the 3D text of \"" + std::string(words[i]) + "\" has " +
                       std::to_string(geometry.vertices.size()) + " vertices and " +
                       std::to_string(geometry.indices.size()) +
                       " indices, more than a text mesh holds (65535)");
        }
        table.meshes[i] = StoreTextMesh(MemoryArena(), geometry);
    }
}

}  // namespace quixo
