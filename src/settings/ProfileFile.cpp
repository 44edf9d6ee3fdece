#include "settings/ProfileFile.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <system_error>

namespace quelp {

namespace fs = std::filesystem;
using enum ProfileResult;

namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::size_t npos = std::string::npos;

std::string_view Trim(std::string_view s) {
    const auto first = s.find_first_not_of(kBlanks);
    if (first == npos) return {};
    const auto last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

// What one line of the file is to the lookup.
struct LineInfo {
    enum Kind { Other, Section, Key } kind = Other;
    std::string_view name;   // section or key name, trimmed
    std::size_t equals = 0;  // position of the '=' of a key line
};

LineInfo Classify(std::string_view text) {
    LineInfo info;
    // A byte-order mark left by some editors must not hide the first section.
    std::string_view body = text.starts_with(kUtf8Bom) ? text.substr(kUtf8Bom.size()) : text;
    const std::string_view trimmed = Trim(body);
    if (trimmed.empty() || trimmed.front() == ';') return info;
    if (trimmed.front() == '[') {
        const std::string_view inside = trimmed.substr(1);
        info.kind = LineInfo::Section;
        info.name = Trim(inside.substr(0, inside.find(']')));
        return info;
    }
    // The mark has no '=' in it, so the '=' always lies in the body.
    const auto eq = text.find('=');
    if (eq == npos) return info;
    const auto bodyStart = text.size() - body.size();
    info.name = Trim(text.substr(bodyStart, eq - bodyStart));
    if (info.name.empty()) return info;
    info.kind = LineInfo::Key;
    info.equals = eq;
    return info;
}

// Line breaks inside a name or value would split it into lines of its own.
std::string OneLine(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

FaultAction Ask(const ProfileSaveOptions& options, SaveStep step) {
    return options.fault ? options.fault(step) : FaultAction::Continue;
}

// Follows a chain of symbolic links to the file it finally names (which may
// not exist yet), so that the link itself survives a save.
ProfileResult ResolveTarget(const fs::path& path, fs::path& target) {
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        const auto st = fs::symlink_status(target, ec);
        if (ec || !fs::is_symlink(st)) return Ok;
        const fs::path link = fs::read_symlink(target, ec);
        if (ec) return Unreadable;
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
    return SymlinkLoop;
}

// Writes data in two halves with the fault hook asked between them; closes
// the stream on every path except a simulated crash.
ProfileResult WriteHalves(std::FILE* f, const std::string& data, const ProfileSaveOptions& options,
                          SaveStep first, SaveStep rest) {
    const std::size_t half = data.size() / 2;
    const SaveStep steps[2] = {first, rest};
    const std::size_t from[2] = {0, half};
    const std::size_t count[2] = {half, data.size() - half};
    for (int i = 0; i < 2; ++i) {
        const FaultAction action = Ask(options, steps[i]);
        if (action == FaultAction::Crash) {
            std::fflush(f);
            std::fclose(f);
            return Crashed;
        }
        if (action == FaultAction::Fail ||
            std::fwrite(data.data() + from[i], 1, count[i], f) != count[i]) {
            std::fclose(f);
            return WriteFailed;
        }
    }
    const bool flushed = std::fflush(f) == 0;
    const bool closed = std::fclose(f) == 0;
    return flushed && closed ? Ok : WriteFailed;
}

// Removes what earlier saves of `base` left in `folder` when they died: only
// names this save itself would use for its temporary file.
void RemoveStaleTemporaries(const fs::path& folder, const std::string& base) {
    const std::string prefix = "." + base + ".";
    constexpr std::string_view kSuffix = ".tmp";
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() != prefix.size() + 16 + kSuffix.size() || !name.starts_with(prefix) ||
            !name.ends_with(kSuffix)) {
            continue;
        }
        const std::string_view tag = std::string_view(name).substr(prefix.size(), 16);
        if (tag.find_first_not_of("0123456789abcdefABCDEF") != npos) continue;
        std::error_code ignored;
        if (fs::is_regular_file(it->symlink_status(ignored))) fs::remove(it->path(), ignored);
    }
}

// Hashes of names without regard to ASCII case (FNV-1a, then a finalizer so
// that the low bits used by the tables depend on every byte).
std::uint64_t Mix(std::uint64_t h) {
    h ^= h >> 30;
    h *= 0xBF58476D1CE4E5B9ull;
    h ^= h >> 27;
    h *= 0x94D049BB133111EBull;
    return h ^ (h >> 31);
}

std::uint64_t NameHash(std::string_view name) {
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (const char c : name) {
        h ^= static_cast<unsigned char>(LowerAscii(c));
        h *= 0x100000001B3ull;
    }
    return Mix(h);
}

std::uint64_t KeyHash(std::size_t section, std::string_view key) {
    return Mix(NameHash(key) ^ (static_cast<std::uint64_t>(section) * 0x9E3779B97F4A7C15ull));
}

// The index of the slot among slots[first, first + size) (a power of two) with
// this hash for which `match` holds, or npos.
template <class Slot, class Match>
std::size_t Lookup(const std::vector<Slot>& slots, std::size_t first, std::size_t size,
                   std::uint64_t hash, Match match) {
    if (size == 0) return npos;
    const std::size_t mask = size - 1;
    for (std::size_t i = static_cast<std::size_t>(hash) & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots[first + i];
        if (slot.ref == 0) return npos;
        if (slot.hash == hash && match(slot.ref - 1)) return first + i;
    }
}

template <class Slot>
void Place(std::vector<Slot>& slots, std::size_t first, std::size_t size, const Slot& slot) {
    const std::size_t mask = size - 1;
    std::size_t i = static_cast<std::size_t>(slot.hash) & mask;
    while (slots[first + i].ref != 0) i = (i + 1) & mask;
    slots[first + i] = slot;
}

// A table at most 70 % full, so that a probe always meets a free slot; it
// doubles as it grows.
std::size_t TableSize(std::size_t entries) {
    std::size_t size = 4;
    while (size * 7 < entries * 10) size *= 2;
    return size;
}

// Adds a slot whose name is known to be absent.
template <class Table, class Slot>
void Insert(Table& table, const Slot& slot) {
    if (TableSize(table.used + 1) > table.slots.size()) {
        auto old = std::move(table.slots);
        table.slots.assign(TableSize(table.used + 1), Slot{});
        for (const Slot& s : old) {
            if (s.ref != 0) Place(table.slots, 0, table.slots.size(), s);
        }
    }
    Place(table.slots, 0, table.slots.size(), slot);
    ++table.used;
}

}  // namespace

