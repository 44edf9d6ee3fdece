#include "decoder/CharacterTables.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace quelp {
namespace {

std::uint32_t IndexOf(std::string_view elements) {
    std::uint32_t index = 1;
    for (char e : elements) index = index * 2 + (e == '-' ? 1 : 0);
    return index;
}

struct Row {
    std::uint32_t index;
    const char* elements;
    const char* english;
    const char* swedish;
    const char* russian;
};

// Every defined entry of the three built-in tables.
const Row kRows[] = {
    {2, ".", "e", "e", "\xE5"},
    {3, "-", "t", "t", "\xF2"},
    {4, "..", "i", "i", "\xE8"},
    {5, ".-", "a", "a", "\xE0"},
    {6, "-.", "n", "n", "\xED"},
    {7, "--", "m", "m", "\xEC"},
    {8, "...", "s", "s", "\xF1"},
    {9, "..-", "u", "u", "\xF3"},
    {10, ".-.", "r", "r", "\xF0"},
    {11, ".--", "w", "w", "\xE2"},
    {12, "-..", "d", "d", "\xE4"},
    {13, "-.-", "k", "k", "\xEA"},
    {14, "--.", "g", "g", "\xE3"},
    {15, "---", "o", "o", "\xEE"},
    {16, "....", "h", "h", "\xF5"},
    {17, "...-", "v", "v", "\xE6"},
    {18, "..-.", "f", "f", "\xF4"},
    {19, "..--", "\xFE", "\xFE", "\xFE"},
    {20, ".-..", "l", "l", "\xEB"},
    {21, ".-.-", "\xFF", "\xE4", "\xFF"},
    {22, ".--.", "p", "p", "\xEF"},
    {23, ".---", "j", "j", "\xE9"},
    {24, "-...", "b", "b", "\xE1"},
    {25, "-..-", "x", "x", "\xFC"},
    {26, "-.-.", "c", "c", "\xF6"},
    {27, "-.--", "y", "y", "\xFB"},
    {28, "--..", "z", "z", "\xE7"},
    {29, "--.-", "q", "q", "\xF9"},
    {30, "---.", "\xF7", "\xF6", "\xF7"},
    {31, "----", "\xF8", "\xF8", "\xF8"},
    {32, ".....", "5", "5", "5"},
    {33, "....-", "4", "4", "4"},
    {35, "...--", "3", "3", "3"},
    {36, "..-..", "\xFD", "\xFD", "\xFD"},
    {39, "..---", "2", "2", "2"},
    {40, ".-...", "AS", "AS", "AS"},
    {42, ".-.-.", "AR", "AR", "AR"},
    {45, ".--.-", nullptr, "\xE5", nullptr},
    {47, ".----", "1", "1", "1"},
    {48, "-....", "6", "6", "6"},
    {49, "-...-", "=", "=", "="},
    {50, "-..-.", "/", "/", "/"},
    {53, "-.-.-", "KA", "KA", "KA"},
    {54, "-.--.", "KN", "KN", "KN"},
    {56, "--...", "7", "7", "7"},
    {60, "---..", "8", "8", "8"},
    {62, "----.", "9", "9", "9"},
    {63, "-----", "0", "0", "0"},
    {64, "......", ".", ".", "."},
    {69, "...-.-", "SK", "SK", "SK"},
    {76, "..--..", "?", "?", "?"},
    {77, "..--.-", "_", "_", "_"},
    {82, ".-..-.", "\x22", "\x22", "\x22"},
    {85, ".-.-.-", ".", ".", "."},
    {94, ".----.", "\x22", "\x22", "\x22"},
    {97, "-....-", "-", "-", "-"},
    {106, "-.-.-.", ";", ";", ";"},
    {109, "-.--.-", ")", ")", ")"},
    {115, "--..--", ",", ",", ","},
    {120, "---...", ":", ":", ":"},
    {125, "----.-", "^", "^", "^"},
    {128, ".......", "#", "#", "#"},
    {197, "-...-.-", "BK", "BK", "BK"},
};

TEST(CharacterTables, BuiltInTablesHoldExactlyTheDefinedEntries) {
    const std::pair<int, const char * Row::*> tables[] = {
        {charset::English, &Row::english},
        {charset::Swedish, &Row::swedish},
        {charset::Russian, &Row::russian},
    };
    for (const auto& [which, column] : tables) {
        std::set<std::uint32_t> defined;
        for (const Row& row : kRows) {
            ASSERT_EQ(IndexOf(row.elements), row.index) << row.elements;
            const char* expected = row.*column;
            if (expected == nullptr) continue;
            defined.insert(row.index);
            EXPECT_EQ(BuiltInEntry(which, static_cast<std::uint8_t>(row.index)), expected)
                << "table " << which << " index " << row.index;
        }
        EXPECT_EQ(BuiltInEntry(which, 0), " ");
        for (std::uint32_t i = 1; i < 256; ++i) {
            if (defined.count(i) == 0) {
                EXPECT_EQ(BuiltInEntry(which, static_cast<std::uint8_t>(i)), "%")
                    << "table " << which << " index " << i;
            }
        }
    }
    // Any other Charset value reads the English table.
    EXPECT_EQ(BuiltInEntry(7, 21), "\xFF");
    EXPECT_EQ(BuiltInEntry(-1, 2), "e");
}

TEST(CharacterTables, LookupComposesPicturesForUndefinedAndLongCharacters) {
    CharacterTables t;
    struct Case {
        std::uint32_t index;
        int table;
        std::string expected;
    };
    const Case cases[] = {
        {2, charset::English, "e"},
        {2, charset::Russian, "\xE5"},
        {45, charset::Swedish, "\xE5"},
        {45, charset::English, "{ . - - . - }"},
        {34, charset::English, "{ . . . - . }"},
        {429, charset::English, "CQ"},
        {429, charset::Russian, "CQ"},
        {429, charset::Swedish, "CQ"},
        {256, charset::English, "#"},  // eight dots
        {128, charset::English, "#"},  // seven dots, from the table
        {0, charset::Swedish, " "},
        {IndexOf("-.-.-.-."), charset::English, "{ - . - . - . - . }"},
        // 31 dots, then overflow: no dash, so no picture.
        {0x80000000u, charset::English, "#"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(t.LookupCharacter(c.index, c.table), c.expected) << c.index;
    }

    // An overflowed character with a dash: 31 elements and the overflow mark.
    const std::string overflow(t.LookupCharacter(0x80000001u, charset::English));
    EXPECT_EQ(overflow.size(), 66u);
    EXPECT_EQ(overflow.substr(overflow.size() - 2), "%}");
    EXPECT_EQ(overflow.substr(overflow.size() - 5), " - %}");
    EXPECT_EQ(overflow.substr(0, 4), "{ . ");
}

TEST(CharacterTables, UserTableStartsUndefinedExceptTheWordSpace) {
    CharacterTables t;
    EXPECT_EQ(t.UserEntry(0), " ");
    EXPECT_EQ(t.UserEntry(5), "%");
    EXPECT_EQ(t.LookupCharacter(5, charset::User), "{ . - }");
    EXPECT_EQ(t.LookupCharacter(0, charset::User), " ");
}

struct ParsedLine {
    CharsetLineResult result;
    std::uint32_t index;
    std::string text;
};

std::vector<ParsedLine> ParseAll(std::string_view data) {
    CharsetReader in(data);
    std::vector<ParsedLine> lines;
    for (int guard = 0; guard < 1000; ++guard) {
        ParsedLine line{CharsetLineResult::EndOfData, 0, ""};
        line.result = ParseCharsetLine(in, line.index, line.text);
        lines.push_back(line);
        if (line.result == CharsetLineResult::EndOfData) break;
    }
    return lines;
}

TEST(CharacterTables, ParseCharsetLineReturnsOneResultPerLine) {
    struct Case {
        const char* name;
        std::string data;
        std::vector<ParsedLine> expected;
    };
    using enum CharsetLineResult;
    const Case cases[] = {
        {"definition", ".-.-.- STOP\n", {{Definition, 85, "STOP"}, {EndOfData, 0, ""}}},
        {"leading blanks and controls",
         " \t\r\n  .- x\n",
         {{Definition, 5, "x"}, {EndOfData, 0, ""}}},
        {"comment",
         "# comment .-\n.- a\n",
         {{Ignored, 0, ""}, {Definition, 5, "a"}, {EndOfData, 0, ""}}},
        {"comment without line end", "# comment", {{EndOfData, 0, ""}}},
        {"eight elements",
         "........ abc\n- t\n",
         {{TooLong, 0, ""}, {Definition, 3, "t"}, {EndOfData, 0, ""}}},
        {"eight elements at end of data", "--------", {{EndOfData, 0, ""}}},
        {"seven elements", "------- long\n", {{Definition, 255, "long"}, {EndOfData, 0, ""}}},
        {"text on the next line", ".-\nabc\n", {{Definition, 5, "abc"}, {EndOfData, 0, ""}}},
        {"text straight after elements",
         ".-abc def\n",
         {{Definition, 5, "abc"}, {EndOfData, 0, ""}}},
        {"cut at 15 bytes",
         ". 12345678901234567890\n- t\n",
         {{Definition, 2, "123456789012345"}, {Definition, 3, "t"}, {EndOfData, 0, ""}}},
        {"exactly 15 bytes",
         ". 123456789012345\n- t",
         {{Definition, 2, "123456789012345"}, {Definition, 3, "t"}, {EndOfData, 0, ""}}},
        {"text at end of data", ".. ii", {{Definition, 4, "ii"}, {EndOfData, 0, ""}}},
        {"cut off before the text", ".-   \n ", {{EndOfData, 0, ""}}},
        {"cut off in the elements", ".-.", {{EndOfData, 0, ""}}},
        {"high bytes are text", "-- \xEC\xFF\n", {{Definition, 7, "\xEC\xFF"}, {EndOfData, 0, ""}}},
        {"rest of line ignored",
         ". e ignored .- x\n- t\n",
         {{Definition, 2, "e"}, {Definition, 3, "t"}, {EndOfData, 0, ""}}},
        {"empty", "", {{EndOfData, 0, ""}}},
    };
    for (const Case& c : cases) {
        const auto got = ParseAll(c.data);
        ASSERT_EQ(got.size(), c.expected.size()) << c.name;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].result, c.expected[i].result) << c.name << " line " << i;
            if (got[i].result == CharsetLineResult::Definition) {
                EXPECT_EQ(got[i].index, c.expected[i].index) << c.name << " line " << i;
                EXPECT_EQ(got[i].text, c.expected[i].text) << c.name << " line " << i;
            }
        }
    }
}

