#pragma once
// The operator's side of the audio history: Replay decodes the last seconds
// again from a temporary WAV file; Save files them under a dated folder named
// after the moment the saved audio begins (UTC).

#include <cstdint>
#include <filesystem>
#include <string>

#include "audio/WaveBuff.h"
#include "ports/Clock.h"
#include "ports/MainView.h"

namespace quelp {

// Decodes a WAV file (the application's file decode); it enables the Replay
// button and "Decode From File" again when it ends.
class HistoryDecoder {
  public:
    virtual void DecodeHistoryFile(const std::string& path) = 0;

  protected:
    ~HistoryDecoder() = default;
};

class HistoryFiles {
  public:
    static constexpr const char* kReplayFile = "~~~tmp~~.wav";
    static constexpr const char* kSaveTempFile = "~~~tmp1~.wav";

    // Files go under `baseDir` (the working directory when empty). Without a
    // decoder a replay only writes its file.
    HistoryFiles(TWaveBuff& history, MainView& view, Clock& clock, HistoryDecoder* decoder,
                 std::filesystem::path baseDir = {});

    void SetBaseDir(std::filesystem::path baseDir) { baseDir_ = std::move(baseDir); }
    const std::filesystem::path& BaseDir() const { return baseDir_; }

    // "Replay": the last 10 seconds decoded again.
    void ReplayButtonClick(bool decodeBusy);
    // "Save": the last 60 seconds to a dated file.
    void SaveButtonClick();

    // `decodeBusy` tells whether a file decode is running; a replay then does
    // nothing at all, since its temporary file may be the one being decoded.
    void ReplayHistory(int32_t seconds, bool decodeBusy);
    // Returns the saved file's path, or an empty string when nothing was saved.
    std::string SaveHistory(int32_t seconds, bool decode, bool decodeBusy);

    // `t` moved back by `seconds`, across days, months and years.
    static CivilTime MinusSeconds(const CivilTime& t, int64_t seconds);
    // "Waves/YYYY-MM-DD/HH_MM_SS.wav" for the moment `t`.
    static std::string SaveFileName(const CivilTime& t);
    // "Waves/YYYY-MM-DD" for the day of `t`.
    static std::string SaveFolderName(const CivilTime& t);

  private:
    std::filesystem::path InBase(const std::string& name) const;
    bool MakeDirectory(const std::filesystem::path& dir);
    // The last `seconds` of history into a newly created file `name`.
    HistorySaveResult WriteFresh(const std::string& name, int32_t seconds);
    void EnableReplay(bool enabled);

    TWaveBuff& history_;
    MainView& view_;
    Clock& clock_;
    std::filesystem::path baseDir_;
    HistoryDecoder* decoder_;
};

}  // namespace quelp
