#pragma once
// Port: the rig-control server, which drives rig 1 or rig 2 for this program
// and for any other that shares the transceiver. The program sees a rig as a
// handful of parameters with the server's published values (below): the
// sets of parameters it can read and write, the mode, RIT, the active VFO
// and the frequencies. Which transceiver it is and how the server reaches
// it is the server's own affair, set up in its own settings window.
//
// A call that fails (the server is gone, the link broke) returns nothing or
// false; a rig that does not answer in time reads as `rig_param::kUnknown`.
// Nothing is ever thrown across this port.

#include <cstdint>
#include <optional>

namespace quelp {

namespace rig_param {
// As a mode or state: the rig did not answer.
inline constexpr std::uint32_t kUnknown = 0x1;
// Frequencies, in whole hertz.
inline constexpr std::uint32_t kFreq = 0x2;  // the rig's single frequency
inline constexpr std::uint32_t kFreqA = 0x4;
inline constexpr std::uint32_t kFreqB = 0x8;
inline constexpr std::uint32_t kRitOffset = 0x20;
// Active VFO, receive/transmit: A/A, A/B, B/A, B/B, A alone, B alone.
inline constexpr std::uint32_t kVfoAA = 0x80;
inline constexpr std::uint32_t kVfoAB = 0x100;
inline constexpr std::uint32_t kVfoBA = 0x200;
inline constexpr std::uint32_t kVfoBB = 0x400;
inline constexpr std::uint32_t kVfoA = 0x800;
inline constexpr std::uint32_t kVfoB = 0x1000;
// RIT switch.
inline constexpr std::uint32_t kRitOn = 0x20000;
inline constexpr std::uint32_t kRitOff = 0x40000;
// Modes: CW, SSB and data on the upper and the lower sideband, AM, FM.
inline constexpr std::uint32_t kCwUpper = 0x800000;
inline constexpr std::uint32_t kCwLower = 0x1000000;
inline constexpr std::uint32_t kSsbUpper = 0x2000000;
inline constexpr std::uint32_t kSsbLower = 0x4000000;
inline constexpr std::uint32_t kDataUpper = 0x8000000;
inline constexpr std::uint32_t kDataLower = 0x10000000;
inline constexpr std::uint32_t kAm = 0x20000000;
inline constexpr std::uint32_t kFm = 0x40000000;

// The modes in which a higher audio tone is a lower radio frequency.
constexpr bool LowerSideband(std::uint32_t mode) {
    return mode == kCwLower || mode == kSsbLower || mode == kDataLower;
}
// The active-VFO values that mean the rig receives on VFO B.
constexpr bool ReceivesOnB(std::uint32_t vfo) {
    return vfo == kVfoBA || vfo == kVfoBB || vfo == kVfoB;
}
}  // namespace rig_param

// What can be read or written on the selected rig.
enum class RigProperty {
    Readable,   // set of rig_param bits (read only)
    Writable,   // set of rig_param bits (read only)
    Mode,       // one mode value, or kUnknown (read only)
    Rit,        // kRitOn or kRitOff, or kUnknown
    RitOffset,  // hertz
    Vfo,        // one active-VFO value, or kUnknown (read only)
    Freq,       // hertz
    FreqA,      // hertz
    FreqB,      // hertz
};

class RigServer {
  public:
    virtual ~RigServer() = default;
    // Brings the server up (once, at the first connect); false when it
    // cannot be started.
    virtual bool Create() = 0;
    // Takes rig 1 or rig 2 afresh, with the server's settings as they are
    // now; false when that rig cannot be reached.
    virtual bool SelectRig(int number) = 0;
    // A property of the selected rig: its value (sets and modes as the bits
    // above, frequencies and offsets in hertz), or nothing when the call
    // failed.
    virtual std::optional<std::int32_t> Get(RigProperty property) = 0;
    // Writes a property (Rit: kRitOn or kRitOff); false when the call failed.
    virtual bool Set(RigProperty property, std::int32_t value) = 0;
    // Sets the RIT offset to zero; false when the call failed.
    virtual bool ClearRit() = 0;
    // Shows the server's own settings window; false when it cannot.
    virtual bool ShowSetup() = 0;
};

}  // namespace quelp
