#pragma once
// The interval state machine of a Morse decoder: times every key-down and
// key-up interval in samples, classifies it against the running dot-length
// estimate, adapts the estimates to the sender and collects elements into a
// tree index. The main decoder and each channel of the multi-channel decoder
// run this one machine on their own state.
//
// The machine is a template over a host, so the per-sample path has no
// virtual call and no allocation. A host provides:
//   std::int32_t& DotLen(); std::int32_t& DashLen(); std::int32_t& ShortPauseLen();
//       the three estimates (the main decoder keeps them in Quelp_Params)
//   bool LockActive();            the speed lock applies to the estimates
//   std::int32_t LowerDotLimit(); std::int32_t UpperDotLimit();
//   void CharacterEnded(std::uint32_t code);  a key-up interval ended a character;
//       code is the tree index, 1 when no element was collected
//   void WordSpace();             a key-up interval reached a word space
//   static constexpr bool kTracksPauseDots;   keep PauseDots up to date

#include <algorithm>
#include <cstdint>

namespace quelp {

struct IntervalState {
    std::int32_t KeyDown = 0;       // filtered key of the previous sample
    std::int32_t MarkCount = 662;   // samples of the current key-down interval
    std::int32_t SpaceCount = 662;  // samples of the current key-up interval
    std::int32_t CharPauseLen = 1986;
    std::int32_t WordPauseLen = 4634;
    std::uint32_t CharCode = 1;  // tree index being collected, 1 = empty
    std::int32_t LastElement = 0;
    std::int32_t CharDone = 0;
    std::int32_t AfterWordSpace = 0;
    double PauseDots = 10.0;  // current pause in dot lengths, stops above 10
};

// A key held down for hours (a stuck key or an unkeyed carrier) would
// overflow the 32-bit timing arithmetic; a mark stops counting at about 25
// minutes at 11025 Hz, far beyond any Morse element, which keeps every
// estimate and product below 2^31.
inline constexpr std::int32_t kMarkCountCap = 1 << 24;

namespace interval_detail {
inline bool Inside(std::int32_t x, std::int32_t low, std::int32_t high) {
    return x > low && x < high;
}
}  // namespace interval_detail

// One sample of filtered key `k`.
template <class Host>
inline void IntervalStep(IntervalState& s, Host& host, bool k) {
    using interval_detail::Inside;
    if (k) {
        if (s.KeyDown == 0) {
            // A key-up interval has just ended: classify the gap.
            const std::int32_t gap = s.SpaceCount;
            const std::int32_t dot = host.DotLen();
            if (gap < dot * 17 / 10) {
                if (!host.LockActive() || Inside(gap, host.LowerDotLimit(), host.UpperDotLimit())) {
                    host.ShortPauseLen() = (3 * gap + host.ShortPauseLen()) / 4;
                }
            } else if (gap < dot * 5) {
                s.CharPauseLen = (3 * gap + s.CharPauseLen) / 4;
            } else if (gap < dot * 20) {
                s.WordPauseLen = (3 * gap + s.WordPauseLen) / 4;
            }
        }
        if (s.MarkCount < kMarkCountCap) ++s.MarkCount;
        s.SpaceCount = 0;
        s.KeyDown = 1;
        if constexpr (Host::kTracksPauseDots) s.PauseDots = 0.0;
        s.CharDone = 0;
        return;
    }

    if (s.KeyDown != 0) {
        // A key-down interval has just ended: classify the mark.
        const std::int32_t mark = s.MarkCount;
        s.SpaceCount = 1;
        s.KeyDown = 0;
        std::int32_t& dot = host.DotLen();
        bool skip = false;
        if (mark > dot * 16 / 10) {
            s.LastElement = 1;
            if (!host.LockActive() ||
                Inside(mark, 3 * host.LowerDotLimit(), 3 * host.UpperDotLimit())) {
                // A dot length of 0 would stop every later test from working;
                // (DotLen + M) / 4 reaches it after a very short dash.
                dot = std::max<std::int32_t>(1, (dot + mark) / 4);
                host.DashLen() = (3 * mark + host.DashLen()) / 4;
            }
        } else {
            s.LastElement = 0;
            // A short burst that opens the first character after a word space
            // is noise rather than a dot.
            skip = s.AfterWordSpace == 1 && s.CharCode == 1 && mark < dot / 2;
            if (!host.LockActive() || Inside(mark, host.LowerDotLimit(), host.UpperDotLimit())) {
                dot = std::max<std::int32_t>(1, (3 * mark + dot) / 4);
            }
        }
        if (!skip && (s.CharCode & 0x80000000u) == 0) {
            s.CharCode = (s.CharCode << 1) | static_cast<std::uint32_t>(s.LastElement);
        }
        s.MarkCount = 0;
        return;
    }

    // The key-up interval continues.
    const std::int32_t dot = host.DotLen();
    if (s.SpaceCount <= dot * 25) ++s.SpaceCount;
    if constexpr (Host::kTracksPauseDots) {
        if (s.PauseDots <= 10.0) s.PauseDots += 1.0 / dot;
    }
    if (s.CharDone == 0 &&
        (s.SpaceCount >= dot * 18 / 10 || s.SpaceCount >= host.ShortPauseLen() * 15 / 10)) {
        const std::uint32_t code = s.CharCode;
        if (code != 1) s.AfterWordSpace = 0;
        s.CharCode = 1;
        s.CharDone = 1;
        host.CharacterEnded(code);
        return;
    }
    if (s.SpaceCount == dot * 5) {
        s.AfterWordSpace = 1;
        host.WordSpace();
    }
}

}  // namespace quelp
