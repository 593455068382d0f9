#include "mesh/word_list.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace quixo {
namespace {

std::vector<WordSourceEntry> EmbeddedEntries() {
    std::vector<WordSourceEntry> entries;
    for (int i = 0; i < kWordCount; ++i) entries.push_back({WordList()[i], i + 1});
    return entries;
}

bool AnyFaultMentions(const std::vector<std::string>& faults, const std::string& text) {
    for (const std::string& f : faults) {
        if (f.find(text) != std::string::npos) return true;
    }
    return false;
}

TEST(WordList, EmbeddedListKeepsTheFixedEntriesInAlphabeticalOrder) {
    const char* const* words = WordList();
    for (const FixedWord& fixed : kFixedWords) EXPECT_STREQ(words[fixed.index], fixed.text);
    EXPECT_STREQ(words[0], "AMIGA");
    EXPECT_STREQ(words[34], "ZX-Spectrum");
    for (int i = 1; i < kWordCount; ++i) {
        EXPECT_LT(CompareWordsIgnoringCase(words[i - 1], words[i]), 0)
            << words[i - 1] << " / " << words[i];
    }
    EXPECT_TRUE(CheckWordList(EmbeddedEntries()).empty());
}

TEST(WordList, ComparisonIgnoresCaseAndPutsPrefixesFirst) {
    EXPECT_EQ(CompareWordsIgnoringCase("CREDITS", "credits"), 0);
    EXPECT_LT(CompareWordsIgnoringCase("C64", "Cobaltwren"), 0);  // digits before letters
    EXPECT_GT(CompareWordsIgnoringCase("Crumbleflux", "CREDITS"), 0);
    EXPECT_LT(CompareWordsIgnoringCase("ZX", "ZX-Spectrum"), 0);
    EXPECT_GT(CompareWordsIgnoringCase("Zygomorph", "ZX-Spectrum"), 0);
}

TEST(WordList, ParseDropsCommentsBlanksAndSurroundingSpaceAndKeepsLineNumbers) {
    const auto entries = ParseWordSource("# heading\n\n  AMIGA \r\nEmber Loom\n\t\nZX-Spectrum");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].text, "AMIGA");
    EXPECT_EQ(entries[0].line, 3);
    EXPECT_EQ(entries[1].text, "Ember Loom");  // inner blanks are part of the word
    EXPECT_EQ(entries[1].line, 4);
    EXPECT_EQ(entries[2].text, "ZX-Spectrum");
    EXPECT_EQ(entries[2].line, 6);
}

TEST(WordList, CheckReportsEachFaultWithItsLine) {
    {
        auto entries = EmbeddedEntries();
        std::swap(entries[10].text, entries[11].text);
        const auto faults = CheckWordList(entries);
        ASSERT_FALSE(faults.empty());
        EXPECT_EQ(faults[0].rfind("12: ", 0), 0u) << faults[0];
        EXPECT_TRUE(AnyFaultMentions(faults, "alphabetical order"));
    }
    {
        auto entries = EmbeddedEntries();
        entries[5].text = "C65";
        EXPECT_TRUE(AnyFaultMentions(CheckWordList(entries), "6: word 5 is \"C65\""));
    }
    {
        // A word equal to its neighbour but for case is not strictly after it.
        auto entries = EmbeddedEntries();
        entries[3].text = entries[2].text;
        for (char& c : entries[3].text) c = static_cast<char>(std::toupper(c));
        EXPECT_TRUE(AnyFaultMentions(CheckWordList(entries), "alphabetical order"));
    }
    {
        auto entries = EmbeddedEntries();
        entries[20].text += "\t";
        entries.back().text += "\xe9";
        const auto faults = CheckWordList(entries);
        EXPECT_TRUE(AnyFaultMentions(faults, "21: "));
        EXPECT_TRUE(AnyFaultMentions(faults, "38: "));
        EXPECT_TRUE(AnyFaultMentions(faults, "printable ASCII"));
    }
    {
        auto entries = EmbeddedEntries();
        entries.pop_back();
        EXPECT_TRUE(AnyFaultMentions(CheckWordList(entries), "has 37 words"));
        entries.resize(20);
        EXPECT_TRUE(AnyFaultMentions(CheckWordList(entries), "missing word 34"));
    }
}

TEST(WordList, PackedFormIsEveryWordFollowedByAZero) {
    const std::string packed = PackWordList({{"AMIGA", 1}, {"Ember Loom", 2}});
    EXPECT_EQ(packed, std::string("AMIGA\0Ember Loom\0", 17));
}

}  // namespace
}  // namespace quixo