ProfileResult ProfileFile::Load() {
    Reset({});
    exists_ = false;
    loadResult_ = Ok;

    std::error_code ec;
    const auto st = fs::status(path_, ec);
    if (st.type() == fs::file_type::not_found) return Ok;
    exists_ = true;
    if (ec || !fs::is_regular_file(st)) return loadResult_ = Unreadable;
    const auto size = fs::file_size(path_, ec);
    if (ec) return loadResult_ = Unreadable;
    if (size > kMaxFileBytes) return loadResult_ = TooLarge;

    std::FILE* f = std::fopen(path_.c_str(), "rb");
    if (!f) return loadResult_ = Unreadable;
    // Reading on past the size taken tells a file that has grown since: up
    // to one byte more than the limit.
    std::string bytes(static_cast<std::size_t>(size) + 1, '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const std::size_t n = std::fread(bytes.data() + got, 1, bytes.size() - got, f);
        if (n == 0) break;
        got += n;
        if (got == bytes.size() && got <= kMaxFileBytes) bytes.resize(kMaxFileBytes + 1);
    }
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) return loadResult_ = Unreadable;
    if (got > kMaxFileBytes) return loadResult_ = TooLarge;
    bytes.resize(got);
    Reset(std::move(bytes));
    return Ok;
}

