// The rig server on Hamlib, under the application: Hamlib's dummy rig in
// this process, and the same dummy behind a rigctld that other programs
// could share.

#include "adapters/hamlib/HamlibRigServer.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <hamlib/rig.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "app/QuelpApp.h"
#include "support/FakeAppPorts.h"
#include "support/TempDir.h"

// Hamlib registers its backends once per process and keeps them to the
// end; the leak checker is told to leave those (and only Hamlib's) alone.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libhamlib.so\n";
}

namespace quelp {
namespace {

using Messages = std::vector<std::pair<std::string, std::string>>;

// A serial rig on a device that is not there.
const HamlibRigSettings kMissingRig{RIG_MODEL_FT817, "/dev/quelp-no-such-port", 9600};

struct HamlibApp : test::FakeAppPorts {
    explicit HamlibApp(const HamlibRigSettings& rig1)
        : server(HamlibSettings{{rig1, kMissingRig}}) {}

    HamlibRigServer server;
    QuelpApp app{With(&server)};

    void Settings(const std::string& keys) {
        ProfileFile file;
        file.Parse("[Quelp]\n" + keys);
        app.ApplySettings(file);
    }
    // The signal 20 bins (108 Hz) above the mark, retuned to it.
    int SignalToMark() {
        app.SetTransmitBin(186);
        app.ClickTune(206);
        return app.TuneRigToMark();
    }
    RIG* Rig() const { return server.NativeRig(); }
};

const HamlibRigSettings kDummy{RIG_MODEL_DUMMY, "", 0};

shortfreq_t Rit(RIG* rig) {
    shortfreq_t offset = 0;
    EXPECT_EQ(rig_get_rit(rig, RIG_VFO_CURR, &offset), RIG_OK);
    return offset;
}

freq_t Freq(RIG* rig, vfo_t vfo) {
    freq_t hz = 0;
    EXPECT_EQ(rig_get_freq(rig, vfo, &hz), RIG_OK);
    return hz;
}

TEST(HamlibRigServer, RitRetunesOnTheDummyRig) {
    HamlibApp r(kDummy);
    r.app.StartRigControl(tune_rig::kRit);
    ASSERT_TRUE(r.view.messages.empty());
    RIG* rig = r.Rig();
    ASSERT_EQ(rig_set_mode(rig, RIG_VFO_CURR, RIG_MODE_USB, RIG_PASSBAND_NOCHANGE), RIG_OK);
    // RIT off with an offset left over: cleared, switched on, the offset alone.
    ASSERT_EQ(rig_set_rit(rig, RIG_VFO_CURR, 700), RIG_OK);
    ASSERT_EQ(rig_set_func(rig, RIG_VFO_CURR, RIG_FUNC_RIT, 0), RIG_OK);
    EXPECT_EQ(r.SignalToMark(), rig_tune::kDone);
    int on = 0;
    EXPECT_EQ(rig_get_func(rig, RIG_VFO_CURR, RIG_FUNC_RIT, &on), RIG_OK);
    EXPECT_EQ(on, 1);
    EXPECT_EQ(Rit(rig), 108);
    EXPECT_EQ(r.SignalToMark(), rig_tune::kDone);  // on now: added to
    EXPECT_EQ(Rit(rig), 216);
    for (rmode_t lower : {RIG_MODE_LSB, RIG_MODE_CWR, RIG_MODE_PKTLSB}) {
        ASSERT_EQ(rig_set_mode(rig, RIG_VFO_CURR, lower, RIG_PASSBAND_NOCHANGE), RIG_OK);
        EXPECT_EQ(r.SignalToMark(), rig_tune::kDone);
    }
    EXPECT_EQ(Rit(rig), 216 - 3 * 108);
}

TEST(HamlibRigServer, TheVfoTheRigReceivesOnIsRetuned) {
    HamlibApp r(kDummy);
    r.app.StartRigControl(tune_rig::kMainVfo);
    ASSERT_TRUE(r.view.messages.empty());
    RIG* rig = r.Rig();
    ASSERT_EQ(rig_set_mode(rig, RIG_VFO_CURR, RIG_MODE_CW, RIG_PASSBAND_NOCHANGE), RIG_OK);
    ASSERT_EQ(rig_set_freq(rig, RIG_VFO_A, 7010000), RIG_OK);
    ASSERT_EQ(rig_set_freq(rig, RIG_VFO_B, 7020000), RIG_OK);
    EXPECT_EQ(r.SignalToMark(), rig_tune::kDone);
    ASSERT_EQ(rig_set_vfo(rig, RIG_VFO_B), RIG_OK);
    EXPECT_EQ(r.SignalToMark(), rig_tune::kDone);
    EXPECT_EQ(Freq(rig, RIG_VFO_A), 7010108);
    EXPECT_EQ(Freq(rig, RIG_VFO_B), 7020108);
}

TEST(HamlibRigServer, TheSettingsChooseTheRigAndCtrlUTogglesIt) {
    HamlibApp r(kDummy);
    r.Settings("RigNumber=3\nTuneRig=0\nLastTuneRig=1\n");  // 3 is no rig: rig 1 stays
    r.app.ToggleRigTuning();
    EXPECT_TRUE(r.view.messages.empty());
    EXPECT_EQ(r.view.Status(panel::TuneBy), "RIT");
    EXPECT_EQ(r.SignalToMark(), rig_tune::kDone);
    r.app.ToggleRigTuning();
    EXPECT_EQ(r.view.Status(panel::TuneBy), "");
    EXPECT_EQ(r.SignalToMark(), rig_tune::kNoTuning);

    r.Settings("RigNumber=2\n");  // a serial rig whose port is not there
    r.app.ToggleRigTuning();
    EXPECT_EQ(r.view.messages, (Messages{{"Problem with OmniRig starting!", "OmniRig Error"}}));
    EXPECT_EQ(r.app.Params().TuneRig, 0);
    EXPECT_EQ(r.view.Status(panel::TuneBy), "");
}

TEST(HamlibRigServer, SettingsLiveInTheirOwnFile) {
    EXPECT_EQ(HamlibSettingsPath("/x/conf", "/home/op"), "/x/conf/quelp/rigs.ini");
    EXPECT_EQ(HamlibSettingsPath("relative", "/home/op"), "/home/op/.config/quelp/rigs.ini");
    test::TempDir dir;
    const auto file = dir / "conf" / "quelp" / "rigs.ini";
    EXPECT_EQ(LoadHamlibSettings(file), HamlibSettings{});
    const HamlibSettings s{
        {HamlibRigSettings{kHamlibNetworkModel, "127.0.0.1:4532", 0}, kMissingRig}};
    ASSERT_TRUE(SaveHamlibSettings(file, s));
    EXPECT_EQ(LoadHamlibSettings(file), s);
}

// --- through rigctld ---------------------------------------------------------------

sockaddr_in Loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

int FreePort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = Loopback(0);
    socklen_t len = sizeof a;
    const bool ok = bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
                    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0;
    close(s);
    return ok ? ntohs(a.sin_port) : 0;
}

// A rigctld on the dummy rig, and a plain client of it: another program
// sharing the rig.
class Rigctld {
  public:
    Rigctld() : port_(FreePort()) {
        const std::string port = std::to_string(port_);
        pid_ = fork();
        if (pid_ == 0) {
            execlp("rigctld", "rigctld", "-m", "1", "--vfo", "-T", "127.0.0.1", "-t", port.c_str(),
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 100 && client_ < 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const int s = socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in a = Loopback(port_);
            if (connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
                timeval timeout{5, 0};
                setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
                client_ = s;
            } else {
                close(s);
            }
        }
    }
    ~Rigctld() {
        if (client_ >= 0) close(client_);
        if (pid_ <= 0) return;  // no child: kill(-1) would signal every process
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    bool Up() const { return client_ >= 0; }
    std::string Address() const { return "127.0.0.1:" + std::to_string(port_); }
    // One command; the first line of the answer.
    std::string Ask(const std::string& command) {
        const std::string line = command + "\n";
        if (send(client_, line.data(), line.size(), 0) < 0) return "send failed";
        std::string answer;
        char c = 0;
        while (recv(client_, &c, 1, 0) == 1 && c != '\n') answer += c;
        return answer;
    }

  private:
    int port_;
    pid_t pid_ = -1;
    int client_ = -1;
};

TEST(HamlibRigServer, ARigSharedThroughRigctldIsRetunedToo) {
    Rigctld daemon;
    ASSERT_TRUE(daemon.Up()) << "rigctld (libhamlib-utils) did not start";
    for (const char* setup : {"F VFOA 7010000", "F VFOB 7020000", "M VFOA LSB 0", "M VFOB LSB 0"}) {
        ASSERT_EQ(daemon.Ask(setup), "RPRT 0");
    }
    HamlibApp r({kHamlibNetworkModel, daemon.Address(), 0});
    r.app.StartRigControl(tune_rig::kMainVfo);
    ASSERT_TRUE(r.view.messages.empty());
    EXPECT_EQ(r.SignalToMark(), rig_tune::kDone);
    EXPECT_EQ(daemon.Ask("f VFOA"), "7009892");
    // The other program switches to VFO B: the next retune follows it.
    EXPECT_EQ(daemon.Ask("V VFOB"), "RPRT 0");
    EXPECT_EQ(r.SignalToMark(), rig_tune::kDone);
    EXPECT_EQ(daemon.Ask("f VFOB"), "7019892");
    EXPECT_EQ(daemon.Ask("f VFOA"), "7009892");

    // Nobody at the address: the rig cannot start.
    HamlibApp gone({kHamlibNetworkModel, "127.0.0.1:" + std::to_string(FreePort()), 0});
    gone.app.StartRigControl(tune_rig::kRit);
    EXPECT_EQ(gone.view.messages, (Messages{{"Problem with OmniRig starting!", "OmniRig Error"}}));
}

}  // namespace
}  // namespace quelp