TEST(CharacterTables, UserFileReplacesTheWholeTableInFileOrder) {
    CharacterTables t;
    ASSERT_EQ(t.LoadUserCharset("# my alphabet\n.- first\n- T\n.- second\n........ no\n"),
              CharsetResult::Ok);
    EXPECT_EQ(t.LookupCharacter(5, charset::User), "second");  // a later line replaces
    EXPECT_EQ(t.LookupCharacter(3, charset::User), "T");
    EXPECT_EQ(t.LookupCharacter(2, charset::User), "#");  // undefined: its picture
    EXPECT_EQ(t.LookupCharacter(6, charset::User), "{ - . }");
    EXPECT_EQ(t.LookupCharacter(0, charset::User), " ");

    // A second load starts from an empty table; an empty one changes nothing.
    ASSERT_EQ(t.LoadUserCharset("-- m\n"), CharsetResult::Ok);
    EXPECT_EQ(t.UserEntry(5), "%");
    EXPECT_EQ(t.UserEntry(7), "m");
    EXPECT_EQ(t.LoadUserCharset(""), CharsetResult::Empty);
    EXPECT_EQ(t.UserEntry(7), "m");

    // No definition can reach entry 0: the word space stays a blank.
    EXPECT_EQ(t.UserEntry(0), " ");
}

class UserCharsetFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ =
            std::filesystem::temp_directory_path() /
            ("quelp_charset_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Write(const std::string& name, const std::string& bytes) {
        const auto path = dir_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    std::filesystem::path dir_;
};

TEST_F(UserCharsetFile, ReadAndStartupSelection) {
    CharacterTables t;
    const std::string good = Write("good.qlp", ".-.-.- STOP\r\n");
    const std::string empty = Write("empty.qlp", "");
    const std::string missing = (dir_ / "missing.qlp").string();

    EXPECT_EQ(t.ReadUserCharset(missing), CharsetResult::CannotOpen);
    EXPECT_EQ(t.ReadUserCharset(dir_.string()), CharsetResult::CannotOpen);  // a directory
    EXPECT_EQ(t.ReadUserCharset(empty), CharsetResult::Empty);
    EXPECT_EQ(t.ReadUserCharset(good), CharsetResult::Ok);
    EXPECT_EQ(t.LookupCharacter(85, charset::User), "STOP");

    struct Case {
        int setting;
        std::string file;
        int selected;
    };
    const Case cases[] = {
        {0, good, 0},    {1, good, 1}, {3, missing, 3}, {2, good, 2},  {2, empty, 0},
        {2, missing, 0}, {2, "", 0},   {4, good, 0},    {-5, good, 0},
    };
    for (const Case& c : cases) {
        CharacterTables tables;
        EXPECT_EQ(SelectStartupCharset(c.setting, c.file, tables), c.selected)
            << c.setting << " " << c.file;
    }
    // A failed read keeps the previous user table.
    EXPECT_EQ(SelectStartupCharset(2, missing, t), 0);
    EXPECT_EQ(t.UserEntry(85), "STOP");
}