void ProfileFile::Parse(std::string_view bytes) {
    Reset(std::string(bytes));
}

void ProfileFile::Reset(std::string bytes) {
    text_ = std::move(bytes);
    sections_ = {};
    keySlots_.clear();
    addedKeyIndex_ = {};
    addedKeys_.clear();
    addedSections_.clear();
    insertions_.clear();
    changed_.clear();

    // New lines follow the file's own convention, taken from its first line.
    const auto nl = text_.find('\n');
    ending_ = nl != npos && nl > 0 && text_[nl - 1] == '\r' ? "\r\n" : "\n";
    lastLineBlank_ = false;
    if (!text_.empty()) {
        const std::size_t body = text_.back() == '\n' ? text_.size() - 1 : text_.size();
        const auto prev = body == 0 ? npos : text_.rfind('\n', body - 1);
        lastLineBlank_ = Trim(ReadLine(prev == npos ? 0 : prev + 1)).empty();
    }
    Index();
}

// One pass over the lines. The keys of each section that counts follow one
// another in keySlots_; when the section ends they are sorted by hash, and
// of keys of the same name only the first stays.
void ProfileFile::Index() {
    std::string_view section;  // the section whose keys count, if any
    bool counts = false;
    const auto endSection = [&] {
        if (!counts) return;
        counts = false;
        SectionSlot& slot = sections_.slots[FindSection(section)];
        const auto first = keySlots_.begin() + static_cast<std::ptrdiff_t>(slot.keysAt);
        std::sort(first, keySlots_.end(), [](const KeySlot& a, const KeySlot& b) {
            return a.hash != b.hash ? a.hash < b.hash : a.ref < b.ref;
        });
        // Equal names have equal hashes: compare each with those kept before
        // it in its run of equal hashes.
        std::size_t kept = slot.keysAt;
        std::size_t run = kept;
        for (std::size_t i = slot.keysAt; i < keySlots_.size(); ++i) {
            if (i == slot.keysAt || keySlots_[i].hash != keySlots_[kept - 1].hash) run = kept;
            const std::string_view name = KeyName(keySlots_[i].ref - 1);
            bool seen = false;
            for (std::size_t j = run; j < kept && !seen; ++j) {
                seen = EqualNoCase(KeyName(keySlots_[j].ref - 1), name);
            }
            if (!seen) keySlots_[kept++] = keySlots_[i];
        }
        keySlots_.resize(kept);
        slot.keysSize = kept - slot.keysAt;
    };
    for (std::size_t pos = 0; pos < text_.size();) {
        const auto nl = text_.find('\n', pos);
        const LineInfo info = Classify(ReadLine(pos));
        if (info.kind == LineInfo::Section) {
            endSection();
            if (FindSection(info.name) == npos) {
                Insert(sections_, SectionSlot{NameHash(info.name), pos + 1, 0, 0});
                section = info.name;
                counts = true;
                sections_.slots[FindSection(section)].keysAt = keySlots_.size();
            }
        } else if (info.kind == LineInfo::Key && counts) {
            keySlots_.push_back({NameHash(info.name), pos + 1});
        }
        pos = nl == npos ? text_.size() : nl + 1;
    }
    endSection();
}

void ProfileFile::Rebuild() {
    // The line end of added lines stays the one of the file as read (a last
    // line ending in CR without LF would otherwise read as CR LF now).
    const std::string ending = ending_;
    Reset(Serialize());
    ending_ = ending;
}

std::size_t ProfileFile::TextEnd(std::size_t start) const {
    const auto nl = text_.find('\n', start);
    if (nl == npos) return text_.size();
    return nl > start && text_[nl - 1] == '\r' ? nl - 1 : nl;
}

std::string_view ProfileFile::ReadLine(std::size_t start) const {
    return std::string_view(text_).substr(start, TextEnd(start) - start);
}

