#include "decoder/CharacterTables.h"

#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

namespace quelp {

namespace {

using Table = std::array<std::string_view, 256>;

// The largest user table file read.
constexpr std::size_t kMaxUserCharsetBytes = 64 * 1024;

struct Entry {
    std::uint8_t index;
    std::string_view text;
};

// The English table; Swedish and Russian are built from it.
constexpr Entry kEnglish[] = {
    {0, " "},   {2, "e"},     {3, "t"},     {4, "i"},     {5, "a"},     {6, "n"},     {7, "m"},
    {8, "s"},   {9, "u"},     {10, "r"},    {11, "w"},    {12, "d"},    {13, "k"},    {14, "g"},
    {15, "o"},  {16, "h"},    {17, "v"},    {18, "f"},    {19, "\xFE"}, {20, "l"},    {21, "\xFF"},
    {22, "p"},  {23, "j"},    {24, "b"},    {25, "x"},    {26, "c"},    {27, "y"},    {28, "z"},
    {29, "q"},  {30, "\xF7"}, {31, "\xF8"}, {32, "5"},    {33, "4"},    {35, "3"},    {36, "\xFD"},
    {39, "2"},  {40, "AS"},   {42, "AR"},   {47, "1"},    {48, "6"},    {49, "="},    {50, "/"},
    {53, "KA"}, {54, "KN"},   {56, "7"},    {60, "8"},    {62, "9"},    {63, "0"},    {64, "."},
    {69, "SK"}, {76, "?"},    {77, "_"},    {82, "\x22"}, {85, "."},    {94, "\x22"}, {97, "-"},
    {106, ";"}, {109, ")"},   {115, ","},   {120, ":"},   {125, "^"},   {128, "#"},   {197, "BK"},
};

constexpr Entry kSwedishChanges[] = {{21, "\xE4"}, {30, "\xF6"}, {45, "\xE5"}};

// Indices 2..31 of the Russian table: the Cyrillic letters (Windows-1251).
constexpr Entry kRussianChanges[] = {
    {2, "\xE5"},  {3, "\xF2"},  {4, "\xE8"},  {5, "\xE0"},  {6, "\xED"},  {7, "\xEC"},
    {8, "\xF1"},  {9, "\xF3"},  {10, "\xF0"}, {11, "\xE2"}, {12, "\xE4"}, {13, "\xEA"},
    {14, "\xE3"}, {15, "\xEE"}, {16, "\xF5"}, {17, "\xE6"}, {18, "\xF4"}, {19, "\xFE"},
    {20, "\xEB"}, {21, "\xFF"}, {22, "\xEF"}, {23, "\xE9"}, {24, "\xE1"}, {25, "\xFC"},
    {26, "\xF6"}, {27, "\xFB"}, {28, "\xE7"}, {29, "\xF9"}, {30, "\xF7"}, {31, "\xF8"},
};

template <std::size_t N>
constexpr Table Apply(Table table, const Entry (&changes)[N]) {
    for (const Entry& e : changes) table[e.index] = e.text;
    return table;
}

constexpr Table MakeEnglish() {
    Table table{};
    for (auto& entry : table) entry = "%";
    return Apply(table, kEnglish);
}

constexpr Table kEnglishTable = MakeEnglish();
constexpr Table kSwedishTable = Apply(MakeEnglish(), kSwedishChanges);
constexpr Table kRussianTable = Apply(MakeEnglish(), kRussianChanges);

// The index of the two letters CQ sent without a gap (-.-.--.-).
constexpr std::uint32_t kCqIndex = 429;
constexpr std::uint32_t kOverflowBit = 0x80000000u;

bool IsElement(unsigned char c) {
    return c == '.' || c == '-';
}

// Reads up to and including the next line feed; false at end of data.
bool SkipToLineFeed(CharsetReader& in) {
    unsigned char c = 0;
    while (in.Next(c)) {
        if (c == '\n') return true;
    }
    return false;
}

}  // namespace

std::string_view BuiltInEntry(int charsetValue, std::uint8_t index) {
    switch (charsetValue) {
        case charset::Russian:
            return kRussianTable[index];
        case charset::Swedish:
            return kSwedishTable[index];
        default:
            return kEnglishTable[index];
    }
}

CharsetLineResult ParseCharsetLine(CharsetReader& in, std::uint32_t& index, std::string& text) {
    text.clear();
    unsigned char c = 0;
    do {
        if (!in.Next(c)) return CharsetLineResult::EndOfData;
    } while (c <= 0x20);

    if (!IsElement(c))
        return SkipToLineFeed(in) ? CharsetLineResult::Ignored : CharsetLineResult::EndOfData;

    index = 1;
    while (IsElement(c)) {
        index = index * 2 + (c == '-' ? 1 : 0);
        if (index > 255) {
            return SkipToLineFeed(in) ? CharsetLineResult::TooLong : CharsetLineResult::EndOfData;
        }
        if (!in.Next(c)) return CharsetLineResult::EndOfData;
    }
    // Blanks and line ends may stand between the elements and the text.
    while (c <= 0x20) {
        if (!in.Next(c)) return CharsetLineResult::EndOfData;
    }
    bool more = true;
    while (more && c > 0x20 && text.size() < kUserTextMax) {
        text.push_back(static_cast<char>(c));
        more = text.size() < kUserTextMax && in.Next(c);
    }
    // The rest of the line after the text is ignored.
    if (!(more && c == '\n')) SkipToLineFeed(in);
    return CharsetLineResult::Definition;
}

CharacterTables::CharacterTables() {
    // The user table starts as a load of an empty definition list: every
    // entry undefined, the word space a blank.
    for (Slot& slot : user_) {
        slot.fill('\0');
        slot[0] = '%';
    }
    user_[0][0] = ' ';
}

std::string_view CharacterTables::UserEntry(std::uint8_t index) const {
    return std::string_view(user_[index].data());
}

std::string_view CharacterTables::LookupCharacter(std::uint32_t index, int charsetValue) {
    if (index < 256) {
        const auto i = static_cast<std::uint8_t>(index);
        const std::string_view entry =
            charsetValue == charset::User ? UserEntry(i) : BuiltInEntry(charsetValue, i);
        if (!entry.empty() && entry[0] != '%') return entry;
    }
    if (index == kCqIndex) return "CQ";

    // The element picture: "{ ", ". " or "- " per element, "%" for an
    // overflowed character, "}". A character of dots only prints "#".
    int top = 31;
    while (top >= 0 && ((index >> top) & 1u) == 0) --top;  // the leading 1 bit
    std::size_t n = 0;
    composed_[n++] = '{';
    composed_[n++] = ' ';
    bool anyDash = false;
    for (int bit = top - 1; bit >= 0; --bit) {
        const bool dash = ((index >> bit) & 1u) != 0;
        anyDash = anyDash || dash;
        composed_[n++] = dash ? '-' : '.';
        composed_[n++] = ' ';
    }
    if (!anyDash) return "#";
    if ((index & kOverflowBit) != 0) composed_[n++] = '%';
    composed_[n++] = '}';
    composed_[n] = '\0';
    return std::string_view(composed_.data(), n);
}

CharsetResult CharacterTables::LoadUserCharset(std::string_view data) {
    if (data.empty()) return CharsetResult::Empty;
    for (Slot& slot : user_) {
        slot.fill('\0');
        slot[0] = '%';
    }
    user_[0][0] = ' ';
    CharsetReader in(data);
    std::uint32_t index = 0;
    std::string text;
    for (;;) {
        const CharsetLineResult result = ParseCharsetLine(in, index, text);
        if (result == CharsetLineResult::EndOfData) break;
        if (result != CharsetLineResult::Definition) continue;
        Slot& slot = user_[index & 0xFFu];
        slot.fill('\0');
        std::memcpy(slot.data(), text.data(), text.size());
    }
    return CharsetResult::Ok;
}

CharsetResult CharacterTables::ReadUserCharset(const std::string& path) {
    // A table of 256 short entries is a few kilobytes. Anything but a regular
    // file (a FIFO would block in open, /dev/zero never ends) or a file far
    // larger than a table is refused before it can stall or fill memory.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return CharsetResult::CannotOpen;
    std::string data;
    try {
        std::ifstream in(path, std::ios::binary);
        if (!in) return CharsetResult::CannotOpen;
        // One byte more than allowed tells a larger file.
        data.resize(kMaxUserCharsetBytes + 1);
        // istream::read turns a read error (an I/O error) into badbit
        // instead of an exception.
        in.read(data.data(), static_cast<std::streamsize>(data.size()));
        if (in.bad()) return CharsetResult::CannotOpen;
        data.resize(static_cast<std::size_t>(in.gcount()));
    } catch (const std::exception&) {
        return CharsetResult::CannotOpen;
    }
    if (data.size() > kMaxUserCharsetBytes) return CharsetResult::CannotOpen;
    return LoadUserCharset(data);
}

int SelectStartupCharset(int charsetValue, const std::string& userCharsetFile,
                         CharacterTables& tables) {
    switch (charsetValue) {
        case charset::Russian:
        case charset::Swedish:
            return charsetValue;
        case charset::User:
            return tables.ReadUserCharset(userCharsetFile) == CharsetResult::Ok ? charset::User
                                                                                : charset::English;
        default:
            return charset::English;
    }
}

bool ApplyCharsetChoice(CharsetChoice& choice, CharacterTables& tables, int checkedCharset,
                        bool changed, const std::string& userCharsetEdit) {
    if (checkedCharset != choice.Charset) changed = true;
    if (changed) {
        switch (checkedCharset) {
            case charset::Russian:
            case charset::Swedish:
            case charset::User:
                choice.Charset = checkedCharset;
                break;
            default:
                choice.Charset = charset::English;
        }
    }
    if (choice.Charset != charset::User) return false;
    choice.UserCharsetFile = userCharsetEdit;
    if (tables.ReadUserCharset(choice.UserCharsetFile) == CharsetResult::Ok) return false;
    choice.Charset = charset::English;
    return true;
}

}  // namespace quelp
