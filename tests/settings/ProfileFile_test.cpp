#include "settings/ProfileFile.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "adapters/posix/FileSync.h"
#include "settings/TempDir.h"

namespace quelp {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using namespace std::string_literals;

ProfileFile Parsed(const std::string& bytes) {
    ProfileFile f;
    f.Parse(bytes);
    return f;
}

TEST(ProfileFile, LooksUpValuesLikeTheProfileFunctions) {
    const std::string text =
        "top=before any section\r\n"
        "\xEF\xBB\xBF[Main]\r\n"
        "  Zoom  =  5  \r\n"
        ";Hidden=1\r\n"
        "Path=\"C:\\a b\\c.txt\"\r\n"
        "Half=\"open\r\n"
        "Eq=a=b\r\n"
        "no equals sign\r\n"
        "Empty=\r\n"
        "[other]\n"
        "zoom=9\n"
        "[MAIN]\n"
        "Late=1\n"
        "[ Spaced ]\tx=1\n";
    const ProfileFile f = Parsed(text);
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"main", "ZOOM", "5"},       // names without regard to case, blanks trimmed
        {"Main", "Hidden", "dflt"},  // a comment is not a key
        {"Main", ";Hidden", "dflt"},
        {"Main", "Path", "C:\\a b\\c.txt"},  // one pair of quotes dropped
        {"Main", "Half", "\"open"},          // an unpaired quote stays
        {"Main", "Eq", "a=b"},               // the value starts after the first '='
        {"Main", "Empty", ""},               // present but empty is not the default
        {"Main", "no equals sign", "dflt"},
        {"Other", "Zoom", "9"},
        {"Main", "Late", "dflt"},  // only the first section of a name counts
        {"", "top", "dflt"},       // lines before the first section belong to none
        {"Spaced", "x", "dflt"},   // header text after ']' is not a key
        {"Missing", "Zoom", "dflt"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(f.GetString(c.section, c.key, "dflt"), c.expected) << c.section << "/" << c.key;
    }
    EXPECT_TRUE(f.HasKey("main", "empty"));
    EXPECT_FALSE(f.HasKey("main", "hidden"));
}

TEST(ProfileFile, CutsLongValuesToTheBufferSize) {
    const std::string longValue(5000, 'x');
    const ProfileFile f = Parsed("[S]\nk=" + longValue + "\n");
    EXPECT_EQ(f.GetString("S", "k", ""), longValue.substr(0, ProfileFile::kMaxValueChars));
    EXPECT_EQ(f.GetString("S", "none", longValue).size(), ProfileFile::kMaxValueChars);
}

TEST(ProfileFile, KeepsAnyBytesUntouchedUntilSet) {
    const std::vector<std::string> inputs = {
        "",
        "no line end at all",
        "[A]\r\nx=1\nmixed\r\r\nlone\rcr\n",
        "nul\0inside=\0\n[A]\nk=\xff\xfe\n"s,
        "\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR"s,
        "\n\n\n",
    };
    for (const auto& in : inputs) {
        EXPECT_EQ(Parsed(in).Serialize(), in);
    }
}

TEST(ProfileFile, SetChangesOnlyTheLineItMust) {
    struct Case {
        const char* name;
        std::string before;
        const char* section;
        const char* key;
        const char* value;
        std::string after;
    } cases[] = {
        {"replace keeps the name, its blanks and the CR LF", "[A]\r\n  Key = old \r\nx=1\n", "a",
         "KEY", "new", "[A]\r\n  Key =new\r\nx=1\n"},
        {"new key before the blank line ending the section", "[A]\nx=1\n\n[B]\ny=2", "A", "k", "v",
         "[A]\nx=1\nk=v\n\n[B]\ny=2"},
        {"new key after a trailing comment", "[A]\n; note\n", "A", "k", "v", "[A]\n; note\nk=v\n"},
        {"new key after a last line without line end", "[A]\nx=1", "A", "k", "v",
         "[A]\nx=1\nk=v\n"},
        {"new section after a blank line, in the file's line ends", "[A]\r\nx=1\r\n", "B", "k", "v",
         "[A]\r\nx=1\r\n\r\n[B]\r\nk=v\r\n"},
        {"empty file", "", "B", "k", "v", "[B]\nk=v\n"},
        {"line breaks in a value cannot add lines", "[A]\n", "A", "k", "1\r\n[B]\nj=2",
         "[A]\nk=1  [B] j=2\n"},
        {"binary neighbours stay", "\x00\xff\n[A]\nk=1\n\x01\x02"s, "A", "k", "2",
         "\x00\xff\n[A]\nk=2\n\x01\x02"s},
    };
    for (const auto& c : cases) {
        ProfileFile f = Parsed(c.before);
        f.SetString(c.section, c.key, c.value);
        EXPECT_EQ(f.Serialize(), c.after) << c.name;
    }
}

