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
    };
    for (const auto& c : cases) EXPECT_EQ(CodePageToUtf8(c.page, c.bytes), c.utf8);
}

TEST(CodePage, EveryByteGivesOneValidCharacter) {
    for (CodePage page : {CodePage::Cp1251, CodePage::Cp1252}) {
        for (int b = 0; b < 256; ++b) {
            const char32_t cp = CodePageToUnicode(page, static_cast<unsigned char>(b));
            EXPECT_TRUE(cp < 0xD800 || (cp > 0xDFFF && cp < 0x110000));
            if (b < 0x80) {
                EXPECT_EQ(cp, static_cast<char32_t>(b));
            }
        }
    }
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
