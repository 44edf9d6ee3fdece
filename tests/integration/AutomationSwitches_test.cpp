// The server's start-up switches and its bus activation file.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "integration/ServerRegistration.h"
#include "support/TempDir.h"

namespace quelp {
namespace {

TEST(ServerSwitches, AnyCaseEitherLeader) {
    const struct {
        std::vector<std::string> args;
        ServerSwitch expected;
    } cases[] = {
        {{"quelp"}, ServerSwitch::None},
        {{"quelp", "/REGSERVER"}, ServerSwitch::RegServer},
        {{"quelp", "-regserver"}, ServerSwitch::RegServer},
        {{"quelp", "/UnRegServer"}, ServerSwitch::UnregServer},
        {{"quelp", "/F", "x.ini", "-Automation"}, ServerSwitch::Automation},
        {{"quelp", "/embedding"}, ServerSwitch::Automation},
        {{"/regserver"}, ServerSwitch::None},  // the program's own path
        {{"quelp", "regserver", "/regserverx"}, ServerSwitch::None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FindServerSwitch(c.args), c.expected) << c.args.back();
    }
}

TEST(ServerSwitches, RegistrationWritesAndRemovesTheActivationFile) {
    test::TempDir dir;
    const std::filesystem::path services = dir.path() / "dbus-1" / "services";
    const struct {
        const char* exe;
        const char* exec;
    } cases[] = {
        {"/opt/q/bin/quelp", "Exec=/opt/q/bin/quelp /Automation"},
        {"/home/o'b/my bin/quelp", "Exec='/home/o'\\''b/my bin/quelp' /Automation"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(RegisterServer(services, c.exe));
        std::ifstream in(ServiceFilePath(services));
        std::stringstream text;
        text << in.rdbuf();
        EXPECT_EQ(text.str(),
                  std::string("[D-BUS Service]\nName=org.quelp.QuelpX\n") + c.exec + "\n");
    }
    EXPECT_TRUE(UnregisterServer(services));
    EXPECT_FALSE(std::filesystem::exists(ServiceFilePath(services)));
    EXPECT_TRUE(UnregisterServer(services));
    std::ofstream(dir.path() / "file") << "x";
    EXPECT_FALSE(RegisterServer(dir.path() / "file" / "sub", "/q"));  // under a file
}

}  // namespace
}  // namespace quelp