class ProfileFileSave : public ::testing::Test {
  protected:
    TempDir dir;
    fs::path path = dir / "QUELP.INI";

    // Every file in the folder besides the settings file (left-over temporary
    // files, for instance).
    std::vector<std::string> Others() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir.path())) {
            if (e.path().filename() != "QUELP.INI") names.push_back(e.path().filename().string());
        }
        return names;
    }
};

TEST_F(ProfileFileSave, CreatesAMissingFileAndRewritesOnlyTheChangedLine) {
    EXPECT_EQ(WriteProfileString(path, "Quelp", "Zoom", "2"), ProfileResult::Ok);
    EXPECT_EQ(ReadFile(path), "[Quelp]\nZoom=2\n");

    const std::string foreign =
        "; other program\r\n[Log]\r\nCall=\"dl1abc\"\r\n\r\n"
        "\x80\xff\0bytes\r\n[Quelp]\r\nZoom=2\r\n"s;
    WriteFile(path, foreign);
    ProfileFile f(path);
    ASSERT_EQ(f.Load(), ProfileResult::Ok);
    f.SetString("quelp", "zoom", "3");
    f.SetString("Quelp", "TxFreq", "800");
    EXPECT_EQ(f.Save(), ProfileResult::Ok);
    std::string expected = foreign;
    expected.replace(expected.find("Zoom=2"), 6, "Zoom=3");
    expected += "TxFreq=800\r\n";
    EXPECT_EQ(ReadFile(path), expected);
    EXPECT_EQ(ReadProfileString(path, "Log", "Call", ""), "dl1abc");
    EXPECT_TRUE(Others().empty());
}

TEST_F(ProfileFileSave, ReplacesTheTargetOfASymbolicLinkAndKeepsPermissions) {
    fs::create_directory(dir / "real");
    WriteFile(dir / "real" / "q.ini", "[Quelp]\nZoom=1\n");
    fs::permissions(dir / "real" / "q.ini", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("real/q.ini", path);

    ASSERT_EQ(WriteProfileString(path, "Quelp", "Zoom", "4"), ProfileResult::Ok);
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(path)));
    EXPECT_EQ(ReadFile(dir / "real" / "q.ini"), "[Quelp]\nZoom=4\n");
    EXPECT_EQ(fs::status(dir / "real" / "q.ini").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);

    // A link to a file that does not exist yet creates that file.
    fs::create_symlink("real/new.ini", dir / "dangling.ini");
    ASSERT_EQ(WriteProfileString(dir / "dangling.ini", "S", "k", "v"), ProfileResult::Ok);
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "dangling.ini")));
    EXPECT_EQ(ReadFile(dir / "real" / "new.ini"), "[S]\nk=v\n");
}

TEST_F(ProfileFileSave, NeverOverwritesWhatItCouldNotRead) {
    // A folder where the file should be: nothing to read, nothing to replace.
    fs::create_directory(path);
    ProfileFile f(path);
    EXPECT_EQ(f.Load(), ProfileResult::Unreadable);
    EXPECT_TRUE(f.Exists());
    f.SetString("S", "k", "v");
    EXPECT_NE(f.Save(), ProfileResult::Ok);
    EXPECT_TRUE(fs::is_directory(path));

    // No folder to write into at all.
    EXPECT_EQ(WriteProfileString(dir / "missing" / "QUELP.INI", "S", "k", "v"),
              ProfileResult::CreateFailed);
}

