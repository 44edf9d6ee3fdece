#pragma once
// A wave-in or wave-out driver that completes buffers when the test says so,
// on the test's thread or on a thread of its own, and can be scripted to fail
// any step with a given result code.

#include <cstdint>
#include <deque>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "ports/SoundDriver.h"

namespace quelp::test {

class FakeSoundDriver : public SoundDriver {
  public:
    ~FakeSoundDriver() override;

    int DeviceCount() override { return static_cast<int>(names.size()); }
    bool ProductName(int device, std::string& name) override;
    SoundResult Open(int device, const SoundFormat& format, SoundDriverClient& client) override;
    SoundResult Prepare(SoundBuffer& buffer) override;
    SoundResult Unprepare(SoundBuffer& buffer) override;
    SoundResult Add(SoundBuffer& buffer) override;
    SoundResult Start() override;
    SoundResult Stop() override;
    SoundResult Reset() override;
    SoundResult Close() override;

    // Fills the oldest handed-over buffer from `frames` (interleaved, repeated
    // or cut to the buffer's length), or takes the oldest output buffer into
    // `played`, and gives it back. False when none is held.
    bool CompleteNext(std::span<const int16_t> frames = {});
    // Gives back every held buffer, one by one, on a thread of its own after
    // `delayMs`; joined by the next call that touches the queue or by Close.
    void CompleteAllOnThread(int delayMs);
    int Held() const;
    void Join();

    // --- script -----------------------------------------------------------
    std::vector<std::string> names = {"Fake Device 0"};
    SoundResult openResult = SoundResult::Ok;
    SoundResult startResult = SoundResult::Ok;
    SoundResult stopResult = SoundResult::Ok;
    SoundResult resetResult = SoundResult::Ok;  // returned after the buffers are given back
    SoundResult unprepareResult = SoundResult::Ok;
    SoundResult closeResult = SoundResult::Ok;  // returned after closing
    SoundResult prepareResult = SoundResult::Ok;
    int prepareFailsAt = -1;  // the n-th Prepare (0-based) returns prepareResult
    SoundResult addResult = SoundResult::Ok;
    int addFailsAt = -1;  // the n-th Add (0-based) returns addResult
    // Reset gives the buffers back from another thread after this delay
    // (-1: on the caller's thread, before Reset returns).
    int resetOnThreadMs = -1;

    // --- record -----------------------------------------------------------
    bool isOpen = false;
    bool started = false;
    int openedDevice = -2;
    SoundFormat format;
    int prepares = 0;
    int adds = 0;
    int resets = 0;
    int unprepareFailures = 0;    // Unprepare of a buffer still held
    std::vector<int16_t> played;  // output: every sample of every given-back buffer
    std::vector<std::string> calls;

  private:
    bool CompleteLocked(std::span<const int16_t> frames, bool take);

    SoundDriverClient* client_ = nullptr;
    mutable std::mutex mutex_;
    std::deque<SoundBuffer*> held_;
    std::thread thread_;
};

}  // namespace quelp::test
