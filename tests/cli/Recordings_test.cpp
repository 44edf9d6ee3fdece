// quelp-cli on recordings as other programs write them: other rates and
// formats, standard input, the channel choice, JSON lines, parallel batches,
// time marks and waterfall pictures, each through the real program.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CliRunner.h"
#include "settings/TempDir.h"
#include "support/CwSynth.h"
#include "support/SoundFiles.h"

namespace quelp {
namespace {

constexpr double kToneHz = 700.0;

test::CwSynthOptions Recording(int rate, const std::string& text = "cq cq de dl1abc dl1abc pse k",
                               double wpm = 24.0) {
    test::CwSynthOptions o;
    o.rate = rate;
    o.signal.text = text;
    o.signal.freqHz = kToneHz;
    o.signal.wpm = wpm;
    o.signal.level = 0.3;
    o.seed = 7;
    return o;
}

std::string Write(const test::TempDir& dir, const std::string& name, int rate,
                  test::SoundFormat format, int channels = 1, int signalChannel = -1) {
    const std::string path = dir.File(name);
    EXPECT_TRUE(test::WriteSoundFile(path, test::SynthesizeCw(Recording(rate)).samples, rate,
                                     format, channels, signalChannel))
        << name;
    return path;
}

// The text after each "==> NAME <==" line of a run's output, by name.
std::map<std::string, std::string> SplitByLabel(const std::string& out) {
    std::map<std::string, std::string> texts;
    std::istringstream lines(out);
    std::string line;
    std::string name;
    while (std::getline(lines, line)) {
        if (line.rfind("==> ", 0) == 0 && line.size() > 8 && line.ends_with(" <==")) {
            name = line.substr(4, line.size() - 8);
            texts[name];
        } else {
            texts[name] += line + "\n";
        }
    }
    return texts;
}

TEST(Recordings, EveryRateAndFormatDecodesLikeTheSameRecordingAt11025Hz) {
    test::TempDir dir;
    const std::string reference = Write(dir, "ref.wav", 11025, test::SoundFormat::Pcm16Wav);
    const struct {
        const char* name;
        int rate;
        test::SoundFormat format;
    } files[] = {
        {"8k.wav", 8000, test::SoundFormat::Pcm16Wav},
        {"12k.wav", 12000, test::SoundFormat::Pcm16Wav},
        {"48k.wav", 48000, test::SoundFormat::Pcm16Wav},
        {"96k.wav", 96000, test::SoundFormat::Pcm16Wav},
        {"192k.wav", 192000, test::SoundFormat::Pcm16Wav},
        {"float48k.wav", 48000, test::SoundFormat::FloatWav},
        {"ext24-96k.wav", 96000, test::SoundFormat::Extensible24Wav},
        {"48k.flac", 48000, test::SoundFormat::Flac16},
        {"44k.ogg", 44100, test::SoundFormat::OggVorbis},
        {"48k.opus", 48000, test::SoundFormat::OggOpus},
        {"48k.mp3", 48000, test::SoundFormat::Mp3},
    };
    // Every file from the same start (-j), in one run.
    std::vector<std::string> args = {"decode", "-j", "2", "--freq", "700", reference};
    for (const auto& f : files) args.push_back(Write(dir, f.name, f.rate, f.format));
    const test::CliRun run = test::RunCli(args, dir.File("all"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::map<std::string, std::string> texts = SplitByLabel(run.out);
    const std::string want = test::NormalizeText(texts.at(reference));
    EXPECT_NE(want.find("de dl1abc dl1abc pse k"), std::string::npos) << want;
    for (const auto& f : files) {
        const std::string got = test::NormalizeText(texts.at(dir.File(f.name)));
        EXPECT_LE(test::EditDistance(want, got), 2u) << f.name << ": " << got;
    }

    // Standard input, a pipe that cannot seek: a WAV or FLAC stream, or
    // headerless samples at the rate given.
    const std::string raw = Write(dir, "48k.raw", 48000, test::SoundFormat::Raw16);
    const struct {
        std::string input;
        std::vector<std::string> extra;
    } piped[] = {
        {dir.File("48k.wav"), {}},
        {dir.File("ext24-96k.wav"), {}},
        {dir.File("48k.flac"), {}},
        {raw, {"--raw", "48000"}},
        {reference, {}},
    };
    for (const auto& p : piped) {
        std::vector<std::string> pipeArgs = {"decode", "-", "--freq", "700"};
        pipeArgs.insert(pipeArgs.end(), p.extra.begin(), p.extra.end());
        const test::CliRun one = test::RunCli(pipeArgs, dir.File("pipe"), p.input);
        EXPECT_EQ(one.exitCode, 0) << p.input << ": " << one.err;
        EXPECT_LE(test::EditDistance(want, test::NormalizeText(one.out)), 2u)
            << p.input << ": " << one.out;
    }
}

TEST(Recordings, TheChannelOptionPicksWhereTheSignalIs) {
    test::TempDir dir;
    // The signal on the right channel only, left silent: through the WAV
    // reader (11025 Hz) and through the converter (48000 Hz).
    const std::string wave = Write(dir, "right.wav", 11025, test::SoundFormat::Pcm16Wav, 2, 1);
    const std::string other = Write(dir, "right48k.wav", 48000, test::SoundFormat::Pcm16Wav, 2, 1);
    const struct {
        std::vector<std::string> channel;
        bool decodes;
    } cases[] = {
        {{}, false},
        {{"--channel", "left"}, false},
        {{"--channel", "right"}, true},
        {{"--channel", "mix"}, true},
    };
    for (const auto& c : cases) {
        for (const std::string& file : {wave, other}) {
            std::vector<std::string> args = {"decode", file, "--freq", "700"};
            args.insert(args.end(), c.channel.begin(), c.channel.end());
            const test::CliRun run = test::RunCli(args, dir.File("run"));
            EXPECT_EQ(run.exitCode, 0) << run.err;
            const bool decoded = run.out.find("dl1abc pse k") != std::string::npos;
            EXPECT_EQ(decoded, c.decodes)
                << file << " " << (c.channel.empty() ? "" : c.channel[1]) << ": " << run.out;
        }
    }
}

// Where each sent word's last element ended (the middle of its falling
// edge), in seconds, in the order sent.
std::vector<std::pair<std::string, double>> KeyedWordEnds(const test::CwSynthOptions& o,
                                                          const test::CwSynthResult& r) {
    std::vector<std::pair<std::string, double>> words;
    std::istringstream in(o.signal.text);
    std::string word;
    std::size_t element = 0;
    while (in >> word) {
        for (const char c : word) element += test::MorseCode(c).size();
        words.emplace_back(word, r.keying.at(element - 1).end + o.edgeMs / 2000.0);
    }
    return words;
}

TEST(Recordings, JsonLinesTellEachWordWithWhereItEndedAndSummariseTheRecording) {
    test::TempDir dir;
    test::CwSynthOptions o = Recording(48000, "vvv cq de dl1abc pse k");
    o.snrDb = 15.0;
    const test::CwSynthResult synth = test::SynthesizeCw(o);
    const std::string path = dir.File("qso.flac");
    ASSERT_TRUE(test::WriteSoundFile(path, synth.samples, 48000, test::SoundFormat::Flac16));
    const test::CliRun run = test::RunCli({"decode", path, "--json", "--multi"}, dir.File("j"));
    ASSERT_EQ(run.exitCode, 0) << run.err;

    std::vector<nlohmann::json> words;
    std::vector<nlohmann::json> summaries;
    int rows = 0;
    std::istringstream lines(run.out);
    std::string line;
    while (std::getline(lines, line)) {
        const nlohmann::json j = nlohmann::json::parse(line);  // throws on anything else
        EXPECT_EQ(j.at("file"), path);
        if (j.at("type") == "word") words.push_back(j);
        if (j.at("type") == "summary") summaries.push_back(j);
        if (j.at("type") == "row") {
            ++rows;
            EXPECT_LT(j.at("lo_hz").get<double>(), j.at("hi_hz").get<double>());
        }
    }
    ASSERT_EQ(summaries.size(), 1u) << run.out;
    // All of the audio, the converter's filter drained at the end.
    EXPECT_NEAR(summaries[0].at("duration_s").get<double>(),
                static_cast<double>(synth.samples.size()) / 48000.0, 0.002);
    EXPECT_NEAR(summaries[0].at("freq_hz").get<double>(), kToneHz, 10.0);
    EXPECT_NEAR(summaries[0].at("wpm").get<double>(), o.signal.wpm, 2.0);
    EXPECT_GE(rows, 1) << run.out;

    // The words decoded as sent end where they were keyed.
    const auto keyed = KeyedWordEnds(o, synth);
    int matched = 0;
    for (const nlohmann::json& w : words) {
        for (const auto& [text, end] : keyed) {
            if (text != w.at("text")) continue;
            EXPECT_NEAR(w.at("t").get<double>(), end, 0.1) << w.dump();
            EXPECT_NEAR(w.at("freq_hz").get<double>(), kToneHz, 10.0) << w.dump();
            ++matched;
        }
    }
    EXPECT_GE(matched, 4) << run.out;

    // A recording shorter than the converter's filter still gives its audio.
    const std::string blip = dir.File("blip.wav");
    ASSERT_TRUE(test::WriteSoundFile(blip, std::vector<double>(4800, 0.1), 48000,
                                     test::SoundFormat::FloatWav));
    const test::CliRun shortRun = test::RunCli({"decode", blip, "--json"}, dir.File("s"));
    ASSERT_EQ(shortRun.exitCode, 0) << shortRun.err;
    const nlohmann::json summary = nlohmann::json::parse(shortRun.out);
    EXPECT_EQ(summary.at("type"), "summary");
    EXPECT_NEAR(summary.at("duration_s").get<double>(), 0.1, 0.002);
}

TEST(Recordings, TheAdaptiveDecodersWordsCarryItsOwnTimeFrequencyAndSpeed) {
    // Words it holds back while settling print seconds late, and the classic
    // receiver it bypasses sits elsewhere at another speed: each word still
    // tells where it was keyed and how the adaptive decoder heard it.
    test::TempDir dir;
    test::CwSynthOptions o = Recording(11025, "cq cq de dl1abc dl1abc pse k", 17.0);
    o.signal.freqHz = 1234.0;
    o.snrDb = 15.0;
    const test::CwSynthResult synth = test::SynthesizeCw(o);
    const std::string path = dir.File("held.wav");
    ASSERT_TRUE(test::WriteSoundFile(path, synth.samples, 11025, test::SoundFormat::Pcm16Wav));
    const test::CliRun run =
        test::RunCli({"decode", path, "--json", "--decoder", "adaptive"}, dir.File("j"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::vector<nlohmann::json> words;
    std::istringstream lines(run.out);
    std::string line;
    while (std::getline(lines, line)) {
        const nlohmann::json j = nlohmann::json::parse(line);
        if (j.at("type") == "word") words.push_back(j);
        if (j.at("type") == "summary") {
            EXPECT_NEAR(j.at("freq_hz").get<double>(), 1234.0, 3.0) << line;
            EXPECT_NEAR(j.at("wpm").get<double>(), 17.0, 1.0) << line;
        }
    }
    const auto keyed = KeyedWordEnds(o, synth);
    ASSERT_EQ(words.size(), keyed.size()) << run.out;
    for (std::size_t i = 0; i < words.size(); ++i) {
        EXPECT_EQ(words[i].at("text"), keyed[i].first);
        // Within a third of a dot (70 ms at 17 WPM) of the keyed end.
        EXPECT_NEAR(words[i].at("t").get<double>(), keyed[i].second, 0.025) << words[i].dump();
        EXPECT_NEAR(words[i].at("freq_hz").get<double>(), 1234.0, 3.0) << words[i].dump();
        EXPECT_NEAR(words[i].at("wpm").get<double>(), 17.0, 1.0) << words[i].dump();
    }
}

TEST(Recordings, TheAdaptiveSquelchComesFromTheCommandLineOverTheSettingsFile) {
    // The tone stands about 25 dB over the floor in the squelch's 5 Hz band.
    test::TempDir dir;
    test::CwSynthOptions o = Recording(11025, "cq cq de dl1abc dl1abc pse k");
    o.snrDb = 0.0;
    const std::string path = dir.File("weak.wav");
    ASSERT_TRUE(test::WriteSoundFile(path, test::SynthesizeCw(o).samples, 11025,
                                     test::SoundFormat::Pcm16Wav));
    const std::string strict = dir.File("strict.ini");
    { std::ofstream(strict) << "[Decoding]\nDecoder=adaptive\nSquelchDb=35\n"; }
    const struct {
        std::vector<std::string> options;
        bool prints;
    } cases[] = {
        {{"--decoder", "adaptive"}, true},
        {{"--decoder", "adaptive", "--squelch-db", "35"}, false},
        {{"--settings", strict}, false},
        {{"--settings", strict, "--squelch-db", "10"}, true},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"decode", path};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const test::CliRun run = test::RunCli(args, dir.File("out"));
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out.find("dl1abc pse k") != std::string::npos, c.prints)
            << c.options.back() << ": " << run.out;
        if (!c.prints) {
            EXPECT_EQ(run.out.find_first_not_of(" \n"), std::string::npos) << run.out;
        }
    }
}

TEST(Recordings, ABatchPrintsInCommandLineOrderWhateverTheNumberOfJobs) {
    test::TempDir dir;
    const char* texts[] = {"paris paris", "cq de g4xyz", "tnx fer call", "73 es gl sk"};
    std::vector<std::string> files;
    for (int i = 0; i < 4; ++i) {
        // Different lengths, so that the later files finish first.
        test::CwSynthOptions o = Recording(48000, texts[i], 30.0 - 3.0 * i);
        o.tailSec = 0.5 + 2.0 * (3 - i);
        files.push_back(dir.File("f" + std::to_string(i) + ".wav"));
        ASSERT_TRUE(test::WriteSoundFile(files.back(), test::SynthesizeCw(o).samples, 48000,
                                         test::SoundFormat::Pcm16Wav));
    }
    std::vector<std::string> outputs;
    for (const char* jobs : {"1", "2", "0"}) {
        std::vector<std::string> args = {"decode", "-j", jobs, "--freq", "700"};
        args.insert(args.end(), files.begin(), files.end());
        const test::CliRun run = test::RunCli(args, dir.File("j"));
        EXPECT_EQ(run.exitCode, 0) << run.err;
        outputs.push_back(run.out);
    }
    EXPECT_EQ(outputs[1], outputs[0]);
    EXPECT_EQ(outputs[2], outputs[0]);
    // Each file's label, in order, with its own text after it.
    std::size_t at = 0;
    for (int i = 0; i < 4; ++i) {
        const std::size_t label = outputs[0].find("==> " + files[i] + " <==\n", at);
        ASSERT_NE(label, std::string::npos) << outputs[0];
        at = label + 1;
    }
    const auto split = SplitByLabel(outputs[0]);
    EXPECT_NE(split.at(files[3]).find("73 es gl sk"), std::string::npos) << outputs[0];

    // A file that cannot be read fails alone, its message in its place; the
    // capture file gets the texts in the order of the command line.
    const std::string missing = dir.File("missing.wav");
    const std::string capture = dir.File("cap.txt");
    const test::CliRun failing = test::RunCli(
        {"decode", "-j", "2", "--freq", "700", files[3], missing, files[0], "--capture", capture},
        dir.File("f"));
    EXPECT_EQ(failing.exitCode, 3);
    EXPECT_NE(failing.err.find(missing + ": File Open Error! (no such file)"), std::string::npos)
        << failing.err;
    EXPECT_EQ(failing.out.find("==> " + missing), std::string::npos) << failing.out;
    const std::string captured = test::Slurp(capture);
    const std::size_t last = captured.find("73 es gl sk");
    ASSERT_NE(last, std::string::npos) << captured;
    // (The first letter of a recording may come out wrong while the decoder
    // settles.)
    EXPECT_NE(captured.find("aris paris", last), std::string::npos) << captured;
}

TEST(Recordings, TimeMarksTellWhereInTheRecordingAWordWas) {
    test::TempDir dir;
    // Two words about 70 s apart: each gets its mark.
    test::CwSynthOptions o = Recording(11025, "cq cq cq de dl1abc");
    o.snrDb = 15.0;
    const test::CwSynthResult first = test::SynthesizeCw(o);
    o.signal.text = "pse k";
    o.signal.startSec = 0.0;
    const test::CwSynthResult second = test::SynthesizeCw(o);
    std::vector<double> samples = first.samples;
    samples.resize(70 * 11025, 0.0);
    samples.insert(samples.end(), second.samples.begin(), second.samples.end());
    const std::string path = dir.File("marks.wav");
    ASSERT_EQ(test::WriteWav(path, samples, 11025, 16, 1), 0);
    // Written on 7 December 2026, in the morning (UTC).
    ASSERT_EQ(std::system(("touch -d '2026-12-07 09:15:00 UTC' " + test::ShellQuote(path)).c_str()),
              0);
    const std::string capture = dir.File("cap.txt");

    const test::CliRun dated = test::RunCli(
        {"decode", path, "--freq", "700", "--capture", capture, "--time-marks"}, dir.File("a"));
    ASSERT_EQ(dated.exitCode, 0) << dated.err;
    const std::string text = test::Slurp(capture);
    // The first word ends about 2 s after midnight of the file's day; the
    // word after 70 s gets the next mark.
    EXPECT_TRUE(std::regex_search(text, std::regex("^[^\r]*\r\n<\\*\\*\\* 07-Dec-2026 "
                                                   "\\*\\*\\*>\r\n<00:00:0[12]> ")))
        << text;
    EXPECT_TRUE(std::regex_search(text, std::regex("\r\n<00:01:1[0-2]> k $"))) << text;

    std::filesystem::remove(capture);
    const test::CliRun given = test::RunCli({"decode", path, "--freq", "700", "--capture", capture,
                                             "--time-marks", "--start-time", "23:59:30"},
                                            dir.File("b"));
    ASSERT_EQ(given.exitCode, 0) << given.err;
    const std::string late = test::Slurp(capture);
    EXPECT_TRUE(std::regex_search(late, std::regex("\r\n<23:59:3[12]> "))) << late;
    // Past midnight the next day's date line comes first.
    EXPECT_TRUE(std::regex_search(
        late, std::regex("\r\n<\\*\\*\\* 08-Dec-2026 \\*\\*\\*>\r\n<00:00:4[0-2]> k $")))
        << late;
}

// Width and height from a PNG file's header.
std::pair<int, int> PngSize(const std::string& bytes) {
    auto be32 = [&](std::size_t at) {
        return static_cast<int>((static_cast<unsigned char>(bytes[at]) << 24) |
                                (static_cast<unsigned char>(bytes[at + 1]) << 16) |
                                (static_cast<unsigned char>(bytes[at + 2]) << 8) |
                                static_cast<unsigned char>(bytes[at + 3]));
    };
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return {0, 0};
    return {be32(16), be32(20)};
}

TEST(Recordings, AWaterfallPictureIsWrittenForEachRecording) {
    test::TempDir dir;
    const std::string one = Write(dir, "one.wav", 11025, test::SoundFormat::Pcm16Wav);
    const std::string two = Write(dir, "two.flac", 48000, test::SoundFormat::Flac16);
    const std::string picture = dir.File("wf.png");
    const test::CliRun single =
        test::RunCli({"decode", one, "--waterfall", picture}, dir.File("a"));
    ASSERT_EQ(single.exitCode, 0) << single.err;
    const auto [width, height] = PngSize(test::Slurp(picture));
    // The band across (plus the time axis), a row per block down (plus the
    // frequency axis).
    const double blocks = std::ceil(test::SynthesizeCw(Recording(11025)).samples.size() / 2048.0);
    EXPECT_GT(width, 527);
    EXPECT_LT(width, 527 + 60);
    EXPECT_GT(height, blocks);
    EXPECT_LT(height, blocks + 20);

    const test::CliRun both =
        test::RunCli({"decode", one, two, "--waterfall", picture}, dir.File("b"));
    ASSERT_EQ(both.exitCode, 0) << both.err;
    EXPECT_GT(PngSize(test::Slurp(dir.File("wf-one.png"))).first, 0);
    EXPECT_GT(PngSize(test::Slurp(dir.File("wf-two.png"))).first, 0);

    // A picture that cannot be written is a failure of that recording.
    const test::CliRun denied =
        test::RunCli({"decode", one, "--waterfall", dir.File("no/such/dir.png")}, dir.File("c"));
    EXPECT_EQ(denied.exitCode, 3);
    EXPECT_NE(denied.err.find("cannot write the waterfall picture"), std::string::npos)
        << denied.err;
}

}  // namespace
}  // namespace quelp
