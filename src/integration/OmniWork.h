#pragma once
// TOmniWork: the program's side of the rig-control server. It connects to
// rig 1 or rig 2, remembers what the rig can read and write, and retunes it
// so that the signal under the receive frequency lands on the transmit mark
// (TuneToMark) or moves by some hertz (TuneBy), through the RIT offset or
// the main VFO. What a retune moves in the receiver (its tuning and its
// peak-hold picture) is reached through RigTuneTarget.
//
// The rig is polled with short sleeps on the clock port while it answers
// "unknown": up to 0.6 s for one property. The caller's thread waits.

#include <cstdint>
#include <optional>

#include "ports/Clock.h"
#include "ports/RigServer.h"

namespace quelp {

// What a retune moves besides the rig.
class RigTuneTarget {
  public:
    virtual double SamplingFreq() const = 0;
    virtual int SignalBin() const = 0;  // the receive frequency's bin
    virtual int TxBin() const = 0;      // the transmit mark's bin
    // Before each write to the rig: the peak-hold spectrum is not raised for
    // the next 2 blocks, so the signal's old place does not light up again.
    virtual void FreezeSpectrumPeak() = 0;
    // Receive frequency, AFC anchor and mixer onto the transmit mark, and
    // the status bar shows the new frequency.
    virtual void ReceiveAtMark() = 0;
    // The peak-hold spectrum follows the band by `shift` bins and fades.
    virtual void ShiftSpectrumPeak(int shift) = 0;

  protected:
    ~RigTuneTarget() = default;
};

// Tuning modes: TuneRig's values.
namespace tune_rig {
inline constexpr int kNone = 0;
inline constexpr int kRit = 1;
inline constexpr int kMainVfo = 2;
}  // namespace tune_rig

// Results of TuneToMark and TuneBy.
namespace rig_tune {
inline constexpr int kDone = 0;
inline constexpr int kNoTuning = 1;      // the mode asked for was 0
inline constexpr int kNotConnected = 2;  // no rig (also: a call failed on the way)
inline constexpr int kNoMode = 3;        // the rig gave no mode
inline constexpr int kNoRitState = 4;    // the rig gave no RIT state
inline constexpr int kBadMode = 5;       // the mode asked for is not 1 or 2
inline constexpr int kNoVfo = 10;        // the rig gave no active VFO
// Neither VFO A and B nor a single frequency is both readable and writable.
inline constexpr int kNoFrequency = 20;
}  // namespace rig_tune

class TOmniWork {
  public:
    static constexpr int kConnected = 3;

    // server: null when the program has none (every connect fails).
    TOmniWork(RigServer* server, Clock& clock, RigTuneTarget& target);

    // Takes rig `rigNumber` (1 or 2) and reads its parameter sets and mode:
    // 3 when connected, otherwise 0.
    int Connect(int rigNumber);
    int State() const { return state_; }
    // The rig's mode, or kUnknown when no rig is connected; nothing when
    // the call failed.
    std::optional<std::uint32_t> RigMode();
    // The bits of `bits` that the rig can write (0 when not connected).
    std::uint32_t CanWrite(std::uint32_t bits) const;

    // Brings the signal at the receive frequency to the transmit mark.
    int TuneToMark(int mode);
    // Moves the rig by `hz` hertz; the receive frequency stays, so the
    // signals move through the filter.
    int TuneBy(int mode, int hz);

    // The server's settings window: 0 shown, 1 no server could be started,
    // 2 the window could not be shown. A server whose rig cannot be opened
    // still shows it: that is where the rig is set up.
    int ShowSetup(int rigNumber);

  private:
    // The common part of both retunes: d hertz on the rig (negated in the
    // lower-sideband modes), the peak picture shifted by `shift` bins; the
    // receiver moves to the mark when `toMark`.
    int Retune(int mode, std::int32_t hz, int shift, bool toMark);
    int RetuneRit(std::int32_t hz);
    int RetuneVfo(std::int32_t hz);
    // Reads `property` up to 3 times, sleeping 200 ms after each "unknown";
    // kUnknown when it never answered, nothing when a call failed.
    std::optional<std::int32_t> ReadAnswered(RigProperty property);
    // Adds `hz` to a frequency or offset property.
    bool AddTo(RigProperty property, std::int32_t hz);
    bool Write(RigProperty property, std::int32_t value);

    RigServer* server_;
    Clock& clock_;
    RigTuneTarget& target_;
    // Bit 0: the server is up; 3: a rig is connected and its sets are known.
    int state_ = 0;
    std::uint32_t readable_ = 0;
    std::uint32_t writable_ = 0;
};

}  // namespace quelp