TEST_F(ProfileFileSave, AFailedOrCrashedSaveLeavesTheOldOrTheNewFile) {
    const std::string oldText = "; keep me\n[Quelp]\nZoom=1\n";
    const std::string newText = "; keep me\n[Quelp]\nZoom=20\n";
    const SaveStep steps[] = {SaveStep::CreateTemp, SaveStep::WriteTemp, SaveStep::WriteTempRest,
                              SaveStep::SyncTemp,   SaveStep::Rename,    SaveStep::SyncFolder};
    for (const SaveStep at : steps) {
        for (const FaultAction action : {FaultAction::Fail, FaultAction::Crash}) {
            WriteFile(path, oldText);
            for (const auto& name : Others()) fs::remove(dir / name);
            ProfileSaveOptions options;
            options.fault = [&](SaveStep step) {
                return step == at ? action : FaultAction::Continue;
            };
            const ProfileResult rc = WriteProfileString(path, "Quelp", "Zoom", "20", options);
            const bool renamed = at == SaveStep::SyncFolder;
            const std::string label = std::to_string(static_cast<int>(at)) +
                                      (action == FaultAction::Fail ? " fail" : " crash");
            EXPECT_EQ(ReadFile(path), renamed ? newText : oldText) << label;
            if (renamed && action == FaultAction::Fail) {
                // The folder flush only makes the rename durable; not an error.
                EXPECT_EQ(rc, ProfileResult::Ok) << label;
            } else {
                EXPECT_NE(rc, ProfileResult::Ok) << label;
            }
            // A failure cleans up after itself; a crash may leave a temporary
            // file, never a damaged settings file.
            if (action == FaultAction::Fail) {
                EXPECT_TRUE(Others().empty()) << label;
            }
        }
    }
}

TEST_F(ProfileFileSave, RefusesWhenNoNewFileCanBeMadeBesideIt) {
    // The old file is never written over in place: a crash half-way would
    // leave it torn.
    const std::string old = "[Quelp]\nZoom=1\nLongOldValue=xxxxxxxxxxxxxxxxxxxxxxxx\n";
    WriteFile(path, old);
    ProfileFile f(path);
    ASSERT_EQ(f.Load(), ProfileResult::Ok);
    f.SetString("Quelp", "LongOldValue", "short");
    std::vector<SaveStep> seen;
    ProfileSaveOptions options;
    options.fault = [&](SaveStep step) {
        seen.push_back(step);
        return step == SaveStep::CreateTemp ? FaultAction::Fail : FaultAction::Continue;
    };
    EXPECT_EQ(f.Save(options), ProfileResult::CreateFailed);
    EXPECT_EQ(seen, std::vector<SaveStep>{SaveStep::CreateTemp});
    EXPECT_EQ(ReadFile(path), old);
    EXPECT_TRUE(Others().empty());
}

