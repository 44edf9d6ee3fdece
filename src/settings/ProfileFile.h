#pragma once
// An INI ("profile") file held in memory as read: read a value with a
// default, set values, and write the file back crash-safely, leaving every
// line that was not set byte for byte as it was (other programs' sections,
// keys, comments, blank lines, odd bytes and each line's own line end).
//
// The bytes are kept as one block and indexed once when read: the first
// section of each name, and the first key of each name in it. A lookup costs
// the same in a file of 16 MiB as in one of a few lines, and memory grows
// with the file's bytes and its keys, not with its lines. Set values and
// added lines are kept beside the block and merged in when writing.
//
// Lookup rules: section and key names are compared without regard to ASCII
// case; the first section of a name and the first key of a name in it win;
// a value is the text after the first '=', with blanks around it removed and
// one pair of enclosing double quotes dropped, at most 2047 characters. A
// UTF-8 byte-order mark at the start of a line is not part of it. Lines
// before the first section belong to none. A new key goes after the last
// non-blank line of its section, a new section at the end of the file after
// a blank line, each in the line end of the file's first line.
//
// Typical use: Load() once, GetString()/SetString() many times, Save() once
// (a single rewrite). WriteProfileString() is the one-key form.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ports/FileSync.h"

namespace quelp {

// Result codes of ProfileFile::Load and ProfileFile::Save.
enum class [[nodiscard]] ProfileResult : int{
    Ok = 0,
    Unreadable = -1,    // exists but cannot be read (or not a file)
    TooLarge = -2,      // read or to be written: larger than kMaxFileBytes
    NotWritable = -3,   // the file refuses writing (read-only)
    CreateFailed = -4,  // no temporary file beside the target
    WriteFailed = -5,   // short write, flush or close failed
    SyncFailed = -6,    // the data could not be flushed to disk
    RenameFailed = -7,  // the new file could not replace the old
    SymlinkLoop = -8,   // too many symbolic links to follow
    Crashed = -9,       // stopped by the fault hook (a simulated crash)
};

// The operations of a save, in the order they are reached. The fault hook is
// asked before each one.
enum class SaveStep {
    CreateTemp,     // create the temporary file beside the target
    WriteTemp,      // write the first half of the new contents
    WriteTempRest,  // write the second half, flush and close
    SyncTemp,       // flush the temporary file to disk
    Rename,         // replace the target by the temporary file
    SyncFolder,     // flush the folder entry to disk
};

// What the fault hook makes of the next operation.
enum class FaultAction {
    Continue,  // do it
    // Report it failed, as the system would; at CreateTemp this stands for a
    // folder that refuses new files (the save is then refused).
    Fail,
    Crash,  // stop here with nothing cleaned up, as if the process had died
};

struct ProfileSaveOptions {
    // Wired to SyncFileToDisk (FileSync.h) by the application.
    FileSyncFn sync = &NoFileSync;
    // Asked before each SaveStep; for tests of failures and crashes.
    std::function<FaultAction(SaveStep)> fault;
};

class ProfileFile {
  public:
    static constexpr std::size_t kMaxValueChars = 2047;
    // A settings file is a few kilobytes; anything beyond this is not ours to
    // rewrite and is left alone.
    static constexpr std::uintmax_t kMaxFileBytes = 16u * 1024u * 1024u;

    ProfileFile() = default;
    explicit ProfileFile(std::filesystem::path path) : path_(std::move(path)) {}

    const std::filesystem::path& Path() const { return path_; }

    // Reads the file. A missing file is an empty profile (Ok, Exists() false).
    // Any other failure leaves the profile empty and makes Save refuse, so a
    // file that could not be read is never overwritten.
    ProfileResult Load();
    bool Exists() const { return exists_; }

    // Replaces the contents by these bytes, as if read from the file.
    void Parse(std::string_view bytes);
    // The current contents; equal to the parsed bytes while nothing was set.
    std::string Serialize() const;

    // The value of key in section, or def when either is absent.
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view def) const;
    bool HasKey(std::string_view section, std::string_view key) const;
    bool HasSection(std::string_view section) const;

    // Sets key=value in section, adding the key (at the end of the section)
    // or the section (at the end of the file) when missing. Line breaks in the
    // arguments become blanks: a value can never add lines to the file.
    void SetString(std::string_view section, std::string_view key, std::string_view value);

