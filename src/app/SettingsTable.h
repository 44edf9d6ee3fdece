#pragma once
// The settings file, described once: every key with its section, its stored
// default, how its text becomes live state (with the validation) and how the
// live state becomes text again. Loading, saving, applying and collecting are
// loops over this table. Rows stand in the order a load applies them; a
// save writes them in the order of `saveRank`.
//
// Section and key names chosen by this program:
//   main section "Quelp"; in it "AutoThreshold", "OnTop" (always on top),
//   "AutoGoToMax", "AfcEnabled", "AfcDeviation" (local AFC deviation, units
//   of 5 Hz), "RxFreqBin" (receive frequency as an FFT bin, unlike TxFreq and
//   FFTCenterFreq, which hold hertz), "DetectorThreshold" (1/10000);
//   section "Decoding", saved last: "Decoder" ("classic" or "adaptive");
//   window section "MainScreen": "Left", "Top", "Height", "Width",
//   "SpectrumHeight", "RxTextHeight" and the eight colours;
//   receive-font section "RxFont".
// The main section is named "Quelp" so that "OnTop", which the start-up reads
// before anything else, is the very key the settings save writes: a saved
// always-on-top state takes effect at the next start.

#include <span>
#include <string>
#include <string_view>

#include "settings/ProfileFile.h"

namespace quelp {

class QuelpApp;

// Which window a key belongs to; the multi-channel window's and the Setup
// dialog's groups are saved only once those windows were created in this
// run, and a load leaves the groups of windows that exist alone.
enum class SettingGroup { Main, ScanWindow, SetupWindow };

struct SettingRow {
    SettingGroup group;
    std::string_view section;
    std::string_view key;
    // What an absent key reads as.
    std::string_view defaultText;
    // Another value the key stores and reads back as it is (for the tests
    // that walk the table).
    std::string_view sample;
    // Position in the save order (the file's layout for new keys).
    int saveRank;
    // Takes a stored text into the live state; false, with nothing changed,
    // when the text is not valid for the key (the default is taken then).
    // Null for keys that are written only.
    bool (*apply)(QuelpApp& app, std::string_view text);
    // The text to store for the live state.
    std::string (*collect)(const QuelpApp& app);
};

// Every key, in load order.
std::span<const SettingRow> SettingsTable();

// "OnTop" of section "Quelp", read at start-up before everything else.
bool ReadStartupOnTop(const ProfileFile& file);

// The message for a failed save: "Unable to write to " and the path.
std::string UnableToWriteText(std::string_view settingsPath);
// The message for a settings file that exists but cannot be read.
std::string UnableToReadText(std::string_view settingsPath);

}  // namespace quelp