std::string_view ProfileFile::SectionName(std::size_t ref) const {
    if (ref < text_.size()) return Classify(ReadLine(ref)).name;
    return Classify(addedSections_[ref - text_.size()].header).name;
}

// Setting a value keeps everything up to the '=', so the name is the one read.
std::string_view ProfileFile::KeyName(std::size_t ref) const {
    if (ref < text_.size()) return Classify(ReadLine(ref)).name;
    return Classify(addedKeys_[ref - text_.size()].text).name;
}

std::string_view ProfileFile::KeyText(std::size_t ref) const {
    if (ref >= text_.size()) return addedKeys_[ref - text_.size()].text;
    const auto it = changed_.find(ref);
    return it != changed_.end() ? std::string_view(it->second) : ReadLine(ref);
}

std::size_t ProfileFile::FindSection(std::string_view section) const {
    return Lookup(sections_.slots, 0, sections_.slots.size(), NameHash(section),
                  [&](std::size_t ref) { return EqualNoCase(SectionName(ref), section); });
}

// The keys read come before any added to the same section.
std::size_t ProfileFile::FindKey(std::size_t s, std::string_view key) const {
    const SectionSlot& slot = sections_.slots[s];
    const std::uint64_t hash = NameHash(key);
    const auto first = keySlots_.begin() + static_cast<std::ptrdiff_t>(slot.keysAt);
    const auto last = first + static_cast<std::ptrdiff_t>(slot.keysSize);
    auto it = std::lower_bound(first, last, hash,
                               [](const KeySlot& k, std::uint64_t h) { return k.hash < h; });
    for (; it != last && it->hash == hash; ++it) {
        if (EqualNoCase(KeyName(it->ref - 1), key)) return it->ref - 1;
    }
    const std::size_t section = slot.ref - 1;
    const std::size_t added = Lookup(addedKeyIndex_.slots, 0, addedKeyIndex_.slots.size(),
                                     KeyHash(section, key), [&](std::size_t ref) {
                                         return addedKeys_[ref - text_.size()].section == section &&
                                                EqualNoCase(KeyName(ref), key);
                                     });
    return added == npos ? npos : addedKeyIndex_.slots[added].ref - 1;
}

bool ProfileFile::HasSection(std::string_view section) const {
    return FindSection(section) != npos;
}

bool ProfileFile::HasKey(std::string_view section, std::string_view key) const {
    const std::size_t s = FindSection(section);
    return s != npos && FindKey(s, key) != npos;
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key,
                                   std::string_view def) const {
    const std::size_t s = FindSection(section);
    const std::size_t at = s == npos ? npos : FindKey(s, key);
    if (at == npos) return std::string(def.substr(0, kMaxValueChars));
    const std::string_view text = KeyText(at);
    std::string_view value = Trim(text.substr(Classify(text).equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, kMaxValueChars));
}

// After the last non-blank line of the section read, so blank lines that
// separate it from the next section stay where they are.
std::size_t ProfileFile::InsertionPoint(std::size_t header) const {
    const auto afterLine = [this](std::size_t start) {
        const auto nl = text_.find('\n', start);
        return nl == npos ? text_.size() : nl + 1;
    };
    std::size_t at = afterLine(header);
    for (std::size_t pos = at; pos < text_.size(); pos = afterLine(pos)) {
        const std::string_view line = ReadLine(pos);
        if (Classify(line).kind == LineInfo::Section) break;
        if (!Trim(line).empty()) at = afterLine(pos);
    }
    return at;
}

