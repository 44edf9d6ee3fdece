// The settings file as the program uses it: a load reads every one of its
// keys, a save loads, sets every key and writes the file back. Three files:
// the program's own (about 80 keys in six sections), and the same sections at
// the end of files just under the 16 MiB that a load accepts, one shared with
// many other programs and one of line ends.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/ProfileFile.h"
#include "support/TempDir.h"

namespace quelp {
namespace {

// The program's sections as it saves them, with the multi-channel window and
// the setup dialog opened once.
constexpr std::string_view kOwnSections =
    "[Quelp]\nAutoThreshold=1\nOnTop=0\nAutoGoToMax=1\nAfcEnabled=1\nSamplingFreq=11025\n"
    "AfcDeviation=10\nAFC_Limit=300\nRxFreqBin=186\nDetectorThreshold=1000\n"
    "MinAutoThreshold=10\nSquelchThreshold=50\nCwFilterTreshold=175\nFilterWidth=140\n"
    "SoundFilter=0\nCharset=0\nUserCharsetFile=\"\"\nExportIniFile=loginput.ini\n"
    "ExportIniSection=QSO\nTxFreq=1001\nFFTCenterFreq=1588\nZoom=1\nLogarithmicSpectrum=1\n"
    "LogarithmicOsc=1\nReUseThresholdLimit=0\nReUseSpeedLimits=0\nPutTimeMarks=0\nUseUTC=1\n"
    "CatchWordByOneClick=0\nContestMode=0\nAfcAtClick=0\nCopyTransferredData=0\nExCanal=1\n"
    "SoundCardNumber=-1\nInputCardChannel=0\nOutputCardChannel=0\nOutSoundCardNumber=-1\n"
    "LastTuneRig=2\nTuneRig=0\nRigNumber=1\nUseWheel=1\nWheelSpeed=2\nSpeedLocked=0\n"
    "LowerSpeed=100\nHigherSpeed=150\nDotLen=662\nShortPauseLen=662\nSquelchEnabled=0\n"
    "EnableManualLimit=0\n\n"
    "[MainScreen]\nLeft=-1\nTop=-1\nHeight=-1\nWidth=-1\nSpectrumHeight=-1\nRxTextHeight=-1\n"
    "FFTBackground=16777215\nCurrSpectrumColor=16711680\nPeakSpectrumColor=32768\n"
    "RxMarkColor=255\nTxMarkColor=0\nOscBackground=16777215\nSignalColor=32768\n"
    "ThresholdColor=255\n\n"
    "[RxFont]\nName=\"MS Sans Serif\"\nCharset=204\nColor=-2147483640\nHeight=-13\nPitch=0\n"
    "Size=10\nStyle=1\nBkgColor=-2147483643\n\n"
    "[ScanScreen]\nLeft=10\nTop=10\nHeight=400\nWidth=600\nWfWidth=200\n\n"
    "[ScanFont]\nName=\"Courier New\"\nCharset=204\nColor=0\nHeight=-13\nPitch=1\nSize=10\n"
    "Style=0\nBkgColor=16777215\n\n"
    "[SetupScreen]\nLeft=100\nTop=100\n";

struct Key {
    std::string section;
    std::string key;
};

// Every (section, key) of the program's sections, in file order.
std::vector<Key> OwnKeys() {
    std::vector<Key> keys;
    std::string section;
    std::string_view rest = kOwnSections;
    while (!rest.empty()) {
        const auto nl = rest.find('\n');
        const std::string_view line = rest.substr(0, nl);
        rest.remove_prefix(nl + 1);
        if (line.starts_with('[')) {
            section = std::string(line.substr(1, line.size() - 2));
        } else if (const auto eq = line.find('='); eq != std::string_view::npos) {
            keys.push_back({section, std::string(line.substr(0, eq))});
        }
    }
    return keys;
}

// Other programs' sections of ten short keys each (the more lines, the more
// work per lookup), then the program's own, all in CR LF.
std::string SharedFile(std::size_t bytes) {
    std::string own;
    for (const char c : kOwnSections) {
        if (c == '\n') own += '\r';
        own += c;
    }
    std::string text;
    text.reserve(bytes);
    char line[96];
    for (int section = 0; text.size() + 400 + own.size() < bytes; ++section) {
        std::snprintf(line, sizeof line, "[Program%06d]\r\n", section);
        text += line;
        for (int key = 0; key < 10; ++key) {
            std::snprintf(line, sizeof line, "Item%d=%d\r\n", key, section % 1000);
            text += line;
        }
        text += "\r\n";
    }
    return text + own;
}

// The program's sections after nothing but line ends: the most lines a file
// of that size can hold.
std::string BlankLinesFile(std::size_t bytes) {
    return std::string(bytes - kOwnSections.size(), '\n') + std::string(kOwnSections);
}

constexpr std::size_t kSharedBytes = ProfileFile::kMaxFileBytes - 4096;

class SettingsFile {
  public:
    explicit SettingsFile(const std::string& contents) {
        std::ofstream(path_, std::ios::binary) << contents;
    }
    const std::filesystem::path& Path() const { return path_; }

