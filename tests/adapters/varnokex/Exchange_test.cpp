// The exchange library as the program loads it, and a reader program on the
// other end of the channel.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "adapters/varnokex/ExchangeChannel.h"
#include "adapters/varnokex/ExchangeLoader.h"
#include "app/QuelpApp.h"
#include "support/CwSynth.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"
#include "support/TempDir.h"

extern char** environ;

namespace quelp::varnokex {
namespace {

const std::filesystem::path kLibrary =
    std::filesystem::path(QUELP_BINARY_DIR) / "apps" / "lib" / "quelp" / "libvarnokex.so";
const std::string kReader = std::string(QUELP_BINARY_DIR) + "/apps/varnokex-read/varnokex-read";

// The channels of this test live in a runtime folder of its own.
struct RuntimeDir {
    RuntimeDir() { ::setenv("XDG_RUNTIME_DIR", dir.path().c_str(), 1); }
    ~RuntimeDir() { ::unsetenv("XDG_RUNTIME_DIR"); }
    test::TempDir dir;
};

// The reader program on `channel`, its output on a pipe.
struct Reader {
    explicit Reader(const char* channel) {
        int fds[2];
        EXPECT_EQ(::pipe(fds), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        char* argv[] = {const_cast<char*>(kReader.c_str()), const_cast<char*>(channel), nullptr};
        pid = -1;
        EXPECT_EQ(::posix_spawn(&pid, kReader.c_str(), &actions, nullptr, argv, environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        out = fds[0];
    }
    ~Reader() {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            Wait();
        }
        ::close(out);
    }
    int Wait() {
        int status = 0;
        if (pid > 0 && ::waitpid(pid, &status, 0) == pid) pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Read(std::size_t n) {
        std::string got(n, '\0');
        std::size_t have = 0;
        while (have < n) {
            const ssize_t r = ::read(out, got.data() + have, n - have);
            if (r <= 0) break;
            have += static_cast<std::size_t>(r);
        }
        got.resize(have);
        return got;
    }
    pid_t pid = -1;
    int out = -1;
};

TEST(Exchange, ReaderGetsTheExactBytesOfItsChannel) {
    RuntimeDir runtime;
    ExchangeLoader library(kLibrary);
    ASSERT_TRUE(library.Loaded());
    ASSERT_EQ(library.Init(2), 1);
    for (const char c : std::string("not for channel 1")) {
        library.PutSymToRxBuffer(static_cast<std::uint8_t>(c));
    }
    Reader reader("1");
    ASSERT_EQ(library.Init(1), 1);
    // A prosign is two bytes, a Cyrillic letter one byte of its code page.
    const std::string text = "CQ DE DL1ABC <AR>\r\n\xC4\xE0 \x01\xFF";
    for (const char c : text) library.PutSymToRxBuffer(static_cast<std::uint8_t>(c));
    EXPECT_EQ(reader.Read(text.size()), text);
}

TEST(Exchange, ReaderGetsExactlyWhatTheReceiverDecodes) {
    RuntimeDir runtime;
    ExchangeLoader library(kLibrary);
    ASSERT_TRUE(library.Loaded());
    test::FakeMainView view;
    test::FakeClock clock;
    test::FakeFileDialogs dialogs;
    test::FakeReceiveText rx;
    QuelpPorts ports{view, clock, dialogs, rx};
    ports.exchange = &library;
    QuelpApp app(ports);
    IntegrationHooks hooks;
    hooks.initExchangeLibrary = [&library](int channel) { return library.Init(channel) != 0; };
    app.SetIntegrationHooks(hooks);
    Reader reader("1");
    app.SetExCanal(1);

    test::CwSynthOptions keyed;
    keyed.signal.text = "cq cq de dl1abc <ar> k";
    keyed.signal.freqHz = 1001.0;  // where the receiver listens from the start
    keyed.tailSec = 2.0;
    const test::CwSynthResult audio = test::SynthesizeCw(keyed);
    std::vector<std::int16_t> pcm(audio.samples.size() + kBlockSize, 0);
    for (std::size_t i = 0; i < audio.samples.size(); ++i) {
        pcm[i] = static_cast<std::int16_t>(audio.samples[i] * 32767.0);
    }
    for (std::size_t at = 0; at + kBlockSize <= pcm.size(); at += kBlockSize) {
        app.ProcessBlock(pcm.data() + at, 0);
    }
    // Every byte the receive text got, the prosign's two letters included,
    // and nothing else, in order.
    ASSERT_NE(rx.text.find("de dl1abc AR k"), std::string::npos) << rx.text;
    EXPECT_EQ(reader.Read(rx.text.size()), rx.text);
    EXPECT_TRUE(view.messages.empty());
}

TEST(Exchange, OnlyTheProgramsOwnFullPathLoads) {
    RuntimeDir runtime;
    const struct {
        std::filesystem::path file;
        bool loads;
    } cases[] = {
        {kLibrary, true},
        {"libvarnokex.so", false},  // would be searched for
        {runtime.dir.path() / "libvarnokex.so", false},
        {"/usr/lib/x86_64-linux-gnu/libc.so.6", false},  // lacks the entry points
    };
    for (const auto& c : cases) {
        ExchangeLoader library(c.file);
        EXPECT_EQ(library.Loaded(), c.loads) << c.file;
        if (!c.loads) {
            EXPECT_EQ(library.Init(1), 0);
        }
        library.PutSymToRxBuffer('x');  // harmless either way
    }
    EXPECT_EQ(ExchangeLoader::LibraryFile("/opt/quelp/bin"),
              std::filesystem::path("/opt/quelp/lib/quelp/libvarnokex.so"));
}

TEST(Exchange, BadChannelsAndArgumentsAreRefused) {
    RuntimeDir runtime;
    ExchangeLoader library(kLibrary);
    EXPECT_EQ(library.Init(0), 0);
    EXPECT_EQ(library.Init(-3), 0);
    // A plain file where the channel's pipe belongs is left alone.
    ASSERT_TRUE(MakeChannel(ChannelPath(5)));
    std::filesystem::remove(ChannelPath(5));
    { std::ofstream(ChannelPath(5)) << "keep"; }
    EXPECT_EQ(library.Init(5), 0);
    for (const char* arg : {"0", "x", "1x", ""}) {
        Reader reader(arg);
        EXPECT_EQ(reader.Wait(), 2) << arg;
    }
}

}  // namespace
}  // namespace quelp::varnokex
