#include "text/CodePage.h"

#include <gtest/gtest.h>

namespace quelp {
namespace {

TEST(CodePage, KnownLettersConvertToUtf8) {
    const struct {
        CodePage page;
        std::string bytes;
        std::string utf8;
    } cases[] = {
        {CodePage::Cp1251, "CQ \xC0\xC1\xC2 \xE0\xFF", "CQ \u0410\u0411\u0412 \u0430\u044F"},
        {CodePage::Cp1251, "\xA8\xB8\xB9", "\u0401\u0451\u2116"},
        {CodePage::Cp1252, "\xC5\xC4\xD6\xE5\xE4\xF6", "\u00C5\u00C4\u00D6\u00E5\u00E4\u00F6"},
        {CodePage::Cp1252, "\x80\x9F", "\u20AC\u0178"},
        {CodePage::Cp1252, "\x81", "\xC2\x81"},  // undefined: the C1 control
        {CodePage::Raw, "\xC0\x80 ok", "\xC0\x80 ok"},
        {CodePage::Cp1251, std::string("a\0b", 3), std::string("a\0b", 3)},
        {CodePage::Cp1253, "\xC1\xE1\xD9", "\u0391\u03B1\u03A9"},  // Greek
        {CodePage::Cp1250, "\x8A\xE8\xF8", "\u0160\u010D\u0159"},  // Central European
        {CodePage::Cp1257, "\xC0\xE0", "\u0104\u0105"},            // Baltic
        {CodePage::Cp1254, "\xD0\xFD", "\u011E\u0131"},            // Turkish
        {CodePage::Cp1253, "\xAA", "\uF7AA"},  // undefined above 0x9F: private use
    };
    for (const auto& c : cases) EXPECT_EQ(CodePageToUtf8(c.page, c.bytes), c.utf8);
}

constexpr CodePage kAllPages[] = {
    CodePage::Cp1251, CodePage::Cp1252, CodePage::Raw,    CodePage::Cp874,
    CodePage::Cp1250, CodePage::Cp1253, CodePage::Cp1254, CodePage::Cp1255,
    CodePage::Cp1256, CodePage::Cp1257, CodePage::Cp1258,
};

// The window shows bytes as characters and reads them back when the buffer
// is saved: every byte must survive the way there and back.
TEST(CodePage, EveryByteGivesOneCharacterThatConvertsBackToIt) {
    for (CodePage page : kAllPages) {
        for (int b = 0; b < 256; ++b) {
            const char32_t cp = CodePageToUnicode(page, static_cast<unsigned char>(b));
            EXPECT_TRUE(cp < 0xD800 || (cp > 0xDFFF && cp < 0x10000));
            if (b < 0x80) {
                EXPECT_EQ(cp, static_cast<char32_t>(b));
            }
            EXPECT_EQ(UnicodeToCodePage(page, cp), static_cast<unsigned char>(b))
                << static_cast<int>(page) << " byte " << b;
        }
    }
}

TEST(CodePage, CharactersAPageCannotShowHaveNoByte) {
    EXPECT_EQ(UnicodeToCodePage(CodePage::Cp1251, U'\u00C5'), std::nullopt);
    EXPECT_EQ(UnicodeToCodePage(CodePage::Cp1252, U'\u0410'), std::nullopt);
    EXPECT_EQ(UnicodeToCodePage(CodePage::Raw, U'\u0410'), std::nullopt);
}

TEST(CodePage, FontCharacterSetsChooseTheirPage) {
    const struct {
        int charset;
        CodePage page;
    } cases[] = {
        {204, CodePage::Cp1251}, {0, CodePage::Cp1252},   {1, CodePage::Cp1252},
        {161, CodePage::Cp1253}, {238, CodePage::Cp1250}, {162, CodePage::Cp1254},
        {177, CodePage::Cp1255}, {178, CodePage::Cp1256}, {186, CodePage::Cp1257},
        {163, CodePage::Cp1258}, {222, CodePage::Cp874},  {2, CodePage::Cp1252},
        {128, CodePage::Cp1252}, {255, CodePage::Cp1252}, {-5, CodePage::Cp1252},
    };
    for (const auto& c : cases) EXPECT_EQ(CodePageOfCharset(c.charset), c.page) << c.charset;
}

TEST(CodePage, Utf8EncodingLengths) {
    const struct {
        char32_t cp;
        std::string utf8;
    } cases[] = {
        {0x41, "A"}, {0xE9, "\xC3\xA9"}, {0x20AC, "\xE2\x82\xAC"}, {0x1F600, "\xF0\x9F\x98\x80"}};
    for (const auto& c : cases) {
        std::string out;
        AppendUtf8(out, c.cp);
        EXPECT_EQ(out, c.utf8);
    }
}

}  // namespace
}  // namespace quelp
