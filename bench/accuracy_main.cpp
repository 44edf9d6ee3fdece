// quelp_accuracy: the character error rate of both decoders on a fixed,
// seeded corpus of synthesized recordings, as a Markdown table on standard
// output (docs/accuracy.md is this output). Every recording is written as a
// WAV file and decoded by quelp-cli exactly as an operator would run it.
//
//   quelp_accuracy [--cli PATH] [--only SUBSTRING] [--seed N]
//                  [--show adaptive|classic] [--keep DIR] > docs/accuracy.md
//
// --seed N adds N to every recording's seed: other noise, fades and jitter
// for the same cases, to see how far a figure is the seed's. --show prints
// what that decoder copied of each recording on standard error, and --keep
// leaves the recordings in DIR, to look into a figure.

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "support/CwSynth.h"
#include "support/EditDistance.h"

namespace {

namespace fs = std::filesystem;
using quelp::test::CwSynthOptions;
using quelp::test::FadeGain;

constexpr const char* kQso =
    "cq cq de w1aw w1aw k r tnx fer call ur rst 599 599 name is bob qth boston hw cpy "
    "wx here is sunny temp 20c rig is 100w ant dipole 73 es gl sk";
constexpr const char* kOther = "test de k9zz k9zz qrz test de k9zz k9zz qrz test de k9zz";

struct Case {
    std::string group;
    std::string name;
    CwSynthOptions synth;
    std::string expected;    // what should be copied (empty: nothing)
    bool giveFreq = false;   // --freq of the wanted signal
    bool firstWord = false;  // report whether the first word is right
};

std::string Normalise(const std::string& text) {
    std::string out;
    bool space = true;
    for (char c : text) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (!space) out += ' ';
            space = true;
        } else {
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            space = false;
        }
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

// A key-down level that keeps the noise of `snrDb` within full scale (its
// standard deviation at most 0.2), as a receiver's gain control would.
double LevelFor(double snrDb, int rate) {
    const double level =
        0.2 * std::sqrt(2.0 * std::pow(10.0, snrDb / 10.0) * 2500.0 / (rate / 2.0));
    return std::min(0.25, level);
}

double FadeDepth(double db) {
    return 1.0 - std::pow(10.0, -db / 20.0);
}

std::vector<Case> Corpus(std::uint64_t seedOffset) {
    std::vector<Case> cases;
    auto base = [seedOffset](std::uint64_t seed) {
        CwSynthOptions o;
        o.signal.text = kQso;
        o.signal.wpm = 20.0;
        o.signal.freqHz = 700.0;
        o.seed = seed + seedOffset;
        return o;
    };
    for (double snr : {10.0, 3.0, 0.0, -3.0, -6.0, -9.0, -12.0}) {
        CwSynthOptions o = base(11);
        o.snrDb = snr;
        o.signal.level = LevelFor(snr, o.rate);
        char name[32];
        std::snprintf(name, sizeof name, "%+g dB", snr);
        cases.push_back({"SNR (2500 Hz), 20 WPM", name, o, kQso});
    }
    for (double depth : {10.0, 20.0, 30.0}) {
        for (double period : {4.0, 10.0, 20.0}) {
            CwSynthOptions o = base(12);
            o.snrDb = 15.0;
            o.signal.fadeDepth = FadeDepth(depth);
            o.signal.fadePeriodSec = period;
            char name[48];
            std::snprintf(name, sizeof name, "%g dB, %g s", depth, period);
            cases.push_back({"QSB at +15 dB", name, o, kQso});
        }
    }
    // The deepest fades on a stronger signal: at +25 dB the troughs stay
    // above -5 dB, where a steady signal is copied without error.
    for (double period : {4.0, 10.0, 20.0}) {
        CwSynthOptions o = base(12);
        o.snrDb = 25.0;
        o.signal.fadeDepth = FadeDepth(30.0);
        o.signal.fadePeriodSec = period;
        char name[48];
        std::snprintf(name, sizeof name, "30 dB, %g s", period);
        cases.push_back({"QSB at +25 dB", name, o, kQso});
    }
    {
        CwSynthOptions o = base(13);
        o.signal.text = "";
        o.signal.wpm = 20.0;
        o.tailSec = 60.0;
        o.snrDb = 0.0;  // against the level below
        o.signal.level = 0.1;
        cases.push_back({"Noise alone, 60 s", "characters printed", o, ""});
    }
    for (double wpm : {12.0, 20.0, 30.0, 45.0}) {
        CwSynthOptions o = base(14);
        o.signal.wpm = wpm;
        char name[32];
        std::snprintf(name, sizeof name, "%g WPM", wpm);
        cases.push_back({"First word, clean", name, o, kQso, false, true});
    }
    {
        CwSynthOptions o = base(15);
        o.snrDb = 10.0;
        o.signal.level = 0.125;
        o.second = o.signal;
        o.second->text = kOther;
        o.second->freqHz = 850.0;
        o.second->level = 0.25;
        o.second->wpm = 24.0;
        cases.push_back({"Two stations 150 Hz apart", "weaker (-6 dB) with --freq", o, kQso, true});
        cases.push_back({"Two stations 150 Hz apart", "without --freq: the stronger", o, kOther});
    }
    for (auto [wpm, overall] : {std::pair{18.0, 8.0}, std::pair{25.0, 12.0}}) {
        CwSynthOptions o = base(16);
        o.signal.wpm = wpm;
        o.signal.farnsworthWpm = overall;
        o.snrDb = 10.0;
        char name[32];
        std::snprintf(name, sizeof name, "%g/%g WPM", wpm, overall);
        cases.push_back({"Farnsworth at +10 dB", name, o, kQso});
    }
    for (double wpm : {5.0, 60.0}) {
        CwSynthOptions o = base(17);
        o.signal.wpm = wpm;
        o.snrDb = 10.0;
        if (wpm < 10.0) o.signal.text = "cq de w1aw k";
        char name[32];
        std::snprintf(name, sizeof name, "%g WPM", wpm);
        cases.push_back({"Speed at +10 dB", name, o, o.signal.text});
    }
    // The same frequency, the answer at twice (or half) the speed after a
    // pause of 3 s, or a word gap after the call at another speed.
    for (auto [first, second, pause] :
         {std::tuple{15.0, 30.0, 3.0}, std::tuple{30.0, 15.0, 3.0}, std::tuple{16.0, 26.0, 0.0},
          std::tuple{26.0, 16.0, 0.0}, std::tuple{15.0, 30.0, 0.0}, std::tuple{30.0, 15.0, 0.0}}) {
        CwSynthOptions o = base(19);
        o.signal.text = "cq cq de w1aw w1aw k";
        o.signal.wpm = first;
        o.snrDb = 10.0;
        o.second = o.signal;
        o.second->text = "w1aw de k9zz k9zz ur rst 599 599 k";
        o.second->wpm = second;
        CwSynthOptions alone = o;
        alone.second.reset();
        alone.snrDb.reset();
        o.second->startSec = quelp::test::SynthesizeCw(alone).keying.back().end +
                             (pause > 0.0 ? pause : 7.0 * 1.2 / first);
        char name[96];
        if (pause > 0.0) {
            std::snprintf(name, sizeof name, "%g WPM, %g s pause, %g WPM", first, pause, second);
        } else {
            std::snprintf(name, sizeof name, "%g WPM, then at once %g WPM", first, second);
        }
        cases.push_back({"Speed change at +10 dB", name, o, o.signal.text + " " + o.second->text});
    }
    for (auto [jitter, dash] : {std::pair{0.2, 3.0}, std::pair{0.1, 2.5}, std::pair{0.1, 4.0}}) {
        CwSynthOptions o = base(18);
        o.signal.jitter = jitter;
        o.signal.dashDots = dash;
        o.snrDb = 10.0;
        char name[48];
        std::snprintf(name, sizeof name, "jitter %g, dash %g dots", jitter, dash);
        cases.push_back({"Hand keying at +10 dB", name, o, kQso});
    }
    return cases;
}

struct Outcome {
    std::string text;
    double seconds = 0.0;
};

Outcome Decode(const std::string& cli, const std::string& wav, const std::string& extra) {
    const std::string command = "'" + cli + "' decode '" + wav + "' " + extra + " 2>/dev/null";
    Outcome out;
    const auto start = std::chrono::steady_clock::now();
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.text.append(buffer, n);
        pclose(pipe);
    }
    out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return out;
}

