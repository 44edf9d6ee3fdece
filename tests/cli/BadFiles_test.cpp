// quelp-cli given files that are not what they seem: special files that
// would block or never end, and recordings whose sizes were never written.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "audio/WavBytes.h"
#include "cli/CliRunner.h"
#include "support/CwSynth.h"

namespace quelp {
namespace {

// Runs quelp-cli as RunCli does, but the system stops it after `seconds`
// (an alarm survives the exec): a program that hangs comes back with
// exitCode -1 instead of hanging the tests.
test::CliRun RunCliWithin(unsigned seconds, const std::vector<std::string>& args,
                          const std::string& scratch) {
    std::vector<std::string> argv = {test::CliProgram()};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargv;
    for (auto& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    const std::string out = scratch + ".out";
    const std::string err = scratch + ".err";
    const pid_t child = ::fork();
    if (child == 0) {
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int in = ::open("/dev/null", O_RDONLY);
        if (::dup2(o, 1) < 0 || ::dup2(e, 2) < 0 || ::dup2(in, 0) < 0) ::_exit(127);
        ::alarm(seconds);
        ::execv(cargv[0], cargv.data());
        ::_exit(127);
    }
    test::CliRun run;
    int status = 0;
    if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
    }
    run.out = test::Slurp(out);
    run.err = test::Slurp(err);
    return run;
}

// A short, clean "paris" recording.
std::string GoodRecording(const test::TempDir& dir) {
    test::CwSynthOptions o;
    o.signal.text = "paris paris paris";
    o.signal.wpm = 30;
    o.signal.freqHz = 700;
    const std::string path = dir.File("good.wav");
    EXPECT_EQ(test::WriteWav(path, test::SynthesizeCw(o).samples, 11025, 16, 1), 0);
    return path;
}

TEST(BadFiles, ACharacterTableThatIsNoFileIsRefusedAtOnce) {
    test::TempDir dir;
    const std::string good = GoodRecording(dir);
    const std::string fifo = dir.File("table.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // /dev/zero never ends; nobody ever writes into the FIFO.
    for (const std::string& table : {std::string("/dev/zero"), fifo}) {
        const test::CliRun run =
            RunCliWithin(1, {"decode", good, "--charset", table}, dir.File("run"));
        EXPECT_EQ(run.exitCode, 2) << table;
        EXPECT_NE(run.err.find("cannot use the character table file '" + table + "'"),
                  std::string::npos)
            << table << ": " << run.err;
    }
}

TEST(BadFiles, AFifoAmongTheFilesIsReportedAndTheOthersDecoded) {
    test::TempDir dir;
    const std::string good = GoodRecording(dir);
    const std::string fifo = dir.File("audio.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const test::CliRun run = RunCliWithin(1, {"decode", fifo, good}, dir.File("run"));
    EXPECT_EQ(run.exitCode, 3) << run.err;
    EXPECT_NE(run.err.find("quelp-cli: " + fifo + ": File Open Error! (not a regular file)\n"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find("paris paris"), std::string::npos) << run.out;
}

TEST(BadFiles, ARecordingWhoseSizesWereNeverWrittenDecodes) {
    test::TempDir dir;
    const std::string path = GoodRecording(dir);
    std::vector<uint8_t> bytes = test::ReadFile(path);
    ASSERT_EQ(test::Le32At(bytes, 40), bytes.size() - 44);  // the data size
    for (const std::size_t at : {4, 40}) std::fill_n(bytes.begin() + at, 4, 0);
    test::WriteFile(path, bytes);
    const test::CliRun run = test::RunCli({"decode", path}, dir.File("run"));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("paris paris"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace quelp
