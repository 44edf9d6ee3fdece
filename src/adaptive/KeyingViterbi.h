#pragma once
// The timing model over the frames' soft decisions: a hidden semi-Markov
// model of the key with a mark state and a space state, each lasting a
// whole number of frames with a prior over its length (dots and dashes,
// element and character gaps), and a long-space state for word gaps and
// pauses. The Viterbi search finds the likeliest keying; since the best path
// changes as frames arrive, segments are handed over only once they lie a
// fixed lag behind the newest frame. A space may be handed over in parts.

#include <cstdint>
#include <vector>

namespace quelp {

struct KeyingSegment {
    bool mark = false;
    int frames = 0;
    std::int64_t first = 0;  // index of its first frame
};

class KeyingViterbi {
  public:
    // Frames kept for the search back to the last hand-over.
    static constexpr int kRing = 1 << 14;

    KeyingViterbi();

    // Log priors of a mark lasting d = 1..markLogP.size() frames and of a
    // space lasting d = 1..spaceLogP.size(); a space longer than that is a
    // long space, which pays `longSpaceLogP` once.
    void SetModel(std::vector<double> markLogP, std::vector<double> spaceLogP,
                  double longSpaceLogP);
    // Forgets the search; the next frame starts a new one.
    void Reset();

    // One frame's log-likelihood ratio of key down against key up.
    void Step(double llr);
    // Appends the segments that end at least `lag` frames before the newest.
    void Commit(int lag, std::vector<KeyingSegment>& out);
    // Appends everything up to the newest frame and starts a new search.
    void Flush(std::vector<KeyingSegment>& out);

    std::int64_t Frames() const { return now_; }

  private:
    enum State : std::uint8_t { kMark, kSpace, kLong };
    static std::size_t Slot(std::int64_t t) { return static_cast<std::size_t>(t & (kRing - 1)); }
    // The best path ending at frame `end`, back to the last hand-over, in
    // order of time.
    void Trace(std::int64_t end, std::vector<KeyingSegment>& path) const;
    void Renormalise();

    std::vector<double> markLogP_;
    std::vector<double> spaceLogP_;
    double longSpaceLogP_ = -3.0;

    // Frame index 0 is the virtual start of a search; `now_` the newest.
    std::int64_t origin_ = 0;
    std::int64_t now_ = 0;
    std::int64_t committed_ = 0;  // frames up to here were handed over
    std::vector<double> cum_;     // running sum of the ratios
    std::vector<double> best_[3];
    std::vector<std::int32_t> markLen_;
    std::vector<std::uint8_t> markFromLong_;
    std::vector<std::int32_t> spaceLen_;
    std::vector<std::uint8_t> longEntered_;
    std::vector<KeyingSegment> scratch_;
};

}  // namespace quelp