// Runs `save` as an ordinary user, so that the kernel's permission checks
// bind: directly when the tests run as one, otherwise in a child process that
// gives the test folder to user and group 65534 and drops to them. Returns
// the code of `save`'s ProfileResult (passed through the exit status), or 100
// and above when no ordinary user could run it.
int AsOrdinaryUser(const fs::path& folder, const std::function<ProfileResult()>& save) {
    if (::geteuid() != 0) return static_cast<int>(save());
    constexpr uid_t kNobody = 65534;
    for (const auto& e : fs::recursive_directory_iterator(folder)) {
        if (::lchown(e.path().c_str(), kNobody, kNobody) != 0) return 100;
    }
    if (::chown(folder.c_str(), kNobody, kNobody) != 0) return 100;
    const pid_t child = ::fork();
    if (child == 0) {
        const bool dropped = ::setgroups(0, nullptr) == 0 &&
                             ::setresgid(kNobody, kNobody, kNobody) == 0 &&
                             ::setresuid(kNobody, kNobody, kNobody) == 0;
        ::_exit(dropped ? -static_cast<int>(save()) : 101);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return 102;
    const int code = WEXITSTATUS(status);
    return code >= 100 ? code : -code;
}

TEST_F(ProfileFileSave, HonoursRealPermissions) {
    const std::string old = "[Quelp]\nZoom=1\n";
    WriteFile(path, old);
    const auto save = [&] { return WriteProfileString(path, "Quelp", "Zoom", "2"); };
    // A read-only file stays as it is.
    fs::permissions(path, fs::perms::owner_read);
    EXPECT_EQ(AsOrdinaryUser(dir.path(), save), static_cast<int>(ProfileResult::NotWritable));
    EXPECT_EQ(ReadFile(path), old);
    // A writable file in a folder that refuses new files is not rewritten.
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(AsOrdinaryUser(dir.path(), save), static_cast<int>(ProfileResult::CreateFailed));
    EXPECT_EQ(ReadFile(path), old);
}

TEST_F(ProfileFileSave, FlushesTheNewFileAndItsFolderToDisk) {
    WriteFile(path, "x=1\n");
    EXPECT_TRUE(SyncFileToDisk(path));
    EXPECT_TRUE(SyncFileToDisk(dir.path()));
    EXPECT_FALSE(SyncFileToDisk(dir / "absent"));

    ProfileSaveOptions options;
    options.sync = &SyncFileToDisk;
    EXPECT_EQ(WriteProfileString(path, "S", "k", "v", options), ProfileResult::Ok);

    // A disk that refuses the flush fails the save and keeps the old file.
    options.sync = [](const fs::path&) { return false; };
    EXPECT_EQ(WriteProfileString(path, "S", "k", "w", options), ProfileResult::SyncFailed);
    EXPECT_EQ(ReadProfileString(path, "S", "k", ""), "v");
    EXPECT_TRUE(Others().empty());
}

TEST_F(ProfileFileSave, NeverWritesAFileTheNextLoadWouldRefuse) {
    // Filled up to the limit but for the room the new value needs.
    const std::string head = "[Quelp]\nZoom=1\n;";
    const std::string old =
        head + std::string(ProfileFile::kMaxFileBytes - head.size() - 1 - 3, 'x') + "\n";
    const struct {
        const char* value;
        ProfileResult result;
    } cases[] = {
        {"1234", ProfileResult::Ok},  // exactly the limit
        {"12345", ProfileResult::TooLarge},
    };
    for (const auto& c : cases) {
        WriteFile(path, old);
        ProfileFile f(path);
        ASSERT_EQ(f.Load(), ProfileResult::Ok);
        f.SetString("Quelp", "Zoom", c.value);
        EXPECT_EQ(f.Save(), c.result) << c.value;
        ProfileFile again(path);
        EXPECT_EQ(again.Load(), ProfileResult::Ok) << c.value;
        EXPECT_EQ(again.GetString("Quelp", "Zoom", ""),
                  c.result == ProfileResult::Ok ? c.value : "1");
        EXPECT_TRUE(Others().empty());
    }
}

TEST_F(ProfileFileSave, RemovesTheTemporaryFilesOfEarlierSavesThatDied) {
    WriteFile(path, "[Quelp]\nZoom=1\n");
    ProfileSaveOptions crash;
    crash.fault = [](SaveStep step) {
        return step == SaveStep::WriteTempRest ? FaultAction::Crash : FaultAction::Continue;
    };
    ASSERT_EQ(WriteProfileString(path, "Quelp", "Zoom", "2", crash), ProfileResult::Crashed);
    ASSERT_EQ(Others().size(), 1u);

    // Another left-over, and names that only look alike, which stay.
    WriteFile(dir / ".QUELP.INI.0123456789ABCDEF.tmp", "");
    std::vector<std::string> kept = {
        ".QUELP.INI.0123456789abcde.tmp",    // 15 digits
        ".QUELP.INI.0123456789abcdeg.tmp",   // not hex
        ".QUELP.INI.0123456789abcdef.tmp~",  // more after it
        ".QUELP.INI2.0123456789abcdef.tmp",  // another file's
        "QUELP.INI.0123456789abcdef.tmp",    // no leading dot
    };
    for (const auto& name : kept) WriteFile(dir / name, "keep");
    fs::create_directory(dir / ".QUELP.INI.fedcba9876543210.tmp");  // not a file
    kept.push_back(".QUELP.INI.fedcba9876543210.tmp");

    ASSERT_EQ(WriteProfileString(path, "Quelp", "Zoom", "3"), ProfileResult::Ok);
    EXPECT_EQ(ReadFile(path), "[Quelp]\nZoom=3\n");
    std::vector<std::string> others = Others();
    std::sort(others.begin(), others.end());
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(others, kept);
}

// What the index must get right: the first section and key of a name, keys
// and sections added since the file was read, and names whose added line
// reads back as something else.
TEST(ProfileFile, LookupsSeeEveryChangeAsTheFileWouldReadBack) {
    struct Entry {
        const char* section;
        const char* key;
        const char* value;  // set, or expected ("-": absent)
    };
    const struct {
        const char* name;
        std::string before;
        std::vector<Entry> sets;
        std::string after;
        std::vector<Entry> gets;
    } cases[] = {
        {"added keys and sections are set again, not added twice",
         "[A]\nx=1",
         {{"B", "k", "1"}, {"A", "y", "2"}, {"b", "K", "3"}, {"a", "Y", "4"}},
         "[A]\nx=1\ny=4\n\n[B]\nk=3\n",
         {{"A", "y", "4"}, {"B", "k", "3"}, {"A", "k", "-"}, {"B", "y", "-"}}},
        {"the same key name in two sections",
         "[A]\nk=1\n[B]\nk=2\n[A]\nk=9\nj=9\n",
         {{"B", "k", "3"}, {"A", "j", "4"}},
         "[A]\nk=1\nj=4\n[B]\nk=3\n[A]\nk=9\nj=9\n",
         {{"A", "k", "1"}, {"B", "k", "3"}, {"A", "j", "4"}}},
        {"a key that reads back as a section header splits its section",
         "[A]\n[B]\n\n",
         {{"A", "[B]", "1"}, {"B", "k", "2"}, {"A", "z", "3"}},
         "[A]\nz=3\n[B]=1\nk=2\n[B]\n\n",
         {{"B", "k", "2"}, {"A", "z", "3"}, {"A", "[B]", "-"}}},
        {"keys with blanks or '=' read back under their trimmed first part",
         "[A]\nk=1\n",
         {{"A", " k", "2"}, {"A", "k", "3"}, {"A", "a=b", "4"}, {"A", "a", "5"}},
         "[A]\nk=3\n k=2\na=5\n",
         {{"A", "k", "3"}, {"A", "a", "5"}, {"A", " k", "-"}}},
        {"a section name with ']' reads back as another",
         "[A]\nk=1\n",
         {{"x]y", "k", "2"}, {"x", "k", "3"}, {"x]y", "k", "4"}},
         "[A]\nk=1\n\n[x]y]\nk=3\n\n[x]y]\nk=4\n",
         {{"x", "k", "3"}, {"x]y", "k", "-"}}},
    };
    for (const auto& c : cases) {
        ProfileFile f = Parsed(c.before);
        for (const auto& set : c.sets) f.SetString(set.section, set.key, set.value);
        EXPECT_EQ(f.Serialize(), c.after) << c.name;
        const ProfileFile reread = Parsed(f.Serialize());
        for (const auto& get : c.gets) {
            EXPECT_EQ(f.GetString(get.section, get.key, "-"), get.value)
                << c.name << ": " << get.section << "/" << get.key;
            EXPECT_EQ(reread.GetString(get.section, get.key, "-"), get.value)
                << c.name << ": " << get.section << "/" << get.key << " read back";
        }
    }
}

TEST(ProfileFile, FindsEveryKeyOfAFileWithThousandsOfSections) {
    // Enough sections and keys for the tables to grow many times; a repeated
    // key and every seventh section repeated count for nothing.
    std::string text;
    for (int s = 0; s < 3000; ++s) {
        const std::string n = std::to_string(s);
        text += "[Prog" + n + "]\r\nKey0=" + n + "\r\nKey1=" + n + "1\r\nKEY0=dup\r\n";
        if (s % 7 == 0) text += "[prog" + n + "]\r\nKey2=shadowed\r\n";
    }
    ProfileFile f = Parsed(text);
    for (int s = 3999; s >= 2990; --s) {
        const std::string n = std::to_string(s);
        f.SetString(std::string("Prog").append(n), "New", std::string("n").append(n));
    }
    for (int s = 0; s < 4000; ++s) {
        const std::string n = std::to_string(s);
        const std::string section = "PROG" + n;
        ASSERT_EQ(f.GetString(section, "key0", "-"), s < 3000 ? n : "-") << section;
        ASSERT_EQ(f.GetString(section, "key1", "-"), s < 3000 ? n + "1" : "-") << section;
        ASSERT_FALSE(f.HasKey(section, "Key2")) << section;
        ASSERT_EQ(f.GetString(section, "new", "-"), s >= 2990 ? "n" + n : "-") << section;
    }
}

}  // namespace
}  // namespace quelp
