#pragma once
// The words of the 3D text: section titles, the four machines, and the handles of the credits
// and greetings. Authored in data/words/words.txt, checked and packed at build time, embedded as
// the zero-terminated strings one after the other.
#include <string>
#include <string_view>
#include <vector>

namespace quixo {

constexpr int kWordCount = 38;      // entries in the list
constexpr int kTextMeshCount = 35;  // the first words are made into meshes; the rest never are

// Entries the scenes address by index (their text meshes are drawn by number).
struct FixedWord {
    int index;
    const char* text;
};
inline constexpr FixedWord kFixedWords[] = {
    {0, "AMIGA"}, {1, "ATARI"}, {5, "C64"}, {8, "CREDITS"}, {17, "GREETINGS"}, {34, "ZX-Spectrum"},
};

// The embedded list: kWordCount pointers to zero-terminated strings.
const char* const* WordList();

// One entry of the authored source, with the line it came from.
struct WordSourceEntry {
    std::string text;
    int line;
};

// Reads the authored source: one word a line, surrounding blanks dropped; blank lines and
// lines starting with '#' carry no word.
std::vector<WordSourceEntry> ParseWordSource(std::string_view source);

// Everything wrong with a list, one message a fault ("LINE: what"), empty when it is sound:
// the entry count, the fixed entries in their places, printable ASCII only, and strictly
// increasing order when compared without regard to case.
std::vector<std::string> CheckWordList(const std::vector<WordSourceEntry>& entries);

// The packed form that is embedded: every word followed by a zero byte.
std::string PackWordList(const std::vector<WordSourceEntry>& entries);

// Negative, zero or positive as a sorts before, with or after b, ignoring ASCII case.
int CompareWordsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace quixo
