#include "mesh/word_list.h"

#include <cstddef>

namespace quixo {

namespace {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view Trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

std::string At(int line, const std::string& what) {
    return std::to_string(line) + ": " + what;
}

}  // namespace

int CompareWordsIgnoringCase(std::string_view a, std::string_view b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(LowerAscii(a[i]));
        const auto cb = static_cast<unsigned char>(LowerAscii(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

std::vector<WordSourceEntry> ParseWordSource(std::string_view source) {
    std::vector<WordSourceEntry> entries;
    int line = 0;
    while (!source.empty()) {
        ++line;
        const std::size_t end = source.find('\n');
        const std::string_view text =
            Trimmed(end == std::string_view::npos ? source : source.substr(0, end));
        source.remove_prefix(end == std::string_view::npos ? source.size() : end + 1);
        if (text.empty() || text.front() == '#') continue;
        entries.push_back({std::string(text), line});
    }
    return entries;
}

std::vector<std::string> CheckWordList(const std::vector<WordSourceEntry>& entries) {
    std::vector<std::string> faults;
    const int lastLine = entries.empty() ? 1 : entries.back().line;
    if (static_cast<int>(entries.size()) != kWordCount) {
        faults.push_back(At(lastLine, "the list has " + std::to_string(entries.size()) +
                                          " words; it must have exactly " +
                                          std::to_string(kWordCount)));
    }
    for (const FixedWord& fixed : kFixedWords) {
        if (fixed.index >= static_cast<int>(entries.size())) {
            faults.push_back(At(lastLine, "missing word " + std::to_string(fixed.index) +
                                              ", which must be \"" + fixed.text + "\""));
        } else if (entries[fixed.index].text != fixed.text) {
            const WordSourceEntry& e = entries[fixed.index];
            faults.push_back(At(e.line, "word " + std::to_string(fixed.index) + " is \"" + e.text +
                                            "\"; it must be \"" + fixed.text + "\""));
        }
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const WordSourceEntry& e = entries[i];
        for (char c : e.text) {
            if (c < 0x20 || c > 0x7e) {
                faults.push_back(At(e.line, "\"" + e.text +
                                                "\" holds a character that is not "
                                                "printable ASCII"));
                break;
            }
        }
        if (i > 0 && CompareWordsIgnoringCase(entries[i - 1].text, e.text) >= 0) {
            faults.push_back(At(e.line, "\"" + e.text +
                                            "\" is out of alphabetical order: it "
                                            "must come after \"" +
                                            entries[i - 1].text + "\""));
        }
    }
    return faults;
}

std::string PackWordList(const std::vector<WordSourceEntry>& entries) {
    std::string packed;
    for (const WordSourceEntry& e : entries) {
        packed += e.text;
        packed += '\0';
    }
    return packed;
}

}  // namespace quixo
