#include "adaptive/MorseTiming.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "adaptive/SplitTwo.h"

namespace quelp {

namespace {
// A dot or dash is read as the other only when its length lies within this
// ratio (as a log) of the boundary between them.
constexpr double kMostFlip = 0.4;
// A new speed's longer elements are at least this much longer than the
// elements of the run they were read as.
constexpr double kNewLonger = 1.3;
}  // namespace

void MorseTimingEstimates::Order() {
    dot = std::clamp(dot, 0.01, 0.5);
    dash = std::clamp(dash, 2.0 * dot, 5.0 * dot);
    elementGap = std::clamp(elementGap, 0.4 * dot, 2.5 * dot);
    charGap = std::max(charGap, 1.8 * elementGap);
    wordGap = std::max(wordGap, 1.6 * charGap);
}

std::size_t ElementCount(std::uint32_t code) {
    std::size_t n = 0;
    while (code > 1) {
        code >>= 1;
        ++n;
    }
    return n;
}

bool IsMorseCharacter(std::uint32_t code) {
    // Letters, digits, punctuation and the prosigns operators send.
    static constexpr const char* kCodes[] = {
        ".-",     "-...",   "-.-.",   "-..",    ".",      "..-.",   "--.",      "....",   "..",
        ".---",   "-.-",    ".-..",   "--",     "-.",     "---",    ".--.",     "--.-",   ".-.",
        "...",    "-",      "..-",    "...-",   ".--",    "-..-",   "-.--",     "--..",   "-----",
        ".----",  "..---",  "...--",  "....-",  ".....",  "-....",  "--...",    "---..",  "----.",
        ".-.-.-", "--..--", "..--..", "-..-.",  "-...-",  "-....-", "-.--.",    "-.--.-", ".----.",
        "---...", "-.-.-.", ".-.-.",  ".--.-.", ".-..-.", "...-.-", "........", "----",   ".-.-",
        "..--",   "---.",   ".--.-",  "..-..",  "...-.",  ".-...",  "-.-.--",   "-.-..",  "--.--"};
    for (const char* text : kCodes) {
        std::uint32_t c = 1;
        for (const char* e = text; *e != 0; ++e) c = (c << 1) | (*e == '-' ? 1u : 0u);
        if (c == code) return true;
    }
    return false;
}

void MorseTiming::Forget() {
    longGaps_.clear();
}

void MorseTiming::Reset(const MorseTimingEstimates& estimates) {
    est_ = estimates;
    run_.clear();
    sameKind_ = 0;
    est_.Order();
    code_ = 1;
    space_ = 0.0;
    charEnded_ = wordEnded_ = true;
    emittedSinceWord_ = false;
    EndRun(false);
}

double MorseTiming::DotDashBoundary() const {
    return std::sqrt(est_.dot * est_.dash);
}

double MorseTiming::ElementCharBoundary() const {
    return std::sqrt(est_.elementGap * est_.charGap);
}

double MorseTiming::CharWordBoundary() const {
    return std::sqrt(est_.charGap * est_.wordGap);
}

void MorseTiming::Mark(double seconds, std::int64_t first, std::int64_t end) {
    // The journal starts with the first character begun within the run of
    // one kind going on: that character and the ones after it are held, and
    // read again if the run turns out to be another speed.
    const bool charStarts = code_ == 1;
    if (charStarts) charFrom_ = {charEnded_, wordEnded_, emittedSinceWord_};
    if (charStarts && journal_.empty()) journalFrom_ = charFrom_;
    if (charStarts || !journal_.empty()) journal_.push_back({true, seconds, first, end});
    if (!MarkNow(seconds, first, end)) return;
    held_.clear();
    code_ = 1;
    space_ = 0.0;
    innerGaps_.clear();
    charEnded_ = journalFrom_.charEnded;
    wordEnded_ = journalFrom_.wordEnded;
    emittedSinceWord_ = journalFrom_.emittedSinceWord;
    replaying_ = true;
    const std::vector<Event> events = journal_;
    for (const Event& e : events) {
        if (e.mark) {
            MarkNow(e.seconds, e.first, e.end);
        } else {
            SpaceNow(e.seconds);
        }
    }
    replaying_ = false;
}

void MorseTiming::Out(std::uint32_t code, std::int64_t first, std::int64_t end) {
    // Held: a character of the journal, and whatever follows one held.
    const Held out{code, first, end, code == 0 || sink_.Audible()};
    if (code == 0 ? !held_.empty() : !journal_.empty() && first >= journal_.front().first) {
        held_.push_back(out);
    } else {
        Deliver(out);
    }
}

void MorseTiming::Deliver(const Held& out) {
    if (out.code == 0) {
        sink_.TimedWordSpace();
    } else if (out.audible) {
        sink_.TimedCharacter(out.code, out.first, out.end);
    }
}

void MorseTiming::Release() {
    for (const Held& h : held_) Deliver(h);
    held_.clear();
}

void MorseTiming::EndRun(bool keepThisCharacter) {
    Release();
    if (keepThisCharacter && !journal_.empty()) {
        // The new run begins with the character this mark begins.
        journal_.erase(journal_.begin(), journal_.end() - 1);
        journalFrom_ = charFrom_;
    } else {
        journal_.clear();
    }
}

bool MorseTiming::MarkNow(double seconds, std::int64_t first, std::int64_t end) {
    const bool charStarts = code_ == 1;
    if (space_ > 0.0) SpaceEnded();
    bool dash = seconds > DotDashBoundary();
    // A run of one kind broken, or too long to be another speed's (one was
    // looked for at every mark from its eighth): what it held is printed.
    if (!replaying_ && sameKind_ > 0 && dash != lastDash_) EndRun(charStarts);
    if (!replaying_ && sameKind_ >= 2 * kSameKindRun) EndRun(false);
    if (dash != lastDash_ || sameKind_ == 0) {
        sameKind_ = 0;
        runFrom_ = est_;
    }
    ++sameKind_;
    lastDash_ = dash;
    if (run_.size() >= kSameKindRun) run_.erase(run_.begin());
    run_.push_back(seconds);
    if (followRuns_ && !replaying_ && sameKind_ >= kSameKindRun && Resplit()) {
        // What the journal holds is read again with the new lengths, this
        // mark included; without a journal this mark alone is.
        if (!journal_.empty()) return true;
        dash = seconds > DotDashBoundary();
    }
    // One wild length (a mark merged with a neighbour) moves an estimate by
    // no more than a doubling would.
    if (dash) {
        est_.dash += kRate * (std::min(seconds, 2.0 * est_.dash) - est_.dash);
    } else {
        est_.dot += kRate * (std::max(seconds, 0.5 * est_.dot) - est_.dot);
    }
    est_.Order();
    if (code_ == 1) {
        innerGaps_.clear();
        markFirst_.clear();
        markEnd_.clear();
        markSeconds_.clear();
    }
    markFirst_.push_back(first);
    markEnd_.push_back(end);
    markSeconds_.push_back(seconds);
    // Past 31 elements the index would overflow: the character is garbage
    // anyway and keeps its first elements.
    if ((code_ & 0x80000000u) == 0) code_ = (code_ << 1) | (dash ? 1u : 0u);
    charEnded_ = wordEnded_ = false;
    return false;
}

bool MorseTiming::Resplit() {
    // Text has dots and dashes within a few marks. A long run of one kind
    // is a sender who has slowed down (his dots read as dashes) or sped up
    // (his dashes as dots): the run's own two groups are his elements now.
    std::vector<double> sorted = run_;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t split = SplitTwo(sorted);
    if (split < 3 || sorted.size() - split < 3) return false;
    const double dot = sorted[split / 2];
    const double dash = sorted[split + (sorted.size() - split) / 2];
    if (dash / dot < 2.0 || dash / dot > 5.0) return false;
    // A run of dashes is a slower sender, a run of dots a faster one. His
    // longer elements outlast what they were read as before the run (the
    // run itself has moved the estimates): a fade that shortens some of a
    // run of dots or dashes leaves the rest at their old length, and is
    // neither.
    if (lastDash_ ? dot < 1.15 * est_.dot || dash < kNewLonger * runFrom_.dash
                  : dash > est_.dash / 1.15 || dash < kNewLonger * runFrom_.dot) {
        return false;
    }
    // His letter and word gaps change with his elements.
    const double scale = dot / runFrom_.Unit();
    est_.charGap = runFrom_.charGap * scale;
    est_.wordGap = runFrom_.wordGap * scale;
    est_.dot = est_.elementGap = dot;
    est_.dash = dash;
    est_.Order();
    sameKind_ = 0;
    return true;
}

void MorseTiming::Space(double seconds) {
    if (!journal_.empty()) journal_.push_back({false, seconds, 0, 0});
    SpaceNow(seconds);
}

void MorseTiming::SpaceNow(double seconds) {
    space_ += seconds;
    if (!charEnded_ && space_ > ElementCharBoundary()) EndCharacter();
    if (!wordEnded_ && space_ > CharWordBoundary()) {
        wordEnded_ = true;
        if (emittedSinceWord_) {
            emittedSinceWord_ = false;
            Out(0, 0, 0);
        }
    }
}

void MorseTiming::SpaceEnded() {
    const double s = space_;
    space_ = 0.0;
    if (s < ElementCharBoundary()) {
        innerGaps_.push_back(s);
        est_.elementGap += kRate * (std::min(s, 2.0 * est_.elementGap) - est_.elementGap);
    } else if (s < std::max(3.0 * est_.wordGap, 3.0)) {
        // Longer pauses are the operator's, not the code's.
        LongGap(s);
    }
    est_.Order();
}

void MorseTiming::LongGap(double s) {
    // A gap read again was kept the first time.
    if (replaying_) return;
    // Kept in dots of the moment: a sender who speeds up or slows down
    // shortens or stretches his gaps with his elements, and the gaps
    // measured before still tell how he spaces.
    const double unit = est_.Unit();
    if (longGaps_.size() >= kLongGaps) longGaps_.erase(longGaps_.begin());
    longGaps_.push_back(s / unit);
    if (longGaps_.size() < 4) {
        // Too few to group: each moves the estimate it is nearest.
        double& estimate = s < CharWordBoundary() ? est_.charGap : est_.wordGap;
        estimate += kRate * (s - estimate);
        return;
    }
    // Character gaps are the commonest long gaps: their length is where the
    // long gaps crowd (within a quarter either way). Word gaps are the
    // long gaps well above that, pauses and fades aside.
    //
    // Element gaps read long (hand keying) crowd below twice the element
    // gap; taken for character gaps they would drag the word gap down after
    // them, and every letter gap would end a word: they are left out.
    const double shortest = 2.0 * est_.elementGap / unit;
    std::vector<double> sorted;
    for (double g : longGaps_) {
        if (g >= shortest) sorted.push_back(g);
    }
    if (sorted.size() < 4) return;
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::size_t> firsts(sorted.size());
    std::vector<std::size_t> counts(sorted.size());
    std::size_t most = 0;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        const auto first = std::lower_bound(sorted.begin(), sorted.end(), sorted[i] / 1.25);
        const auto last = std::upper_bound(sorted.begin(), sorted.end(), sorted[i] * 1.25);
        firsts[i] = static_cast<std::size_t>(first - sorted.begin());
        counts[i] = static_cast<std::size_t>(last - first);
        most = std::max(most, counts[i]);
    }
    // Word gaps spread wider than character gaps and can outnumber them in
    // a run of short words: the shortest crowd with half the most counts.
    std::size_t bestFirst = 0;
    std::size_t bestCount = 0;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (2 * counts[i] >= most) {
            bestFirst = firsts[i];
            bestCount = counts[i];
            break;
        }
    }
    const double charGap = sorted[bestFirst + bestCount / 2];
    std::vector<double> words;
    for (double g : sorted) {
        if (g > 1.7 * charGap && g < 3.5 * charGap) words.push_back(g);
    }
    est_.charGap = charGap * unit;
    est_.wordGap = (words.size() >= 2 ? words[words.size() / 2] : 7.0 / 3.0 * charGap) * unit;
}