TEST_F(UserCharsetFile, ReadsATableOfAtMost64KiB) {
    const std::string definition = ".-.-.- STOP\n";
    const struct {
        std::size_t bytes;
        CharsetResult result;
    } cases[] = {
        {64 * 1024, CharsetResult::Ok},
        {64 * 1024 + 1, CharsetResult::CannotOpen},
    };
    for (const auto& c : cases) {
        // The definition last, so that only a whole read finds it.
        const std::string path =
            Write("big.qlp", std::string(c.bytes - definition.size(), '\n') + definition);
        CharacterTables t;
        ASSERT_EQ(t.LoadUserCharset("-- m\n"), CharsetResult::Ok);
        EXPECT_EQ(t.ReadUserCharset(path), c.result) << c.bytes;
        EXPECT_EQ(t.UserEntry(85), c.result == CharsetResult::Ok ? "STOP" : "%") << c.bytes;
        EXPECT_EQ(t.UserEntry(7), c.result == CharsetResult::Ok ? "%" : "m") << c.bytes;
    }
    // A device is no table, whatever it holds.
    CharacterTables t;
    EXPECT_EQ(t.ReadUserCharset("/dev/null"), CharsetResult::CannotOpen);
}

TEST_F(UserCharsetFile, SetupDialogApplyReadsTheUserFileAndFallsBack) {
    const std::string good = Write("good.qlp", "-- MM\n");
    const std::string empty = Write("empty.qlp", "");
    struct Case {
        int before;
        int checked;
        bool changed;
        std::string edit;
        int after;
        bool checkEnglish;  // the file failed: English is checked again
    };
    const Case cases[] = {
        {0, 1, false, "", 1, false},  // a different button counts as a change
        {1, 3, true, "", 3, false},
        {3, 0, true, good, 0, false},  // the edit is only read for the user table
        {0, 2, false, good, 2, false},
        {0, 2, true, empty, 0, true},
        {2, 2, false, empty, 0, true},  // the user table is read on every apply
        {0, 2, true, (dir_ / "none.qlp").string(), 0, true},
    };
    for (const Case& c : cases) {
        CharsetChoice choice;
        choice.Charset = c.before;
        CharacterTables tables;
        EXPECT_EQ(ApplyCharsetChoice(choice, tables, c.checked, c.changed, c.edit), c.checkEnglish)
            << c.before << "->" << c.checked << " " << c.edit;
        EXPECT_EQ(choice.Charset, c.after) << c.before << "->" << c.checked;
        if (c.after == charset::User) {
            EXPECT_EQ(choice.UserCharsetFile, c.edit);
            EXPECT_EQ(tables.LookupCharacter(7, charset::User), "MM");
        }
    }
}

}  // namespace
}  // namespace quelp
