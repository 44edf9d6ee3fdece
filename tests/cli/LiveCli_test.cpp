// The quelp-cli program in live mode, run as an operator runs it, on ALSA
// file devices: the device list, and decoding until SIGINT or SIGTERM with
// the shut-down that leaves complete files behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/AlsaFileDevices.h"

extern char** environ;

namespace quelp {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string Program() {
    return std::string(QUELP_BINARY_DIR) + "/apps/quelp-cli/quelp-cli";
}

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// quelp-cli with `args`, its output streams in files, started in the
// background with the current environment (which holds ALSA_CONFIG_PATH).
class CliProcess {
  public:
    CliProcess(const std::vector<std::string>& args, const fs::path& scratch)
        : out_(scratch.string() + ".out"), err_(scratch.string() + ".err") {
        std::vector<std::string> argv = {Program()};
        argv.insert(argv.end(), args.begin(), args.end());
        std::vector<char*> cargs;
        for (auto& a : argv) cargs.push_back(a.data());
        cargs.push_back(nullptr);
        // ALSA's codec plugins keep allocations the leak checker would report.
        std::vector<std::string> env = {"ASAN_OPTIONS=detect_leaks=0"};
        for (char** e = environ; *e != nullptr; ++e) {
            if (std::strncmp(*e, "ASAN_OPTIONS=", 13) != 0) env.emplace_back(*e);
        }
        std::vector<char*> cenv;
        for (auto& e : env) cenv.push_back(e.data());
        cenv.push_back(nullptr);

        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&files, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_addopen(&files, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        if (posix_spawn(&pid_, cargs[0], &files, nullptr, cargs.data(), cenv.data()) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&files);
    }
    ~CliProcess() {
        if (pid_ > 0 && exitCode_ == kRunning) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }

    bool Started() const { return pid_ > 0; }
    // Only a child still running: kill(-1) would signal every process there is.
    void Signal(int signal) const {
        if (pid_ > 0 && exitCode_ == kRunning) kill(pid_, signal);
    }
    // The exit status, -1 after a signal, or kRunning when it did not end in time.
    int Wait(std::chrono::seconds limit) {
        const auto deadline = Clock::now() + limit;
        while (exitCode_ == kRunning && Clock::now() < deadline) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
        return exitCode_;
    }
    std::string Out() const { return Slurp(out_); }
    std::string Err() const { return Slurp(err_); }

    static constexpr int kRunning = -100;

  private:
    std::string out_;
    std::string err_;
    pid_t pid_ = -1;
    int exitCode_ = kRunning;
};

class LiveCli : public testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists(Program())) GTEST_SKIP() << "quelp-cli is not built";
        if (!LiveBuilt()) GTEST_SKIP() << "quelp-cli is built without live input";
    }

    static bool LiveBuilt() {
        static const bool built = [] {
            const fs::path scratch =
                fs::temp_directory_path() / ("quelp_cli_probe_" + std::to_string(::getpid()));
            CliProcess probe({"live", "--list-devices"}, scratch);
            probe.Wait(std::chrono::seconds(30));
            const bool ok = probe.Err().find("not available in this build") == std::string::npos;
            std::error_code ignored;
            fs::remove(scratch.string() + ".out", ignored);
            fs::remove(scratch.string() + ".err", ignored);
            return ok;
        }();
        return built;
    }
};

TEST_F(LiveCli, ListsInputAndOutputDevicesWithTheirNumbers) {
    test::AlsaFileDevices alsa("cli_list");
    alsa.AddCapture("quelp_cli_capture", std::vector<std::int16_t>(2048));
    alsa.AddPlayback("quelp_cli_playback");
    alsa.Install();
    CliProcess cli({"live", "--list-devices"}, alsa.Path("list"));
    ASSERT_TRUE(cli.Started());
    ASSERT_EQ(cli.Wait(std::chrono::seconds(30)), 0) << cli.Err();
    const std::string out = cli.Out();
    const auto inputs = out.find("Input devices:\n");
    const auto outputs = out.find("Output devices:\n");
    ASSERT_EQ(inputs, 0u) << out;
    ASSERT_NE(outputs, std::string::npos) << out;
    // Numbered from 0 in each list.
    EXPECT_EQ(out.find("  0: "), inputs + 15) << out;
    EXPECT_EQ(out.find("  0: ", outputs), outputs + 16) << out;
    EXPECT_LT(out.find(": quelp_cli_capture\n"), outputs) << out;
    EXPECT_NE(out.find(": quelp_cli_playback\n", outputs), std::string::npos) << out;
    EXPECT_EQ(cli.Err(), "");
}