    // Writes the contents to Path(): a temporary file in the same folder,
    // flushed to disk and renamed over the old file, which keeps its
    // permission bits; a symbolic link is followed and its target replaced.
    // On failure the old file is left intact and its ProfileResult is
    // returned.
    //
    // Contents larger than kMaxFileBytes are refused (TooLarge): the next
    // Load would refuse the file, and the settings in it would be lost.
    //
    // A folder that refuses new files (read-only, say) refuses the save too
    // (CreateFailed), even when the file itself is writable. Rewriting the
    // file in place would leave old and new contents mixed if the program
    // died half-way, and a complete copy of the old contents could only be
    // kept beside it, in that very folder. So the user is told the file
    // cannot be written, and the old one stays whole.
    //
    // A temporary file left beside the target by an earlier save that died
    // (".<name>.<16 hex digits>.tmp") is removed by the next save of the same
    // file. (A save of that file running in another process at that moment
    // then fails, and its old file stays.)
    ProfileResult Save(const ProfileSaveOptions& options = {}) const;

  private:
    // Lines are found by the hash of their name: sections, and keys added
    // since reading, in open-addressing tables; the keys read in runs sorted
    // by hash, one run per section. A reference is the offset of a line's
    // first byte in text_, or text_.size() + n for the n-th added key line or
    // added section; a slot holds reference + 1 (0: a free table slot).
    struct KeySlot {
        std::uint64_t hash = 0;
        std::size_t ref = 0;
    };
    struct SectionSlot {
        std::uint64_t hash = 0;
        std::size_t ref = 0;
        std::size_t keysAt = 0;  // its keys read: keySlots_[keysAt, keysAt + keysSize)
        std::size_t keysSize = 0;
    };
    template <class Slot>
    struct Table {
        std::vector<Slot> slots;
        std::size_t used = 0;
    };
    struct AddedKey {
        std::string text;     // without its line end
        std::size_t section;  // reference of its section
    };
    struct AddedSection {
        bool blankBefore = false;  // separated from what was before by a blank line
        std::string header;
        std::vector<std::size_t> keys;  // indices into addedKeys_, in file order
    };
    // Key lines added to a section of the file read.
    struct Insertion {
        std::size_t at = 0;             // where they go in text_
        std::vector<std::size_t> keys;  // indices into addedKeys_, in file order
    };

    void Reset(std::string bytes);
    void Index();
    // Makes the current contents the read ones, indexed afresh.
    void Rebuild();
    std::string_view ReadLine(std::size_t start) const;
    std::size_t TextEnd(std::size_t start) const;
    std::string_view SectionName(std::size_t ref) const;
    std::string_view KeyName(std::size_t ref) const;
    std::string_view KeyText(std::size_t ref) const;
    // Index into sections_.slots, or npos.
    std::size_t FindSection(std::string_view section) const;
    // Reference of the key in the section at that index, or npos.
    std::size_t FindKey(std::size_t sectionSlot, std::string_view key) const;
    std::size_t InsertionPoint(std::size_t header) const;
    void AddKeyLine(std::size_t section, std::string_view keyName, std::string line);
    void AddSection(std::string_view sectionName, std::string_view keyName, std::string keyLine);

    std::filesystem::path path_;
    std::string text_;             // the bytes as read
    std::string ending_ = "\n";    // the line end of added lines
    bool lastLineBlank_ = false;   // the last line read is blank
    Table<SectionSlot> sections_;  // the first section of each name
    // The first key of each name in those sections as read, section by
    // section, each sorted by hash (a deque: no copy of them all as it grows).
    std::deque<KeySlot> keySlots_;
    Table<KeySlot> addedKeyIndex_;  // added key lines, by section and name
    std::vector<AddedKey> addedKeys_;
    std::vector<AddedSection> addedSections_;
    std::map<std::size_t, Insertion> insertions_;  // by section header
    std::map<std::size_t, std::string> changed_;   // key line read -> its new text
    bool exists_ = false;
    ProfileResult loadResult_ = ProfileResult::Ok;
};

// One-key helpers: read a value from a file, or load, set and save a file.
std::string ReadProfileString(const std::filesystem::path& path, std::string_view section,
                              std::string_view key, std::string_view def);
ProfileResult WriteProfileString(const std::filesystem::path& path, std::string_view section,
                                 std::string_view key, std::string_view value,
                                 const ProfileSaveOptions& options = {});

}  // namespace quelp