// Added lines are indexed as they come when they read back as the key or
// section they were added for; any other (a name with a '=' or a leading
// '[', blanks around it...) changes what the lines around it mean, so the
// whole file is indexed afresh, as if it had been read that way.
void ProfileFile::AddKeyLine(std::size_t section, std::string_view keyName, std::string line) {
    const std::size_t n = addedKeys_.size();
    addedKeys_.push_back({std::move(line), section});
    if (section < text_.size()) {
        auto [it, fresh] = insertions_.try_emplace(section);
        if (fresh) it->second.at = InsertionPoint(section);
        it->second.keys.push_back(n);
    } else {
        addedSections_[section - text_.size()].keys.push_back(n);
    }
    const LineInfo info = Classify(addedKeys_[n].text);
    if (info.kind == LineInfo::Key && EqualNoCase(info.name, keyName)) {
        Insert(addedKeyIndex_, KeySlot{KeyHash(section, info.name), text_.size() + n + 1});
    } else {
        Rebuild();
    }
}

void ProfileFile::AddSection(std::string_view sectionName, std::string_view keyName,
                             std::string keyLine) {
    AddedSection added;
    added.blankBefore = !addedSections_.empty() || (!text_.empty() && !lastLineBlank_);
    added.header.append(1, '[').append(sectionName).append(1, ']');
    const std::size_t ref = text_.size() + addedSections_.size();
    addedSections_.push_back(std::move(added));
    const LineInfo info = Classify(addedSections_.back().header);
    if (info.kind == LineInfo::Section && EqualNoCase(info.name, sectionName)) {
        Insert(sections_, SectionSlot{NameHash(info.name), ref + 1, 0, 0});
        AddKeyLine(ref, keyName, std::move(keyLine));
        return;
    }
    addedKeys_.push_back({std::move(keyLine), ref});
    addedSections_.back().keys.push_back(addedKeys_.size() - 1);
    Rebuild();
}

std::string ProfileFile::Serialize() const {
    std::string out;
    std::size_t added = 0;
    for (const auto& k : addedKeys_) added += k.text.size() + 2;
    for (const auto& s : addedSections_) added += s.header.size() + 4;
    for (const auto& change : changed_) added += change.second.size();
    out.reserve(text_.size() + added + 2);

    // A last line without a line end gets one when lines follow it.
    bool endDone = text_.empty() || text_.back() == '\n';
    const auto endLastLine = [&] {
        if (!endDone) out += ending_;
        endDone = true;
    };
    const auto addLines = [&](const std::vector<std::size_t>& keys) {
        for (const std::size_t k : keys) {
            out += addedKeys_[k].text;
            out += ending_;
        }
    };

    std::size_t pos = 0;
    auto change = changed_.begin();
    auto insertion = insertions_.begin();
    while (change != changed_.end() || insertion != insertions_.end()) {
        if (insertion == insertions_.end() ||
            (change != changed_.end() && change->first < insertion->second.at)) {
            out.append(text_, pos, change->first - pos);
            out += change->second;
            pos = TextEnd(change->first);
            ++change;
        } else {
            const Insertion& in = insertion->second;
            out.append(text_, pos, in.at - pos);
            pos = in.at;
            if (pos == text_.size()) endLastLine();
            addLines(in.keys);
            ++insertion;
        }
    }
    out.append(text_, pos);
    for (const AddedSection& section : addedSections_) {
        endLastLine();
        if (section.blankBefore) out += ending_;
        out += section.header;
        out += ending_;
        addLines(section.keys);
    }
    return out;
}

void ProfileFile::SetString(std::string_view section, std::string_view key,
                            std::string_view value) {
    const std::string sectionName = OneLine(section);
    const std::string keyName = OneLine(key);
    std::string keyLine = keyName + "=" + OneLine(value);

    const std::size_t s = FindSection(sectionName);
    if (s == npos) {
        AddSection(sectionName, keyName, std::move(keyLine));
        return;
    }
    const std::size_t at = FindKey(s, keyName);
    if (at == npos) {
        AddKeyLine(sections_.slots[s].ref - 1, keyName, std::move(keyLine));
        return;
    }
    // Keep everything up to the '=' as it was, spelling and blanks included.
    const std::string_view old = KeyText(at);
    std::string text = std::string(old.substr(0, Classify(old).equals + 1)) + OneLine(value);
    if (at < text_.size()) {
        changed_[at] = std::move(text);
    } else {
        addedKeys_[at - text_.size()].text = std::move(text);
    }
}