TEST_F(LiveCli, StopSignalShutsDownCleanlyWithTheTextAndTheRecording) {
    // The message fits in the blocks queued at the start; later blocks may
    // follow audio the device dropped.
    std::vector<std::int16_t> pcm = test::MessageForUnpacedCapture();
    ASSERT_LT(pcm.size(), 16u * 2048);
    pcm.resize(64 * 2048, 0);
    constexpr size_t kHeld = 16 * 2048;

    // SIGHUP: the terminal or the SSH session closed.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(signal));
        test::AlsaFileDevices alsa("cli_live");
        alsa.AddCapture("quelp_cli_capture", pcm);
        alsa.Install();
        const fs::path wav = alsa.Path("rec.wav");
        const fs::path text = alsa.Path("cap.txt");
        CliProcess cli({"live", "--device", "quelp_cli_capture", "--record", wav.string(),
                        "--capture", text.string(), "--stats"},
                       alsa.Path("run"));
        ASSERT_TRUE(cli.Started());
        // Running: the recording has passed the message.
        const auto deadline = Clock::now() + std::chrono::seconds(30);
        const auto recorded = [&wav] {
            std::error_code error;
            const auto size = fs::file_size(wav, error);
            return error ? 0 : size;
        };
        while (recorded() < 44 + kHeld * 2 && Clock::now() < deadline &&
               cli.Wait(std::chrono::seconds(0)) == CliProcess::kRunning) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        cli.Signal(signal);
        ASSERT_EQ(cli.Wait(std::chrono::seconds(30)), 0) << cli.Err();

        EXPECT_NE(cli.Out().find("test"), std::string::npos) << cli.Out();
        EXPECT_NE(cli.Err().find("FrB: "), std::string::npos) << cli.Err();
        // The capture file was closed with the text in it.
        EXPECT_NE(Slurp(text).find("test"), std::string::npos);
        // The recording starts with the message, and its header was brought
        // up to date on closing.
        const std::string bytes = Slurp(wav);
        ASSERT_GE(bytes.size(), 44 + kHeld * 2);
        EXPECT_EQ(std::memcmp(bytes.data() + 44, pcm.data(), kHeld * 2), 0);
        std::uint32_t riff = 0;
        std::uint32_t data = 0;
        std::memcpy(&riff, bytes.data() + 4, 4);
        std::memcpy(&data, bytes.data() + 40, 4);
        EXPECT_EQ(riff, bytes.size() - 8);
        EXPECT_EQ(data, bytes.size() - 44);
    }
}

TEST_F(LiveCli, ARecordingIsNeverReplacedAndOpenedOnlyOnceTheInputRuns) {
    test::AlsaFileDevices alsa("cli_keep");  // no devices at all
    alsa.Install();
    const fs::path wav = alsa.Path("old.wav");
    const std::string old = "RIFF-not-really-but-precious";
    std::ofstream(wav, std::ios::binary) << old;

    CliProcess kept({"live", "--record", wav.string()}, alsa.Path("kept"));
    EXPECT_EQ(kept.Wait(std::chrono::seconds(30)), 2);
    EXPECT_NE(kept.Err().find("exists (--overwrite replaces it)"), std::string::npos) << kept.Err();
    CliProcess noInput({"live", "--record", wav.string(), "--overwrite"}, alsa.Path("none"));
    EXPECT_EQ(noInput.Wait(std::chrono::seconds(30)), 1);
    EXPECT_NE(noInput.Err().find("No sound input device"), std::string::npos) << noInput.Err();
    EXPECT_EQ(Slurp(wav), old);
}

TEST_F(LiveCli, AnyListedDeviceCanBeChosenAndTheSoundOutputOptionIsSaved) {
    // Twelve capture devices; only the last carries the message, so its
    // number (above 9) must really be opened.
    std::vector<std::int16_t> pcm = test::MessageForUnpacedCapture();
    pcm.resize(64 * 2048, 0);
    test::AlsaFileDevices alsa("cli_many");
    for (int d = 0; d < 12; ++d) {
        alsa.AddCapture("quelp_dev" + std::to_string(d),
                        d == 11 ? pcm : std::vector<std::int16_t>(64 * 2048, 0));
    }
    alsa.Install();
    CliProcess list({"live", "--list-devices"}, alsa.Path("list"));
    ASSERT_EQ(list.Wait(std::chrono::seconds(30)), 0);
    const std::string devices = list.Out();
    const auto at = devices.find(": quelp_dev11\n");
    ASSERT_NE(at, std::string::npos) << devices;
    const std::string number =
        devices.substr(devices.rfind("  ", at) + 2, at - devices.rfind("  ", at) - 2);
    ASSERT_GE(std::stoi(number), 10) << devices;

    const fs::path in = alsa.Path("in.ini");
    const fs::path out = alsa.Path("out.ini");
    std::ofstream(in) << "[Quelp]\nSoundFilter=140\n";
    CliProcess cli({"live", "--device", number, "--sound-out", "off", "--settings", in.string(),
                    "--save-settings", out.string()},
                   alsa.Path("run"));
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    while (cli.Out().find("test") == std::string::npos && Clock::now() < deadline &&
           cli.Wait(std::chrono::seconds(0)) == CliProcess::kRunning) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    cli.Signal(SIGINT);
    ASSERT_EQ(cli.Wait(std::chrono::seconds(30)), 0) << cli.Err();
    EXPECT_NE(cli.Out().find("test"), std::string::npos) << cli.Out();
    EXPECT_NE(Slurp(out).find("\nSoundFilter=0\n"), std::string::npos) << Slurp(out);
}

}  // namespace
}  // namespace quelp
