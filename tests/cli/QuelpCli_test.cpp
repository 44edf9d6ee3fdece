// The quelp-cli program as an operator runs it: exit codes, messages, the
// options reaching the receiver, and bad files.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "audio/WavBytes.h"
#include "cli/CliRunner.h"
#include "support/CwSynth.h"

namespace quelp {
namespace {

// Two clean signals: "paris" at 600 Hz and the stronger "hello" at 1200 Hz.
std::string TwoSignals(const test::TempDir& dir) {
    test::CwSynthOptions o;
    o.signal.text = "paris paris paris paris";
    o.signal.freqHz = 600;
    o.signal.wpm = 25;
    o.second = test::CwSignal{};
    o.second->text = "hello hello hello hello";
    o.second->freqHz = 1200;
    o.second->wpm = 25;
    o.second->level = 0.5;
    const std::string path = dir.File("two.wav");
    EXPECT_EQ(test::WriteWav(path, test::SynthesizeCw(o).samples, 11025, 16, 1), 0);
    return path;
}

TEST(QuelpCli, RefusedFilesGiveExit3WithTheirMessageAndTheOthersAreDecoded) {
    test::TempDir dir;
    const std::string good = TwoSignals(dir);
    // Neither the WAV reader nor the sound file library reads these; the
    // message names what the header says.
    const std::string unknown = dir.File("unknown.wav");
    test::WavBytes f;
    f.Chunk("fmt ", test::FmtBody(0x1234, 1, 48000, 16)).Chunk("data", std::vector<uint8_t>(400));
    test::WriteFile(unknown, test::Riff(f.bytes));
    const std::string rate = dir.File("2k.wav");
    test::WriteFile(rate, test::PcmWav(1, 2000, 16, std::vector<uint8_t>(400)));
    const std::string missing = dir.File("missing.wav");

    const test::CliRun run = test::RunCli(
        {"decode", good, missing, unknown, rate, good, "--freq", "1200"}, dir.File("run"));
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find("quelp-cli: " + missing + ": File Open Error! (no such file)\n"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find(unknown + ": 48000 Hz 16-bit format 0x1234 WAV: "), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find(rate + ": 2000 Hz 16-bit WAV: rate outside 4000 to 768000 Hz\n"),
              std::string::npos)
        << run.err;
    // Both good files were decoded, each on its own line.
    const auto first = run.out.find("hello hello hello \n");
    ASSERT_NE(first, std::string::npos) << run.out;
    EXPECT_NE(run.out.find("hello hello hello hello \n", first + 1), std::string::npos) << run.out;
}

TEST(QuelpCli, FrequencyOptionChoosesTheSignalOtherwiseTheStrongestIsFound) {
    test::TempDir dir;
    const std::string two = TwoSignals(dir);
    const test::CliRun found = test::RunCli({"decode", two}, dir.File("found"));
    EXPECT_EQ(found.exitCode, 0) << found.err;
    EXPECT_NE(found.out.find("hello hello hello"), std::string::npos) << found.out;

    const std::string capture = dir.File("capture.txt");
    const test::CliRun chosen =
        test::RunCli({"decode", two, "--freq", "600", "--afc=off", "--capture", capture, "--stats"},
                     dir.File("chosen"));
    EXPECT_EQ(chosen.exitCode, 0) << chosen.err;
    EXPECT_NE(chosen.out.find("paris paris paris"), std::string::npos) << chosen.out;
    EXPECT_EQ(chosen.out.find("hello"), std::string::npos) << chosen.out;
    // The capture file holds the same text, in the table's code page.
    const std::string captured = test::NormalizeText(test::Slurp(capture));
    EXPECT_EQ(captured.substr(1), "aris paris paris paris") << captured;
    EXPECT_NE(chosen.err.find("times real time; 25.0 WPM, 125 LPM; 598 Hz"), std::string::npos)
        << chosen.err;
}

TEST(QuelpCli, TheAdaptiveDecoderPrintsEveryFileWholeToTheSamePlaces) {
    test::TempDir dir;
    const std::string two = TwoSignals(dir);
    const std::string capture = dir.File("capture.txt");
    const test::CliRun run = test::RunCli(
        {"decode", two, two, "--decoder", "adaptive", "--freq", "600", "--capture", capture},
        dir.File("adaptive"));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    // Shorter than the settling: each file is printed at its end, first
    // word included, the stronger neighbour left out, under its label.
    const std::string label = "==> " + two + " <==\n";
    EXPECT_EQ(run.out,
              label + "paris paris paris paris \n\n" + label + "paris paris paris paris \n");
    EXPECT_EQ(test::NormalizeText(test::Slurp(capture)),
              "paris paris paris paris paris paris paris paris");
}

TEST(QuelpCli, UsageErrorsGiveExit2) {
    test::TempDir dir;
    const std::string wav = dir.File("s.wav");
    test::WriteFile(wav, test::PcmWav(1, 11025, 16, std::vector<uint8_t>(100)));
    const std::vector<std::vector<std::string>> cases = {
        {"decode", wav, "--no-such-option"},
        {"decode", wav, "--charset", dir.File("no-such-table.txt")},
        {"decode", wav, "--settings", dir.File("quelp.ini")},
    };
    for (const auto& args : cases) {
        const test::CliRun run = test::RunCli(args, dir.File("usage"));
        EXPECT_EQ(run.exitCode, 2) << args.back() << "\n" << run.err;
        EXPECT_EQ(run.err.rfind("quelp-cli: ", 0), 0u) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
}

TEST(QuelpCli, MalformedFilesNeverCrashTheDecoder) {
    test::TempDir dir;
    test::CwSynthOptions o;
    o.signal.text = "eish5";
    o.signal.startSec = 0.1;
    o.tailSec = 0.1;
    const std::string valid = dir.File("valid.wav");
    ASSERT_EQ(test::WriteWav(valid, test::SynthesizeCw(o).samples, 44100, 16, 2), 0);
    const std::vector<uint8_t> bytes = test::ReadFile(valid);

    std::vector<std::string> args = {"decode"};
    auto add = [&](const std::vector<uint8_t>& b) {
        args.push_back(dir.File("bad" + std::to_string(args.size()) + ".wav"));
        test::WriteFile(args.back(), b);
    };
    for (const std::size_t keep : {0, 3, 11, 12, 20, 35, 36, 43, 44, 45, 1001}) {
        add(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(keep)));
    }
    for (const std::size_t at : {4u, 16u, 22u, 32u, 34u, 40u}) {  // sizes and layout fields
        for (const uint8_t value : {0x00, 0xFF}) {
            std::vector<uint8_t> b(bytes.begin(), bytes.begin() + 4000);
            for (std::size_t i = at; i < at + 2; ++i) b[i] = value;
            add(b);
        }
    }
    std::mt19937 random(7);
    for (int n = 0; n < 6; ++n) {
        std::vector<uint8_t> b(bytes.begin(), bytes.begin() + 6000);
        for (int k = 0; k < 8; ++k) b[random() % 48] = static_cast<uint8_t>(random());
        add(b);
    }
    const test::CliRun run = test::RunCli(args, dir.File("bad"));
    EXPECT_EQ(run.exitCode, 3) << run.err;  // some are refused, none crashes
    EXPECT_EQ(run.err.find("Sanitizer"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("runtime error"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace quelp

namespace quelp {
namespace {

// Table bytes reach standard output in the receive window's default code
// page (Windows-1251) unless --encoding says otherwise.
TEST(QuelpCli, TableBytesAreConvertedFromTheCodePageInForce) {
    test::TempDir dir;
    const std::string table = dir.File("table.qlp");
    test::WriteFile(table, std::vector<uint8_t>{'.', '-', ' ', 0xC0, '\n'});
    test::CwSynthOptions o;
    o.signal.text = "aaa aaa aaa";
    o.signal.freqHz = 700;
    const std::string wav = dir.File("a.wav");
    ASSERT_EQ(test::WriteWav(wav, test::SynthesizeCw(o).samples, 11025, 16, 1), 0);

    const test::CliRun cyrillic =
        test::RunCli({"decode", wav, "--freq", "700", "--charset", table}, dir.File("ru"));
    EXPECT_EQ(cyrillic.exitCode, 0) << cyrillic.err;
    EXPECT_NE(cyrillic.out.find("\xD0\x90\xD0\x90\xD0\x90 \xD0\x90\xD0\x90\xD0\x90"),
              std::string::npos)
        << cyrillic.out;
    const test::CliRun western =
        test::RunCli({"decode", wav, "--freq", "700", "--charset", table, "--encoding", "cp1252"},
                     dir.File("west"));
    EXPECT_NE(western.out.find("\xC3\x80\xC3\x80\xC3\x80 \xC3\x80\xC3\x80\xC3\x80"),
              std::string::npos)
        << western.out;
}

}  // namespace
}  // namespace quelp

namespace quelp {
namespace {

// A settings file's frequency and its go-to-max choice hold when no --freq is
// given: the weaker station it names is decoded, and saved back as it was.
TEST(QuelpCli, ASettingsFileKeepsItsFrequencyWithoutFreq) {
    test::TempDir dir;
    const std::string two = TwoSignals(dir);
    const std::string in = dir.File("in.ini");
    const std::string settings = "[Quelp]\nRxFreqBin=111\nAutoGoToMax=0\n";  // 598 Hz
    test::WriteFile(in, std::vector<uint8_t>(settings.begin(), settings.end()));
    const std::string out = dir.File("out.ini");
    const test::CliRun run =
        test::RunCli({"decode", two, "--settings", in, "--save-settings", out}, dir.File("run"));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("paris paris paris"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("hello"), std::string::npos) << run.out;
    const std::string saved = test::Slurp(out);
    EXPECT_NE(saved.find("\nAutoGoToMax=0\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\nRxFreqBin=111\n"), std::string::npos) << saved;
}

TEST(QuelpCli, FailuresSayWhatIsWrongAndEndWithTheirStatus) {
    test::TempDir dir;
    const std::string two = TwoSignals(dir);
    const std::string text = dir.File("text.wav");
    test::WriteFile(text, std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'});
    const std::string missing = dir.File("missing.wav");
    const test::CliRun files =
        test::RunCli({"decode", missing, dir.path().string(), text}, dir.File("files"));
    EXPECT_EQ(files.exitCode, 3);
    for (const std::string& line : {missing + ": File Open Error! (no such file)\n",
                                    dir.path().string() + ": File Open Error! (is a directory)\n",
                                    text + ": not a recording in a known format\n"}) {
        EXPECT_NE(files.err.find(line), std::string::npos) << files.err;
    }

    // Settings that cannot be read stop the run before anything is decoded.
    const std::string huge = dir.File("huge.ini");
    test::WriteFile(huge, std::vector<uint8_t>(16 * 1024 * 1024 + 1, '\n'));
    for (const auto& [settings, reason] : {std::pair{dir.path().string(), "(is a directory)"},
                                           std::pair{huge, "(larger than 16 MiB)"}}) {
        const test::CliRun run = test::RunCli({"decode", two, "--settings", settings}, huge);
        EXPECT_EQ(run.exitCode, 2) << run.err;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty());
    }

    // A frequency outside the tunable band names the band.
    const test::CliRun band = test::RunCli({"decode", two, "--freq", "5000"}, dir.File("band"));
    EXPECT_EQ(band.exitCode, 2);
    EXPECT_NE(band.err.find("172 to 3004 Hz, not 5000"), std::string::npos) << band.err;

    // Decoded text that cannot be written ends the run with status 4.
    const std::string err = dir.File("full.err");
    const std::string command = test::ShellQuote(test::CliProgram()) + " decode " +
                                test::ShellQuote(two) + " " + test::ShellQuote(two) +
                                " >/dev/full 2>" + test::ShellQuote(err);
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 4);
    EXPECT_NE(test::Slurp(err).find("standard output: No space left on device"), std::string::npos);
}

TEST(QuelpCli, AManualThresholdIsWhatTheStatusShows) {
    test::TempDir dir;
    const test::CliRun run =
        test::RunCli({"decode", TwoSignals(dir), "--threshold", "0.05", "--stats"}, dir.File("t"));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.err.find(" | 0.050 | "), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find(" | Auto | "), std::string::npos) << run.err;
}

}  // namespace
}  // namespace quelp
