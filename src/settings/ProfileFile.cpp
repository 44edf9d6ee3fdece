#include "settings/ProfileFile.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>

namespace quelp {

namespace fs = std::filesystem;
using namespace profile_result;

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
int ResolveTarget(const fs::path& path, fs::path& target) {
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        const auto st = fs::symlink_status(target, ec);
        if (ec || !fs::is_symlink(st)) return kOk;
        const fs::path link = fs::read_symlink(target, ec);
        if (ec) return kUnreadable;
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
    return kSymlinkLoop;
}

// Writes data in two halves with the fault hook asked between them; closes
// the stream on every path except a simulated crash.
int WriteHalves(std::FILE* f, const std::string& data, const ProfileSaveOptions& options,
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
            return kCrashed;
        }
        if (action == FaultAction::Fail ||
            std::fwrite(data.data() + from[i], 1, count[i], f) != count[i]) {
            std::fclose(f);
            return kWriteFailed;
        }
    }
    const bool flushed = std::fflush(f) == 0;
    const bool closed = std::fclose(f) == 0;
    return flushed && closed ? kOk : kWriteFailed;
}

// Fallback for a folder in which no new file can be made: the data go over
// the old contents and the file is cut to length afterwards, so it is never
// shorter than the new contents while being written.
int SaveInPlace(const fs::path& target, const std::string& data,
                const ProfileSaveOptions& options) {
    FaultAction action = Ask(options, SaveStep::OpenInPlace);
    if (action == FaultAction::Crash) return kCrashed;
    std::FILE* f = action == FaultAction::Fail ? nullptr : std::fopen(target.c_str(), "r+b");
    if (!f) return kCreateFailed;
    const int rc =
        WriteHalves(f, data, options, SaveStep::WriteInPlace, SaveStep::WriteInPlaceRest);
    if (rc != kOk) return rc;

    action = Ask(options, SaveStep::ResizeInPlace);
    if (action == FaultAction::Crash) return kCrashed;
    std::error_code ec;
    if (action == FaultAction::Fail) return kWriteFailed;
    fs::resize_file(target, data.size(), ec);
    if (ec) return kWriteFailed;

    action = Ask(options, SaveStep::SyncInPlace);
    if (action == FaultAction::Crash) return kCrashed;
    if (action == FaultAction::Fail || !options.sync(target)) return kSyncFailed;
    return kOk;
}

}  // namespace

int ProfileFile::Load() {
    lines_.clear();
    exists_ = false;
    loadResult_ = kOk;

    std::error_code ec;
    const auto st = fs::status(path_, ec);
    if (st.type() == fs::file_type::not_found) return kOk;
    exists_ = true;
    if (ec || !fs::is_regular_file(st)) return loadResult_ = kUnreadable;
    const auto size = fs::file_size(path_, ec);
    if (ec) return loadResult_ = kUnreadable;
    if (size > kMaxFileBytes) return loadResult_ = kTooLarge;

    std::ifstream in(path_, std::ios::binary);
    if (!in) return loadResult_ = kUnreadable;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return loadResult_ = kUnreadable;
    // The file may have grown since its size was taken.
    if (bytes.size() > kMaxFileBytes) return loadResult_ = kTooLarge;
    Parse(bytes);
    return kOk;
}

void ProfileFile::Parse(std::string_view bytes) {
    lines_.clear();
    while (!bytes.empty()) {
        const auto nl = bytes.find('\n');
        if (nl == npos) {
            lines_.push_back({std::string(bytes), {}});
            break;
        }
        const bool crlf = nl > 0 && bytes[nl - 1] == '\r';
        const std::size_t textLen = crlf ? nl - 1 : nl;
        lines_.push_back({std::string(bytes.substr(0, textLen)), crlf ? "\r\n" : "\n"});
        bytes.remove_prefix(nl + 1);
    }
}

std::string ProfileFile::Serialize() const {
    std::string out;
    for (const auto& line : lines_) {
        out += line.text;
        out += line.ending;
    }
    return out;
}

std::size_t ProfileFile::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const LineInfo info = Classify(lines_[i].text);
        if (info.kind == LineInfo::Section && EqualNoCase(info.name, section)) return i;
    }
    return npos;
}

std::size_t ProfileFile::FindKey(std::size_t header, std::string_view key) const {
    for (std::size_t i = header + 1; i < lines_.size(); ++i) {
        const LineInfo info = Classify(lines_[i].text);
        if (info.kind == LineInfo::Section) break;
        if (info.kind == LineInfo::Key && EqualNoCase(info.name, key)) return i;
    }
    return npos;
}

bool ProfileFile::HasSection(std::string_view section) const {
    return FindSection(section) != npos;
}

bool ProfileFile::HasKey(std::string_view section, std::string_view key) const {
    const std::size_t header = FindSection(section);
    return header != npos && FindKey(header, key) != npos;
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key,
                                   std::string_view def) const {
    const std::size_t header = FindSection(section);
    const std::size_t at = header == npos ? npos : FindKey(header, key);
    if (at == npos) return std::string(def.substr(0, kMaxValueChars));
    const std::string_view text = lines_[at].text;
    std::string_view value = Trim(text.substr(Classify(text).equals + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, kMaxValueChars));
}

std::string ProfileFile::NewLineEnding() const {
    // New lines follow the file's own convention, taken from its first line.
    for (const auto& line : lines_) {
        if (!line.ending.empty()) return line.ending;
    }
    return "\n";
}