  private:
    test::TempDir dir_;
    std::filesystem::path path_ = dir_ / "QUELP.INI";
};

void Load(benchmark::State& state, const std::string& contents) {
    const SettingsFile file(contents);
    const std::vector<Key> keys = OwnKeys();
    for (auto _ : state) {
        ProfileFile profile(file.Path());
        if (profile.Load() != ProfileResult::Ok) state.SkipWithError("load failed");
        for (const Key& k : keys) {
            benchmark::DoNotOptimize(profile.GetString(k.section, k.key, "0"));
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * contents.size()));
}

// Every save changes every value (one of two texts of equal length), so the
// file keeps its size and each save rewrites it.
void Save(benchmark::State& state, const std::string& contents) {
    const SettingsFile file(contents);
    const std::vector<Key> keys = OwnKeys();
    bool flip = false;
    for (auto _ : state) {
        ProfileFile profile(file.Path());
        if (profile.Load() != ProfileResult::Ok) state.SkipWithError("load failed");
        for (const Key& k : keys) profile.SetString(k.section, k.key, flip ? "1111" : "2222");
        if (profile.Save() != ProfileResult::Ok) state.SkipWithError("save failed");
        flip = !flip;
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * contents.size()));
}

void BM_LoadTypicalSettings(benchmark::State& state) {
    Load(state, std::string(kOwnSections));
}
BENCHMARK(BM_LoadTypicalSettings)->Unit(benchmark::kMicrosecond);

void BM_SaveTypicalSettings(benchmark::State& state) {
    Save(state, std::string(kOwnSections));
}
BENCHMARK(BM_SaveTypicalSettings)->Unit(benchmark::kMicrosecond);

void BM_LoadShared16MiBSettings(benchmark::State& state) {
    Load(state, SharedFile(kSharedBytes));
}
BENCHMARK(BM_LoadShared16MiBSettings)->Unit(benchmark::kMillisecond);

void BM_SaveShared16MiBSettings(benchmark::State& state) {
    Save(state, SharedFile(kSharedBytes));
}
BENCHMARK(BM_SaveShared16MiBSettings)->Unit(benchmark::kMillisecond);

void BM_LoadBlankLines16MiBSettings(benchmark::State& state) {
    Load(state, BlankLinesFile(kSharedBytes));
}
BENCHMARK(BM_LoadBlankLines16MiBSettings)->Unit(benchmark::kMillisecond);

void BM_SaveBlankLines16MiBSettings(benchmark::State& state) {
    Save(state, BlankLinesFile(kSharedBytes));
}
BENCHMARK(BM_SaveBlankLines16MiBSettings)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quelp