std::string Score(const Case& c, const std::string& decoded) {
    const std::string got = Normalise(decoded);
    char cell[64];
    if (c.expected.empty()) {
        std::size_t printed = 0;
        for (char ch : got) printed += ch != ' ' ? 1 : 0;
        std::snprintf(cell, sizeof cell, "%zu", printed);
        return cell;
    }
    const std::string want = Normalise(c.expected);
    const double cer = static_cast<double>(quelp::test::EditDistance(want, got)) /
                       static_cast<double>(want.size());
    std::snprintf(cell, sizeof cell, "%.1f %%", 100.0 * cer);
    std::string s = cell;
    if (c.firstWord) {
        const std::string first = want.substr(0, want.find(' '));
        s += got.substr(0, got.find(' ')) == first ? ", first word right" : ", first word wrong";
    }
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    std::string cli = QUELP_CLI_PATH;
    std::string only;
    std::uint64_t seedOffset = 0;
    std::string show;  // "adaptive" or "classic": that decoder's text on standard error
    std::string keep;  // a folder the recordings are left in
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--cli") cli = argv[i + 1];
        if (a == "--only") only = argv[i + 1];
        if (a == "--seed") seedOffset = std::strtoull(argv[i + 1], nullptr, 10);
        if (a == "--show") show = argv[i + 1];
        if (a == "--keep") keep = argv[i + 1];
    }
    const fs::path dir =
        !keep.empty() ? fs::path(keep)
                      : fs::temp_directory_path() / ("quelp_accuracy_" + std::to_string(getpid()));
    fs::create_directories(dir);

    std::printf(
        "# Decoding accuracy\n\n"
        "Character error rate (edit distance / sent length, case and spacing\n"
        "ignored) of both decoders on synthesized recordings at 11025 Hz, the\n"
        "signal at 700 Hz unless said otherwise. Generated by `quelp_accuracy`\n"
        "(`bash tools/accuracy.sh`); every recording is decoded by `quelp-cli\n"
        "decode` with no option but `--decoder` (and `--freq` where said).\n\n"
        "| case | | classic | adaptive |\n|---|---|---|---|\n");
    double audio = 0.0;
    double classicSeconds = 0.0;
    double adaptiveSeconds = 0.0;
    int index = 0;
    for (const Case& c : Corpus(seedOffset)) {
        if (!only.empty() && (c.group + " " + c.name).find(only) == std::string::npos) continue;
        const quelp::test::CwSynthResult synth = quelp::test::SynthesizeCw(c.synth);
        const std::string wav = (dir / ("case" + std::to_string(index++) + ".wav")).string();
        quelp::test::WriteWav(wav, synth.samples, c.synth.rate, 16, 1);
        const std::string freq = c.giveFreq ? " --freq 700" : "";
        const Outcome classic = Decode(cli, wav, freq);
        const Outcome adaptive = Decode(cli, wav, "--decoder adaptive" + freq);
        audio += static_cast<double>(synth.samples.size()) / c.synth.rate;
        classicSeconds += classic.seconds;
        adaptiveSeconds += adaptive.seconds;
        std::printf("| %s | %s | %s | %s |\n", c.group.c_str(), c.name.c_str(),
                    Score(c, classic.text).c_str(), Score(c, adaptive.text).c_str());
        std::fflush(stdout);
        if (show == "classic" || show == "adaptive") {
            const std::string& text = show == "classic" ? classic.text : adaptive.text;
            std::fprintf(stderr, "%s\n", Normalise(text).c_str());
        }
    }
    // How long the deepest fades keep the signal where no decoder copies a
    // steady one: the fading's gain over a period, as the synthesizer keys it.
    quelp::test::CwSignal fading;
    fading.fadeDepth = FadeDepth(30.0);
    fading.fadePeriodSec = 1.0;
    auto snrAt = [&fading](double t) { return 15.0 + 20.0 * std::log10(FadeGain(fading, t)); };
    int belowNine = 0;
    int belowTwelve = 0;
    constexpr int kSteps = 100000;
    for (int i = 0; i < kSteps; ++i) {
        const double snr = snrAt(static_cast<double>(i) / kSteps);
        belowNine += snr < -9.0 ? 1 : 0;
        belowTwelve += snr < -12.0 ? 1 : 0;
    }
    std::printf(
        "\nIn the 30 dB fades at +15 dB the signal spends %.1f %% of the time below\n"
        "-9 dB (2500 Hz), where even a steady signal loses characters (the SNR\n"
        "rows above), and %.1f %% below -12 dB, where none is copied: the 30 dB\n"
        "rows cannot come far under the latter. At +25 dB the same fades keep\n"
        "the signal above -5 dB.\n",
        100.0 * belowNine / kSteps, 100.0 * belowTwelve / kSteps);
    // A character with an element keyed below -12 dB is lost to any
    // decoder: so many of the sent ones at each period of the 30 dB fades.
    std::printf(
        "\nCharacters with an element keyed below -12 dB in the 30 dB fades at +15 dB,\n"
        "each at least one edit:");
    const std::string sent = Normalise(kQso);
    for (double period : {4.0, 10.0, 20.0}) {
        fading.fadePeriodSec = period;
        CwSynthOptions o;
        o.signal = fading;
        o.signal.text = kQso;
        const quelp::test::CwSynthResult keyed = quelp::test::SynthesizeCw(o);
        std::size_t element = 0;
        int lost = 0;
        for (char c : sent) {
            if (c == ' ') continue;
            bool below = false;
            for (std::size_t e = 0; e < quelp::test::MorseCode(c).size(); ++e, ++element) {
                if (element >= keyed.keying.size()) break;
                const double t = 0.5 * (keyed.keying[element].start + keyed.keying[element].end);
                below = below || snrAt(t) < -12.0;
            }
            lost += below ? 1 : 0;
        }
        std::printf("%s\nevery %g s, %d (a CER of at least %.1f %%)", period == 4.0 ? "" : ";",
                    period, lost, 100.0 * lost / static_cast<double>(sent.size()));
    }
    std::printf(".\n");
    std::printf(
        "\nSpeed over the whole corpus (%.0f s of audio, each file a separate run of\n"
        "quelp-cli): classic %.0f times real time, adaptive %.0f times real time.\n",
        audio, audio / std::max(classicSeconds, 1e-9), audio / std::max(adaptiveSeconds, 1e-9));
    if (keep.empty()) fs::remove_all(dir);
    return 0;
}