ProfileResult ProfileFile::Save(const ProfileSaveOptions& options) const {
    // Never replace a file whose contents were not read: they would be lost.
    if (loadResult_ != Ok) return loadResult_;

    fs::path target;
    if (const ProfileResult rc = ResolveTarget(path_, target); rc != Ok) return rc;
    const std::string data = Serialize();
    // The next load would refuse the file, and every setting with it.
    if (data.size() > kMaxFileBytes) return TooLarge;

    std::error_code ec;
    const auto st = fs::status(target, ec);
    const bool existed = fs::exists(st);
    if (existed) {
        if (!fs::is_regular_file(st)) return NotWritable;
        // A file the user made read-only stays unchanged, as the rename
        // below would otherwise ignore its write protection.
        std::FILE* probe = std::fopen(target.c_str(), "ab");
        if (!probe) return NotWritable;
        std::fclose(probe);
    }

    const fs::path folder = target.parent_path();
    const std::string base = target.filename().string();
    FaultAction action = Ask(options, SaveStep::CreateTemp);
    if (action == FaultAction::Crash) return Crashed;
    if (action == FaultAction::Fail) return CreateFailed;
    RemoveStaleTemporaries(folder, base);
    std::FILE* f = nullptr;
    fs::path temp;
    auto seed = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 16 && !f; ++attempt) {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        char tag[17];
        std::snprintf(tag, sizeof tag, "%016llx", seed);
        temp = folder / ("." + base + "." + tag + ".tmp");
        errno = 0;
        f = std::fopen(temp.c_str(), "wbx");
        if (!f && errno != EEXIST) break;
    }
    // No new file can be made beside the target: the save is refused rather
    // than rewriting the only copy of the settings in place.
    if (!f) return CreateFailed;

    // The new file gets the old one's permission bits before any data go in,
    // so a private file is never readable by others, not even briefly.
    if (existed) fs::permissions(temp, st.permissions(), fs::perm_options::replace, ec);

    const auto discard = [&temp](ProfileResult rc) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return rc;
    };
    const ProfileResult rc =
        WriteHalves(f, data, options, SaveStep::WriteTemp, SaveStep::WriteTempRest);
    if (rc == Crashed) return rc;
    if (rc != Ok) return discard(rc);

    action = Ask(options, SaveStep::SyncTemp);
    if (action == FaultAction::Crash) return Crashed;
    if (action == FaultAction::Fail || !options.sync(temp)) return discard(SyncFailed);

    action = Ask(options, SaveStep::Rename);
    if (action == FaultAction::Crash) return Crashed;
    if (action == FaultAction::Fail) return discard(RenameFailed);
    fs::rename(temp, target, ec);
    if (ec) return discard(RenameFailed);

    // The new contents are in place; flushing the folder only makes the
    // rename itself survive a power cut, so its failure is not reported.
    action = Ask(options, SaveStep::SyncFolder);
    if (action == FaultAction::Crash) return Crashed;
    if (action == FaultAction::Continue) options.sync(folder.empty() ? fs::path(".") : folder);
    return Ok;
}

std::string ReadProfileString(const fs::path& path, std::string_view section, std::string_view key,
                              std::string_view def) {
    ProfileFile file(path);
    // A file that cannot be read is left empty by Load: every key reads as
    // its default, which is all this lookup promises.
    static_cast<void>(file.Load());
    return file.GetString(section, key, def);
}

ProfileResult WriteProfileString(const fs::path& path, std::string_view section,
                                 std::string_view key, std::string_view value,
                                 const ProfileSaveOptions& options) {
    ProfileFile file(path);
    if (const ProfileResult rc = file.Load(); rc != Ok) return rc;
    file.SetString(section, key, value);
    return file.Save(options);
}

}  // namespace quelp
