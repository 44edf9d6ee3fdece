#pragma once
// Word catching without the window: the log fields with their INI
// keys and codes, the word under the caret, CleanWord, the contest-mode
// classification, the upper case of a caught word in its code page, and the
// two sequence counters of the outgoing announcements.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/CodePage.h"

namespace quelp {

// One field of the logging program: its item in the pop-up menu, the INI key
// it is written under and the code the announcements carry.
struct LogField {
    const char* name;     // menu item, "Call1"
    const char* caption;  // "Call"
    const char* key;      // INI key, "Call"
    std::int32_t code;    // FieldCode
};

// The seven fields in the pop-up menu's order.
inline constexpr std::array<LogField, 7> kLogFields = {{
    {"Call1", "Call", "Call", 0x4},
    {"Number1", "Number", "NumberRcvd", 0x100000},
    {"RST1", "RST", "RprtRcvd", 0x40},
    {"Name1", "Name", "Name", 0x80},
    {"QTH1", "QTH", "QTH", 0x100},
    {"QSLvia1", "QSL via", "QSLVia", 0x200},
    {"Remarks1", "Remarks", "Note", 0x400},
}};
inline constexpr const LogField& kCallField = kLogFields[0];
inline constexpr const LogField& kNumberField = kLogFields[1];

// The receive text's word delimiters for the one-click catch: tab, line
// feed, carriage return, blank and $ % & , - . : ; < = > ("/" and "?" belong
// to words).
bool IsWordSeparator(unsigned char c);

// The word around byte position `caret` of `text` (a caret between two
// characters takes the word on either side of it); empty between two
// separators.
std::string_view WordAt(std::string_view text, std::size_t caret);

// The text trimmed and stripped of every byte 0x20 or below ("rst 599" ->
// "rst599").
std::string CleanWord(std::string_view text);

// Contest mode: a caught word is a call sign only when it mixes at least two
// letters with at least one digit, uses nothing but letters, digits and "/",
// does not begin with two digits and does not end in a digit other than a
// "/"-suffix digit; anything else is a received number.
const LogField& ContestField(std::string_view word);

// The word in upper case as the code page writes it: ASCII, and the letters
// of the page that have an upper-case form in it (Cyrillic in 1251, the
// accented Latin letters in 1252, ...).
std::string AnsiUpperCase(std::string_view bytes, CodePage page);

// The counters of the "Tolvan_Message" broadcast (bit 8 clear) and of the
// automation events (bit 8 set). Each use carries counter OR 0x83 and then
// advances the counter by 0x200 within 0x7F00, so 64 values cycle.
class ExportSequence {
  public:
    static constexpr std::uint32_t kTag = 0x83;
    std::uint32_t NextBroadcast() { return Take(broadcast_); }
    std::uint32_t NextEvent() { return Take(event_); }

  private:
    static std::uint32_t Take(std::uint32_t& seq) {
        const std::uint32_t value = seq | kTag;
        seq = (seq + 0x200) & 0x7F00;
        return value;
    }
    std::uint32_t broadcast_ = 0;
    std::uint32_t event_ = 0x100;
};

}  // namespace quelp
