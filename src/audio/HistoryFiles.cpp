#include "audio/HistoryFiles.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <system_error>

namespace quelp {

namespace fs = std::filesystem;

HistoryFiles::HistoryFiles(TWaveBuff& history, MainView& view, Clock& clock,
                           HistoryDecoder* decoder, fs::path baseDir)
    : history_(history),
      view_(view),
      clock_(clock),
      baseDir_(std::move(baseDir)),
      decoder_(decoder) {}

fs::path HistoryFiles::InBase(const std::string& name) const {
    return baseDir_.empty() ? fs::path(name) : baseDir_ / name;
}

CivilTime HistoryFiles::MinusSeconds(const CivilTime& t, int64_t seconds) {
    using namespace std::chrono;
    const sys_days day{year{t.year} / month{static_cast<unsigned>(t.month)} /
                       std::chrono::day{static_cast<unsigned>(t.day)}};
    const sys_seconds moment = day + hours{t.hour} + minutes{t.minute} +
                               std::chrono::seconds{t.second} - std::chrono::seconds{seconds};
    const sys_days newDay = floor<days>(moment);
    const year_month_day ymd{newDay};
    const hh_mm_ss<std::chrono::seconds> hms{moment - newDay};
    CivilTime r;
    r.year = static_cast<int>(ymd.year());
    r.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
    r.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
    r.hour = static_cast<int>(hms.hours().count());
    r.minute = static_cast<int>(hms.minutes().count());
    r.second = static_cast<int>(hms.seconds().count());
    return r;
}

std::string HistoryFiles::SaveFolderName(const CivilTime& t) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "Waves/%04d-%02d-%02d", t.year, t.month, t.day);
    return buf;
}

std::string HistoryFiles::SaveFileName(const CivilTime& t) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "/%02d_%02d_%02d.wav", t.hour, t.minute, t.second);
    return SaveFolderName(t) + buf;
}

void HistoryFiles::EnableReplay(bool enabled) {
    view_.SetEnabled(UiItem::ReplayButton, enabled);
    view_.SetEnabled(UiItem::DecodeFromFile1, enabled);
}

void HistoryFiles::ReplayButtonClick(bool decodeBusy) {
    if (decodeBusy) return;
    EnableReplay(false);
    ReplayHistory(10, decodeBusy);
}

void HistoryFiles::SaveButtonClick() {
    view_.SetEnabled(UiItem::SaveButton, false);
    SaveHistory(60, false, false);
    view_.SetEnabled(UiItem::SaveButton, true);
}

void HistoryFiles::ReplayHistory(int32_t seconds, bool decodeBusy) {
    // The running decode may be reading the very file a replay would rewrite,
    // and its end re-enables the controls; leave both alone.
    if (decodeBusy) return;
    const int32_t s = std::min(seconds, history_.Seconds());
    if (s >= 1) {
        const std::string name = InBase(kReplayFile).string();
        if (WriteFresh(name, s) != HistorySaveResult::Ok) {
            view_.ShowMessage("Temporary wave file saving Error!", "Error");
        } else if (decoder_ != nullptr) {
            decoder_->DecodeHistoryFile(name);
            return;
        }
    }
    EnableReplay(true);
}

HistorySaveResult HistoryFiles::WriteFresh(const std::string& name, int32_t seconds) {
    // A new file rather than the old one emptied: a decode still reading an
    // earlier temporary file keeps reading what it opened.
    std::error_code ec;
    fs::remove(name, ec);
    return history_.SaveToFile(name, seconds);
}

bool HistoryFiles::MakeDirectory(const fs::path& dir) {
    std::error_code ec;
    if (fs::is_directory(dir, ec)) return true;
    if (fs::create_directory(dir, ec) && !ec) return true;
    view_.ShowMessage("Can not create directory!", "Error");
    return false;
}

std::string HistoryFiles::SaveHistory(int32_t seconds, bool decode, bool decodeBusy) {
    const int32_t s = std::min(seconds, history_.Seconds());
    if (s < 1) return {};
    const CivilTime t = MinusSeconds(clock_.Now(true), s);

    const fs::path temp = InBase(kSaveTempFile);
    if (WriteFresh(temp.string(), s) != HistorySaveResult::Ok) {
        view_.ShowMessage("Temporary wave file saving error!", "Error");
    }
    // One message is enough: without "Waves" the day's folder cannot follow.
    if (MakeDirectory(InBase("Waves"))) MakeDirectory(InBase(SaveFolderName(t)));

    const fs::path name = InBase(SaveFileName(t));
    // Only a temporary file that is really there may replace an earlier save
    // of the same second; anything else standing under its name must not.
    std::error_code ec;
    bool renamed = false;
    if (fs::is_regular_file(temp, ec)) {
        fs::rename(temp, name, ec);
        renamed = !ec;
        if (!renamed && fs::exists(name, ec)) {
            fs::remove(name, ec);
            fs::rename(temp, name, ec);
            renamed = !ec;
        }
    }
    if (!renamed) {
        view_.ShowMessage("Temporary wave file renaming error!", "Error");
        fs::remove(temp, ec);
        return {};
    }
    // A running decode ignores the request; its own file stays untouched.
    if (decode && !decodeBusy && decoder_ != nullptr) decoder_->DecodeHistoryFile(name.string());
    return name.string();
}

}  // namespace quelp
