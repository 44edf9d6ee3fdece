#include "adaptive/KeyingViterbi.h"

#include <algorithm>
#include <limits>

namespace quelp {

namespace {
constexpr double kNone = -std::numeric_limits<double>::infinity();
}

KeyingViterbi::KeyingViterbi()
    : cum_(kRing, 0.0),
      markLen_(kRing, 0),
      markFromLong_(kRing, 0),
      spaceLen_(kRing, 0),
      longEntered_(kRing, 0) {
    for (auto& b : best_) b.assign(kRing, 0.0);
    SetModel({0.0}, {0.0}, -3.0);
}

void KeyingViterbi::SetModel(std::vector<double> markLogP, std::vector<double> spaceLogP,
                             double longSpaceLogP) {
    markLogP_ = std::move(markLogP);
    spaceLogP_ = std::move(spaceLogP);
    longSpaceLogP_ = longSpaceLogP;
    // A search never looks further back than the ring holds.
    const std::size_t most = kRing / 4;
    if (markLogP_.size() > most) markLogP_.resize(most);
    if (spaceLogP_.size() > most) spaceLogP_.resize(most);
}

void KeyingViterbi::Reset() {
    origin_ = committed_ = now_;
    const std::size_t s = Slot(now_);
    cum_[s] = 0.0;
    // The search may open in any state: a recording can start in a mark.
    for (auto& b : best_) b[s] = 0.0;
    longEntered_[s] = 1;
}

void KeyingViterbi::Step(double llr) {
    const std::int64_t t = ++now_;
    const std::size_t s = Slot(t);
    const double c = cum_[Slot(t - 1)] + llr;
    cum_[s] = c;
    const std::int64_t reach = t - origin_;

    double bestMark = kNone;
    std::int32_t markLen = 1;
    std::uint8_t fromLong = 0;
    const auto markMax = static_cast<std::int64_t>(markLogP_.size());
    for (std::int64_t d = 1; d <= std::min(markMax, reach); ++d) {
        const std::size_t p = Slot(t - d);
        const bool viaLong = best_[kLong][p] > best_[kSpace][p];
        const double before = viaLong ? best_[kLong][p] : best_[kSpace][p];
        const double v = before + markLogP_[static_cast<std::size_t>(d - 1)] + (c - cum_[p]);
        if (v > bestMark) {
            bestMark = v;
            markLen = static_cast<std::int32_t>(d);
            fromLong = viaLong ? 1 : 0;
        }
    }

    double bestSpace = kNone;
    std::int32_t spaceLen = 1;
    const auto spaceMax = static_cast<std::int64_t>(spaceLogP_.size());
    for (std::int64_t d = 1; d <= std::min(spaceMax, reach); ++d) {
        const std::size_t p = Slot(t - d);
        const double v =
            best_[kMark][p] + spaceLogP_[static_cast<std::size_t>(d - 1)] - (c - cum_[p]);
        if (v > bestSpace) {
            bestSpace = v;
            spaceLen = static_cast<std::int32_t>(d);
        }
    }

    // The long space goes on frame by frame, or begins after a mark once a
    // space has outlasted the longest the space state holds.
    double bestLong = best_[kLong][Slot(t - 1)] - llr;
    std::uint8_t entered = 0;
    if (spaceMax < reach) {
        const std::size_t p = Slot(t - spaceMax);
        const double v = best_[kMark][p] + longSpaceLogP_ - (c - cum_[p]);
        if (v > bestLong) {
            bestLong = v;
            entered = 1;
        }
    }

    best_[kMark][s] = bestMark;
    best_[kSpace][s] = bestSpace;
    best_[kLong][s] = bestLong;
    markLen_[s] = markLen;
    markFromLong_[s] = fromLong;
    spaceLen_[s] = spaceLen;
    longEntered_[s] = entered;
    if ((t & 4095) == 0) Renormalise();
}

void KeyingViterbi::Renormalise() {
    // Scores and sums only ever meet as differences: one offset off every
    // slot keeps them small without changing a decision.
    const std::size_t s = Slot(now_);
    const double top = std::max({best_[kMark][s], best_[kSpace][s], best_[kLong][s]});
    const double c = cum_[s];
    for (auto& b : best_) {
        for (double& v : b) v -= top;
    }
    for (double& v : cum_) v -= c;
}

void KeyingViterbi::Trace(std::int64_t end, std::vector<KeyingSegment>& path) const {
    path.clear();
    const std::size_t e = Slot(end);
    State state = kMark;
    if (best_[kSpace][e] > best_[state][e]) state = kSpace;
    if (best_[kLong][e] > best_[state][e]) state = kLong;
    const auto spaceMax = static_cast<std::int64_t>(spaceLogP_.size());
    std::int64_t t = end;
    while (t > committed_ && t > origin_) {
        const std::size_t s = Slot(t);
        std::int64_t first = t;
        State before = kMark;
        if (state == kMark) {
            first = t - markLen_[s] + 1;
            before = markFromLong_[s] != 0 ? kLong : kSpace;
        } else if (state == kSpace) {
            first = t - spaceLen_[s] + 1;
        } else {
            std::int64_t u = t;
            while (u > origin_ && u > committed_ && longEntered_[Slot(u)] == 0) --u;
            if (u > origin_ && u > committed_) {
                // Entered at u: the long space covers the space state's
                // longest stretch before it, and a mark came first.
                first = u - spaceMax + 1;
            } else {
                first = u + 1;
            }
        }
        first = std::max(first, std::max(committed_, origin_) + 1);
        path.push_back({state == kMark, static_cast<int>(t - first + 1), first});
        t = first - 1;
        state = before;
    }
    std::reverse(path.begin(), path.end());
}

void KeyingViterbi::Commit(int lag, std::vector<KeyingSegment>& out) {
    const std::int64_t until = now_ - lag;
    if (until <= committed_) return;
    Trace(now_, scratch_);
    for (const KeyingSegment& seg : scratch_) {
        const std::int64_t last = seg.first + seg.frames - 1;
        if (last <= until) {
            out.push_back(seg);
            committed_ = last;
        } else {
            if (!seg.mark && seg.first <= until) {
                out.push_back({false, static_cast<int>(until - seg.first + 1), seg.first});
                committed_ = until;
            }
            break;
        }
    }
    // A search that has run far ahead of its hand-overs (a mark that never
    // ends) hands over what it has before the ring wraps.
    if (now_ - committed_ > kRing / 2) {
        Flush(out);
    }
}

void KeyingViterbi::Flush(std::vector<KeyingSegment>& out) {
    if (now_ > committed_) {
        Trace(now_, scratch_);
        out.insert(out.end(), scratch_.begin(), scratch_.end());
    }
    Reset();
}

}  // namespace quelp
