// Word catching without the window: the word under the caret, CleanWord, the
// contest-mode classification, upper case in the code page, and the two
// sequence counters.

#include "text/WordCatch.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace quelp {
namespace {

TEST(WordCatch, TheWordAtTheCaretEndsAtTheSeparatorSet) {
    const std::string text = "cq de ea8/dl1abc? 5nn,tu 73$x\r\nqrz";
    EXPECT_EQ(WordAt(text, 0), "cq");
    EXPECT_EQ(WordAt(text, 2), "cq");           // just after the word
    EXPECT_EQ(WordAt(text, 8), "ea8/dl1abc?");  // "/" and "?" belong to words
    EXPECT_EQ(WordAt(text, 19), "5nn");
    EXPECT_EQ(WordAt(text, 22), "tu");
    EXPECT_EQ(WordAt(text, 27), "73");
    EXPECT_EQ(WordAt(text, text.size()), "qrz");
    EXPECT_EQ(WordAt(", .", 1), "");  // between two separators
    for (const char c : std::string("\t\n\r $%&,-.:;<=>")) {
        EXPECT_TRUE(IsWordSeparator(static_cast<unsigned char>(c))) << int(c);
    }
    EXPECT_FALSE(IsWordSeparator('/'));
    EXPECT_FALSE(IsWordSeparator('?'));
}

TEST(WordCatch, CleanWordDropsEveryByteUpToBlank) {
    EXPECT_EQ(CleanWord(" rst 599\r\n"), "rst599");
    EXPECT_EQ(CleanWord(std::string("\x01"
                                    "dl\x1f"
                                    "1abc\x7f\xC0",
                                    10)),
              "dl1abc\x7f\xC0");
    EXPECT_EQ(CleanWord("  \t"), "");
}

TEST(WordCatch, ContestModeClassification) {
    const struct {
        const char* word;
        const char* key;
    } cases[] = {
        {"dl1abc", "Call"},
        {"599", "NumberRcvd"},
        {"15", "NumberRcvd"},
        {"599001", "NumberRcvd"},
        {"ok1ab/p", "Call"},
        {"ea8/dl1abc", "Call"},
        {"dl1ab/5", "Call"},
        {"k1a", "Call"},
        {"5nn", "Call"},
        {"abc", "NumberRcvd"},
        {"tu", "NumberRcvd"},
        {"dl1ab?", "NumberRcvd"},
        {"k1ab", "Call"},
        {"k1a/", "Call"},
        {"ab/1", "NumberRcvd"},
        {"1a2", "NumberRcvd"},
        {"a12b", "Call"},
        {"k11", "NumberRcvd"},
        {"1ab", "Call"},
        {"r5", "NumberRcvd"},
        {"\xC0\xC1"
         "1",
         "NumberRcvd"},
    };
    for (const auto& c : cases) EXPECT_STREQ(ContestField(c.word).key, c.key) << c.word;
    EXPECT_EQ(ContestField("dl1abc").code, 4);
    EXPECT_EQ(ContestField("599").code, 0x100000);
}

TEST(WordCatch, UpperCaseInTheCodePage) {
    EXPECT_EQ(AnsiUpperCase("dl1abc/p", CodePage::Cp1251), "DL1ABC/P");
    // Cyrillic in 1251 (ё too), accented Latin in 1252; the rest as it is.
    EXPECT_EQ(AnsiUpperCase("\xE0\xE1\xFF\xB8", CodePage::Cp1251), "\xC0\xC1\xDF\xA8");
    EXPECT_EQ(AnsiUpperCase("\xE9\xFF\xF7", CodePage::Cp1252), "\xC9\x9F\xF7");
    EXPECT_EQ(AnsiUpperCase("\xE9", CodePage::Raw), "\xE9");
}

TEST(WordCatch, SequenceCountersCycleApart) {
    ExportSequence seq;
    EXPECT_EQ(seq.NextBroadcast(), 0x83u);
    EXPECT_EQ(seq.NextBroadcast(), 0x283u);
    EXPECT_EQ(seq.NextEvent(), 0x183u);
    EXPECT_EQ(seq.NextEvent(), 0x383u);
    std::set<std::uint32_t> seen;
    for (int i = 0; i < 64; ++i) {
        const std::uint32_t b = seq.NextBroadcast();
        const std::uint32_t e = seq.NextEvent();
        EXPECT_EQ(b & 0x100u, 0u);
        EXPECT_EQ(e & 0x100u, 0x100u);
        seen.insert(b);
    }
    EXPECT_EQ(seen.size(), 64u);  // 64 values, then round again
    EXPECT_EQ(*seen.rbegin(), 0x7E83u);
}

}  // namespace
}  // namespace quelp