void MorseTiming::EndCharacter() {
    charEnded_ = true;
    if (code_ != 1) {
        if ((code_ & 0x80000000u) == 0 && innerGaps_.size() + 1 == ElementCount(code_)) {
            Emit(code_, 0, innerGaps_.size());
        } else {
            Out(code_, markFirst_.front(), markEnd_.back());
        }
        emittedSinceWord_ = true;
    }
    code_ = 1;
    innerGaps_.clear();
}

void MorseTiming::Emit(std::uint32_t code, std::size_t firstGap, std::size_t gaps) {
    // A code no alphabet has is mostly two characters whose letter gap came
    // out short, or one with a dot or a dash near their boundary read as the
    // other: whichever needs the smaller change of a length (as a ratio to
    // its boundary) is taken.
    if (IsMorseCharacter(code)) {
        Out(code, markFirst_[firstGap], markEnd_[firstGap + gaps]);
        return;
    }
    const double dotDash = DotDashBoundary();
    double flipCost = kMostFlip;
    std::uint32_t flipped = 0;
    for (std::size_t i = 0; i <= gaps; ++i) {
        const std::uint32_t other = code ^ (1u << (gaps - i));
        const double cost = std::abs(std::log(markSeconds_[firstGap + i] / dotDash));
        if (cost < flipCost && IsMorseCharacter(other)) {
            flipCost = cost;
            flipped = other;
        }
    }
    std::size_t longest = firstGap;
    for (std::size_t i = firstGap; i < firstGap + gaps; ++i) {
        if (innerGaps_[i] > innerGaps_[longest]) longest = i;
    }
    const double splitCost =
        gaps == 0 ? kMostFlip : std::log(ElementCharBoundary() / innerGaps_[longest]);
    if (flipped != 0 && flipCost < splitCost) {
        Out(flipped, markFirst_[firstGap], markEnd_[firstGap + gaps]);
        return;
    }
    if (gaps == 0) {
        Out(code, markFirst_[firstGap], markEnd_[firstGap + gaps]);
        return;
    }
    const std::size_t before = longest - firstGap + 1;  // elements before the split
    const std::size_t after = gaps + 1 - before;
    const std::uint32_t tail = code & ((1u << after) - 1u);
    Emit((code >> after), firstGap, before - 1);
    Emit((1u << after) | tail, longest + 1, after - 1);
}

void MorseTiming::End() {
    if (!charEnded_) EndCharacter();
    space_ = 0.0;
    EndRun(false);
}

}  // namespace quelp
