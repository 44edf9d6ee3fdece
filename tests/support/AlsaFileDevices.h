#pragma once
// ALSA devices backed by files, for the tests that run the real PortAudio
// driver: a capture device reads raw 16-bit mono samples from a file and a
// playback device writes them into one, each behind a `plug` at 11025 Hz.
// ALSA reads ALSA_CONFIG_PATH when PortAudio starts, so the configuration
// applies to drivers made (and programs started) while this object lives.
// The file devices are not paced: they run as fast as they are read.

#include <dlfcn.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/CwSynth.h"

namespace quelp::test {

// ALSA loads a plugin module for each device it probes and unloads it again;
// codec libraries behind some of them keep start-up allocations that the leak
// checker would report from an unknown module. Kept loaded, they stay
// reachable.
inline void KeepAlsaModulesLoaded() {
    namespace fs = std::filesystem;
    void* alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_NOLOAD);
    if (alsa == nullptr) return;
    Dl_info info{};
    void* symbol = dlsym(alsa, "snd_pcm_open");
    if (symbol != nullptr && dladdr(symbol, &info) != 0 && info.dli_fname != nullptr) {
        const fs::path modules = fs::path(info.dli_fname).parent_path() / "alsa-lib";
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(modules, error)) {
            if (entry.path().filename().string().rfind("libasound_module_pcm_", 0) == 0) {
                dlopen(entry.path().c_str(), RTLD_LAZY | RTLD_NODELETE);
            }
        }
    }
    dlclose(alsa);
}

// "test" at 20 WPM on the default receive bin. The file devices are not
// paced: they run ahead whenever no buffer is handed over and drop that
// audio, so the message must end inside the sixteen blocks queued at the
// start (2.97 s), which always arrive whole; callers pad it with silence.
inline std::vector<std::int16_t> MessageForUnpacedCapture() {
    CwSynthOptions o;
    o.signal.text = "test";
    o.signal.wpm = 20;
    o.signal.freqHz = 186 * 11025.0 / 2048;
    o.signal.level = 0.5;
    o.signal.startSec = 0.2;
    o.tailSec = 1.2;
    return ToPcm16(SynthesizeCw(o).samples);
}

class AlsaFileDevices {
  public:
    // `tag` keeps the scratch folders of different tests apart.
    explicit AlsaFileDevices(const std::string& tag) {
        dir_ = std::filesystem::temp_directory_path() /
               ("quelp_" + tag + "_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    ~AlsaFileDevices() {
        unsetenv("ALSA_CONFIG_PATH");
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    AlsaFileDevices(const AlsaFileDevices&) = delete;
    AlsaFileDevices& operator=(const AlsaFileDevices&) = delete;

    std::filesystem::path Path(const std::string& name) const { return dir_ / name; }

    // Capture device `name` reading `samples` (interleaved when `channels`
    // is 2).
    void AddCapture(const std::string& name, const std::vector<std::int16_t>& samples,
                    int channels = 1) {
        const auto file = Path(name + ".raw");
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(samples.data()),
                   static_cast<std::streamsize>(samples.size() * 2));
        conf_ += Device(name, "file \"/dev/null\" infile \"" + file.string() + "\"", channels);
    }
    // Playback device `name` writing into Path(name + ".raw").
    void AddPlayback(const std::string& name) {
        conf_ += Device(name, "file \"" + Path(name + ".raw").string() + "\"", 1);
    }
    // The samples a playback device wrote.
    std::vector<std::int16_t> Played(const std::string& name) const {
        const auto file = Path(name + ".raw");
        std::error_code error;
        const auto bytes = std::filesystem::file_size(file, error);
        std::vector<std::int16_t> samples(error ? 0 : bytes / 2);
        std::ifstream in(file, std::ios::binary);
        in.read(reinterpret_cast<char*>(samples.data()),
                static_cast<std::streamsize>(samples.size() * 2));
        return samples;
    }
    // Writes the configuration and points ALSA at it.
    void Install() {
        std::ofstream(Path("asound.conf")) << conf_;
        const std::string path = "/usr/share/alsa/alsa.conf:" + Path("asound.conf").string();
        setenv("ALSA_CONFIG_PATH", path.c_str(), 1);
    }

  private:
    static std::string Device(const std::string& name, const std::string& files, int channels) {
        return "pcm." + name + " {\n  type plug\n  slave { pcm { type file slave.pcm \"null\" " +
               files + " format \"raw\" } rate 11025 format S16_LE channels " +
               std::to_string(channels) + " }\n" +
               "  hint { show on description \"Quelp test device\" }\n}\n";
    }

    std::filesystem::path dir_;
    std::string conf_;
};

}  // namespace quelp::test
