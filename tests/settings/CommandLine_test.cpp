#include "settings/CommandLine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "settings/DefaultDirectory.h"
#include "settings/TempDir.h"

namespace quelp {
namespace {

namespace fs = std::filesystem;
using test::CurrentDirGuard;
using test::TempDir;
using test::WriteFile;

TEST(CommandLine, ReadsTheCaptureAndSettingsSwitches) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        bool captureOpen;
        std::string capture;
        std::string settings;  // empty: the default path, not from the command line
    } cases[] = {
        {"no arguments", {"/usr/bin/quelp"}, false, "", ""},
        {"/F then an absolute path",
         {"quelp", "/F", "/home/op/q.ini"},
         false,
         "",
         "/home/op/q.ini"},
        {"path attached", {"quelp", "-f/home/op/q.ini"}, false, "", "/home/op/q.ini"},
        {"quoted path with blanks", {"quelp", "/F\"/my dir/q.ini\""}, false, "", "/my dir/q.ini"},
        {"blanks around an attached path", {"quelp", "/F  q.ini  "}, false, "", "q.ini"},
        {"quoted next argument", {"quelp", "/F", "\"my q.ini\""}, false, "", "my q.ini"},
        {"capture file", {"quelp", "/C", "/var/log/cw.txt"}, false, "/var/log/cw.txt", ""},
        {"both, any case", {"quelp", "-cCAP.TXT", "/f", "s.ini"}, false, "CAP.TXT", "s.ini"},
        {"/C passed over while a capture file is open, its value still consumed",
         {"quelp", "/C", "/files/x.txt", "/F", "s.ini"},
         true,
         "",
         "s.ini"},
        {"automation switches pass",
         {"quelp", "/REGSERVER", "-Automation", "/Embedding", "/UNREGSERVER"},
         false,
         "",
         ""},
        {"program under folders beginning with c or f",
         {"/cw/fast/quelp", "-Embedding"},
         false,
         "",
         ""},
        {"not switches: no letter, a lone dash, a plain word",
         {"quelp", "/", "-", "/1f", "--F", "file.ini"},
         false,
         "",
         ""},
        {"missing value at the end", {"quelp", "/F"}, false, "", ""},
        {"quotes only", {"quelp", "/F", "\"\""}, false, "", ""},
        {"the last /F wins", {"quelp", "/Fa.ini", "/Fb.ini"}, false, "", "b.ini"},
        {"a value longer than a path can be",
         {"quelp", "/F" + std::string(5000, 'a')},
         false,
         "",
         ""},
    };
    for (const auto& c : cases) {
        const CommandLineResult r = ParseCommandLine(c.args, c.captureOpen);
        EXPECT_EQ(r.StartupCaptureFile, c.capture) << c.name;
        EXPECT_EQ(r.SettingsPath, c.settings.empty() ? kDefaultSettingsPath : c.settings) << c.name;
        EXPECT_EQ(r.SettingsPathFromCommandLine, !c.settings.empty()) << c.name;
    }
}

class DefaultDirectory : public ::testing::Test {
  protected:
    TempDir home;
    TempDir start;
    TempDir target;
    CurrentDirGuard restore;  // declared last: back home before the folders go
    SettingsEnvironment env{(home / "config").string(), home.path().string()};

    void SetUp() override { fs::current_path(start.path()); }
    void WriteKeyFile(const std::string& text) {
        fs::create_directories(home / "config" / "quelp");
        WriteFile(home / "config" / "quelp" / "registry.ini", text);
    }
};

TEST_F(DefaultDirectory, LocatesTheKeyFile) {
    EXPECT_EQ(DefaultDirKeyFile({"/x/cfg", "/home/op"}), fs::path("/x/cfg/quelp/registry.ini"));
    EXPECT_EQ(DefaultDirKeyFile({"", "/home/op"}), fs::path("/home/op/.config/quelp/registry.ini"));
    EXPECT_EQ(DefaultDirKeyFile({"relative", "/home/op"}),
              fs::path("/home/op/.config/quelp/registry.ini"));
    EXPECT_EQ(DefaultDirKeyFile({"", ""}), fs::path());
}

TEST_F(DefaultDirectory, ChangesToTheStoredFolderWhenNoSettingsFileIsHere) {
    WriteKeyFile("[Quelp]\nDefaultDir=\"" + target.path().string() + "\"\n");
    const std::string notice = UseDefaultDirectory(CommandLineResult{}, env);
    const fs::path now = fs::current_path();
    EXPECT_TRUE(fs::equivalent(now, target.path()));
    EXPECT_EQ(notice, "QUELP.INI file was not found in a working directory\r\n" +
                          fs::canonical(start.path()).string() +
                          "\r\nWorking directory was changed to default directory\r\n" +
                          now.string() + "\r\n");
}

TEST_F(DefaultDirectory, StaysWhereItIsOtherwise) {
    const fs::path here = fs::current_path();
    // No key file: only its folder is created.
    EXPECT_EQ(UseDefaultDirectory(CommandLineResult{}, env), "");
    EXPECT_TRUE(fs::is_directory(home / "config" / "quelp"));
    EXPECT_FALSE(fs::exists(home / "config" / "quelp" / "registry.ini"));

    WriteKeyFile("[quelp]\nOther=1\n");  // no DefaultDir
    EXPECT_EQ(UseDefaultDirectory(CommandLineResult{}, env), "");
    WriteKeyFile("[quelp]\nDefaultDir=" + (target / "gone").string() + "\n");
    EXPECT_EQ(UseDefaultDirectory(CommandLineResult{}, env), "");

    WriteKeyFile("[quelp]\nDefaultDir=" + target.path().string() + "\n");
    CommandLineResult fromSwitch;
    fromSwitch.SettingsPath = "missing.ini";
    fromSwitch.SettingsPathFromCommandLine = true;
    EXPECT_EQ(UseDefaultDirectory(fromSwitch, env), "");
    WriteFile(here / "QUELP.INI", "");
    EXPECT_EQ(UseDefaultDirectory(CommandLineResult{}, env), "");
    EXPECT_EQ(fs::current_path(), here);
}

}  // namespace
}  // namespace quelp
