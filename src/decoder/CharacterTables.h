#pragma once
// The alphabets: three built-in character tables (English, Swedish, Russian),
// the user table loaded from a charset file, and the lookup that turns the
// tree index of a received character into the bytes that are printed.
//
// Tree index: a leading 1 bit followed by one bit per element in sending
// order, dot 0 and dash 1 ("e" is 2, "t" is 3, "0" is 63); 0 is a word space;
// bit 31 set marks a character that overflowed (31 elements kept).

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quelp {

// Values of `Charset`.
namespace charset {
inline constexpr int English = 0;
inline constexpr int Russian = 1;
inline constexpr int User = 2;
inline constexpr int Swedish = 3;
}  // namespace charset

// The table in force and the user table's file.
struct CharsetChoice {
    int Charset = 0;  // one of charset::
    std::string UserCharsetFile;
};

// Results of ReadUserCharset and LoadUserCharset.
enum class [[nodiscard]] CharsetResult : int{
    Ok = 0,
    Empty = -1,
    // The file could not be opened or read: missing, not a regular file (a
    // folder, a FIFO, a device) or larger than 64 KiB. Callers treat it like an
    // empty file (English stays selected); the user table keeps its old contents.
    CannotOpen = -2,
};

// Results of ParseCharsetLine: what kind of line was read. Every kind but
// EndOfData is a normal line, so there is no single success; a definition is
// the one that carries an entry.
enum class [[nodiscard]] CharsetLineResult : int{
    Definition = 0,  // index and text were read
    Ignored = 1,     // a comment or other non-definition line
    TooLong = 2,     // more than 7 elements, ignored
    EndOfData = -1,
};

// Reads the bytes of a charset file one at a time.
class CharsetReader {
  public:
    explicit CharsetReader(std::string_view data) : data_(data) {}
    // False at end of data.
    bool Next(unsigned char& byte) {
        if (pos_ >= data_.size()) return false;
        byte = static_cast<unsigned char>(data_[pos_++]);
        return true;
    }

  private:
    std::string_view data_;
    std::size_t pos_ = 0;
};

// Longest text of one user table entry, in bytes.
inline constexpr std::size_t kUserTextMax = 15;

// Reads one line of a charset file: a definition (elements, blanks, text), a
// comment, or an over-long definition. `text` receives at most 15 bytes.
CharsetLineResult ParseCharsetLine(CharsetReader& in, std::uint32_t& index, std::string& text);

class CharacterTables {
  public:
    CharacterTables();

    // The printed text of a tree index in the table selected by `charsetValue`
    // (1 Russian, 3 Swedish, 2 user, anything else English). Composed texts
    // (element pictures) live in a buffer that the next call overwrites.
    std::string_view LookupCharacter(std::uint32_t index, int charsetValue);

    // Loads the user table from a file: Empty when the file is empty,
    // CannotOpen when it cannot be opened or read, is not a regular file or is
    // larger than 64 KiB. On failure the user table keeps its old contents.
    CharsetResult ReadUserCharset(const std::string& path);
    // The same from bytes already in memory: Empty when `data` is empty.
    CharsetResult LoadUserCharset(std::string_view data);

    // The entry of the user table (for the setup dialog and the tests).
    std::string_view UserEntry(std::uint8_t index) const;

  private:
    using Slot = std::array<char, kUserTextMax + 1>;
    std::array<Slot, 256> user_{};
    // One picture of up to 31 elements: "{ " + 31 × 2 + "%}" = 66 bytes.
    std::array<char, 68> composed_{};
};

// The built-in table entry (English, Swedish or Russian; other values give
// English). The user table is not consulted.
std::string_view BuiltInEntry(int charsetValue, std::uint8_t index);

// Choosing the table at start-up from the settings `Charset` and
// `UserCharsetFile`: returns the new `Charset`. Russian and Swedish stay; the
// user table is chosen only when its file loads; everything else, a missing
// or empty user file included, selects English without a message.
int SelectStartupCharset(int charsetValue, const std::string& userCharsetFile,
                         CharacterTables& tables);

// Applying the setup dialog's character table page (OK or Apply).
// `checkedCharset` is the value of the checked radio button, `changed` the
// page's change flag, `userCharsetEdit` the edit's text. Sets `Charset` (and
// `UserCharsetFile` for the user table, whose file is read again); when that
// file does not load it falls back to English and returns true: the dialog
// then says "Error with user charset file!" and checks the English button.
// The caller clears its change flag afterwards.
bool ApplyCharsetChoice(CharsetChoice& choice, CharacterTables& tables, int checkedCharset,
                        bool changed, const std::string& userCharsetEdit);

}  // namespace quelp
