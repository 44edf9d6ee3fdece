#pragma once
// Turns the keying's marks and spaces (in seconds) into characters: a mark
// is a dot or a dash against the running dot and dash lengths; a space is an
// element gap, a character gap or a word gap against three running gap
// lengths, the last two the two groups of the recent long gaps, so that
// stretched spacing (slow practice sending) shows as long character gaps
// rather than as word gaps. Every length follows the sender as the marks and
// spaces come, so speed changes and hand keying are followed too. A sender
// who doubles or halves his speed at once reads as a run of one kind (all
// dots or all dashes); the characters begun in such a run are held, and read
// again once the run shows his new lengths.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quelp {

struct MorseTimingEstimates {
    double dot = 0.06;  // seconds
    double dash = 0.18;
    double elementGap = 0.06;
    double charGap = 0.18;
    double wordGap = 0.42;

    // A dot length free of the detector's bias (marks read short and gaps
    // long by the same amount).
    double Unit() const { return 0.5 * (dot + elementGap); }
    // Keeps the lengths in order and apart, whatever was measured.
    void Order();
};

// Elements in a tree index (0 for 1).
std::size_t ElementCount(std::uint32_t code);
// Whether a tree index is a character of one of the alphabets in use
// (letters, digits, punctuation, the national letters and the prosigns).
bool IsMorseCharacter(std::uint32_t code);

class MorseTimingSink {
  public:
    // A character's tree index (>= 2), where its first mark began and where
    // its last mark ended, in the positions the marks were given with.
    virtual void TimedCharacter(std::uint32_t code, std::int64_t first, std::int64_t end) = 0;
    virtual void TimedWordSpace() = 0;
    // Whether a character ending now would be printed. Asked as it ends,
    // since it may be handed over later.
    virtual bool Audible() const { return true; }

  protected:
    ~MorseTimingSink() = default;
};

class MorseTiming {
  public:
    // How far each new length moves its estimate.
    static constexpr double kRate = 0.15;

    explicit MorseTiming(MorseTimingSink& sink) : sink_(sink) {}

    // Marks of one kind in a row that make the dots and dashes be found
    // afresh from their lengths.
    static constexpr std::size_t kSameKindRun = 8;

    // Gap lengths longer than an element gap kept for grouping (in dots).
    static constexpr std::size_t kLongGaps = 40;

    // New estimates; the long gaps measured so far stay.
    void Reset(const MorseTimingEstimates& estimates);
    // Forgets the long gaps too.
    void Forget();
    const MorseTimingEstimates& Estimates() const { return est_; }
    // Whether a long run of marks of one kind is taken for a new speed
    // (only where the marks are surely the sender's).
    void FollowRuns(bool on) { followRuns_ = on; }

    // A mark of `seconds` that began at `first` and ended at `end` (any
    // running position: frames, samples; handed back with the character).
    void Mark(double seconds, std::int64_t first, std::int64_t end);
    // The current space grew by `seconds`; a character or word ends as soon
    // as the space passes its boundary.
    void Space(double seconds);
    // The end of the input: the character being keyed ends.
    void End();
    // Hands over what is held; the character being keyed goes on.
    void HandOver() { EndRun(false); }

    double DotDashBoundary() const;
    double ElementCharBoundary() const;
    double CharWordBoundary() const;

  private:
    // True when the mark showed a new speed and is not taken: the journal,
    // this mark included, is to be read again.
    bool MarkNow(double seconds, std::int64_t first, std::int64_t end);
    void SpaceNow(double seconds);
    // A character (code >= 2) or a word space (0) for the sink: held while a
    // run of marks of one kind goes on, since a new speed found at its end
    // reads them again.
    struct Held {
        std::uint32_t code = 0;
        std::int64_t first = 0;
        std::int64_t end = 0;
        bool audible = true;  // the squelch open as it ended
    };
    void Out(std::uint32_t code, std::int64_t first, std::int64_t end);
    void Deliver(const Held& out);
    void Release();
    // The run of one kind ended: what it held is handed over, and the
    // journal starts again with the character this mark begins, if it does.
    void EndRun(bool keepThisCharacter);
    void SpaceEnded();
    void EndCharacter();
    void LongGap(double seconds);
    // The dot and dash lengths from the last marks; false when they do not
    // fall in two groups a dash apart.
    bool Resplit();
    // Hands over `code` whose element gaps are innerGaps_[firstGap ..
    // firstGap + gaps), split where no alphabet has it.
    void Emit(std::uint32_t code, std::size_t firstGap, std::size_t gaps);

    MorseTimingSink& sink_;
    MorseTimingEstimates est_;
    std::uint32_t code_ = 1;
    double space_ = 0.0;
    bool charEnded_ = true;
    bool wordEnded_ = true;
    bool emittedSinceWord_ = false;
    std::vector<double> longGaps_;
    std::vector<double> run_;  // the last marks' lengths
    std::size_t sameKind_ = 0;
    MorseTimingEstimates runFrom_;  // the estimates when the run began
    // The marks and spaces since the start of the first character begun in
    // the run (none: no character has begun in it yet), and the state
    // before it.
    struct Event {
        bool mark = false;
        double seconds = 0.0;
        std::int64_t first = 0;
        std::int64_t end = 0;
    };
    struct CharState {
        bool charEnded = true;
        bool wordEnded = true;
        bool emittedSinceWord = false;
    };
    std::vector<Event> journal_;
    CharState journalFrom_;
    CharState charFrom_;  // before the character being keyed
    std::vector<Held> held_;
    bool replaying_ = false;
    bool lastDash_ = false;
    bool followRuns_ = true;
    std::vector<double> innerGaps_;  // the element gaps of the character being keyed
    // Where each of its marks began and ended.
    std::vector<std::int64_t> markFirst_;
    std::vector<std::int64_t> markEnd_;
    std::vector<double> markSeconds_;
};

}  // namespace quelp