void ProfileFile::InsertLine(std::size_t at, std::string text) {
    const std::string ending = NewLineEnding();
    if (at > 0 && lines_[at - 1].ending.empty()) lines_[at - 1].ending = ending;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), ending});
}

void ProfileFile::SetString(std::string_view section, std::string_view key,
                            std::string_view value) {
    const std::string sectionName = OneLine(section);
    const std::string keyName = OneLine(key);
    const std::string keyLine = keyName + "=" + OneLine(value);

    const std::size_t header = FindSection(sectionName);
    if (header == npos) {
        // A new section goes to the end of the file, after a blank line.
        if (!lines_.empty() && !Trim(lines_.back().text).empty()) InsertLine(lines_.size(), "");
        InsertLine(lines_.size(), "[" + sectionName + "]");
        InsertLine(lines_.size(), keyLine);
        return;
    }
    const std::size_t at = FindKey(header, keyName);
    if (at != npos) {
        // Keep everything up to the '=' as it was, spelling and blanks included.
        Line& line = lines_[at];
        line.text = line.text.substr(0, Classify(line.text).equals + 1) + OneLine(value);
        return;
    }
    // A new key goes after the last non-blank line of its section, so blank
    // lines that separate it from the next section stay where they are.
    std::size_t insertAt = header + 1;
    for (std::size_t i = header + 1; i < lines_.size(); ++i) {
        if (Classify(lines_[i].text).kind == LineInfo::Section) break;
        if (!Trim(lines_[i].text).empty()) insertAt = i + 1;
    }
    InsertLine(insertAt, keyLine);
}

int ProfileFile::Save(const ProfileSaveOptions& options) const {
    // Never replace a file whose contents were not read: they would be lost.
    if (loadResult_ != kOk) return loadResult_;

    fs::path target;
    if (const int rc = ResolveTarget(path_, target); rc != kOk) return rc;
    const std::string data = Serialize();

    std::error_code ec;
    const auto st = fs::status(target, ec);
    const bool existed = fs::exists(st);
    if (existed) {
        if (!fs::is_regular_file(st)) return kNotWritable;
        // A file the user made read-only stays unchanged, as the rename
        // below would otherwise ignore its write protection.
        std::FILE* probe = std::fopen(target.c_str(), "ab");
        if (!probe) return kNotWritable;
        std::fclose(probe);
    }

    const fs::path folder = target.parent_path();
    const std::string base = target.filename().string();
    FaultAction action = Ask(options, SaveStep::CreateTemp);
    if (action == FaultAction::Crash) return kCrashed;
    std::FILE* f = nullptr;
    fs::path temp;
    // Only a folder that refuses new files sends the save to the in-place
    // fallback; a full disk or similar would fail there too, half-way.
    bool folderRefuses = action == FaultAction::Fail;
    if (action == FaultAction::Continue) {
        auto seed = static_cast<unsigned long long>(
            std::chrono::steady_clock::now().time_since_epoch().count());
        for (int attempt = 0; attempt < 16 && !f; ++attempt) {
            seed = seed * 6364136223846793005ull + 1442695040888963407ull;
            char tag[17];
            std::snprintf(tag, sizeof tag, "%016llx", seed);
            temp = folder / ("." + base + "." + tag + ".tmp");
            errno = 0;
            f = std::fopen(temp.c_str(), "wbx");
            if (!f && errno != EEXIST) {
                folderRefuses = errno == EACCES || errno == EPERM;
                break;
            }
        }
    }
    if (!f) {
        return existed && folderRefuses ? SaveInPlace(target, data, options) : kCreateFailed;
    }

    // The new file gets the old one's permission bits before any data go in,
    // so a private file is never readable by others, not even briefly.
    if (existed) fs::permissions(temp, st.permissions(), fs::perm_options::replace, ec);

    const auto discard = [&temp](int rc) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return rc;
    };
    const int rc = WriteHalves(f, data, options, SaveStep::WriteTemp, SaveStep::WriteTempRest);
    if (rc == kCrashed) return rc;
    if (rc != kOk) return discard(rc);

    action = Ask(options, SaveStep::SyncTemp);
    if (action == FaultAction::Crash) return kCrashed;
    if (action == FaultAction::Fail || !options.sync(temp)) return discard(kSyncFailed);

    action = Ask(options, SaveStep::Rename);
    if (action == FaultAction::Crash) return kCrashed;
    if (action == FaultAction::Fail) return discard(kRenameFailed);
    fs::rename(temp, target, ec);
    if (ec) return discard(kRenameFailed);

    // The new contents are in place; flushing the folder only makes the
    // rename itself survive a power cut, so its failure is not reported.
    action = Ask(options, SaveStep::SyncFolder);
    if (action == FaultAction::Crash) return kCrashed;
    if (action == FaultAction::Continue) options.sync(folder.empty() ? fs::path(".") : folder);
    return kOk;
}

std::string ReadProfileString(const fs::path& path, std::string_view section, std::string_view key,
                              std::string_view def) {
    ProfileFile file(path);
    file.Load();
    return file.GetString(section, key, def);
}

int WriteProfileString(const fs::path& path, std::string_view section, std::string_view key,
                       std::string_view value, const ProfileSaveOptions& options) {
    ProfileFile file(path);
    if (const int rc = file.Load(); rc != kOk) return rc;
    file.SetString(section, key, value);
    return file.Save(options);
}

}  // namespace quelp
