#include "integration/OmniWork.h"

#include <algorithm>
#include <limits>

#include "dsp/Bins.h"

namespace quelp {

namespace {

constexpr int kAnswerTries = 3;
constexpr int kAnswerWaitMs = 200;

std::int32_t SaturatedSum(std::int32_t a, std::int32_t b) {
    const std::int64_t sum = std::int64_t{a} + b;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        sum, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

bool Answered(std::int32_t value) {
    return static_cast<std::uint32_t>(value) != rig_param::kUnknown;
}

}  // namespace

TOmniWork::TOmniWork(RigServer* server, Clock& clock, RigTuneTarget& target)
    : server_(server), clock_(clock), target_(target) {}

int TOmniWork::Connect(int rigNumber) {
    state_ &= 1;
    if (rigNumber < 1 || rigNumber > 2) return 0;
    if ((state_ & 1) == 0) {
        if (server_ == nullptr || !server_->Create()) {
            state_ = 0;
            return 0;
        }
        state_ = 1;
    }
    if (!server_->SelectRig(rigNumber)) {
        state_ = 0;
        return 0;
    }
    const auto readable = server_->Get(RigProperty::Readable);
    const auto writable = server_->Get(RigProperty::Writable);
    if (!readable || !writable || !server_->Get(RigProperty::Mode)) {
        state_ = 0;
        return 0;
    }
    readable_ = static_cast<std::uint32_t>(*readable);
    writable_ = static_cast<std::uint32_t>(*writable);
    state_ = kConnected;
    return kConnected;
}

std::optional<std::uint32_t> TOmniWork::RigMode() {
    if (state_ != kConnected) return rig_param::kUnknown;
    const auto mode = server_->Get(RigProperty::Mode);
    if (!mode) return std::nullopt;
    return static_cast<std::uint32_t>(*mode);
}

std::uint32_t TOmniWork::CanWrite(std::uint32_t bits) const {
    return state_ == kConnected ? (bits & writable_) : 0;
}

int TOmniWork::TuneToMark(int mode) {
    const double rate = target_.SamplingFreq();
    const std::int32_t hz = BinToHz(target_.SignalBin() - target_.TxBin(), rate);
    return Retune(mode, hz, HzToBin(hz, rate), true);
}

int TOmniWork::TuneBy(int mode, int hz) {
    // The shift in bins through the mixer's sixteenth-of-a-bin steps, as
    // the wheel's fine tuning counts them.
    const int shift = (HzToBin(16.0 * hz, target_.SamplingFreq()) + 8) / 16;
    return Retune(mode, hz, shift, false);
}

int TOmniWork::ShowSetup(int rigNumber) {
    if (state_ != kConnected && Connect(rigNumber) != kConnected) {
        // The rig itself may be what is wrong: its settings must still be
        // reachable as long as the server is.
        if (server_ == nullptr || !server_->Create()) return 1;
        state_ |= 1;
    }
    return server_->ShowSetup() ? 0 : 2;
}

int TOmniWork::Retune(int mode, std::int32_t hz, int shift, bool toMark) {
    if (mode == tune_rig::kNone) return rig_tune::kNoTuning;
    if (state_ != kConnected) return rig_tune::kNotConnected;

    const auto rigMode = ReadAnswered(RigProperty::Mode);
    if (!rigMode) return rig_tune::kNotConnected;
    if (!Answered(*rigMode)) return rig_tune::kNoMode;
    if (rig_param::LowerSideband(static_cast<std::uint32_t>(*rigMode))) hz = SaturatedSum(0, -hz);

    int result = rig_tune::kBadMode;
    if (mode == tune_rig::kRit) result = RetuneRit(hz);
    if (mode == tune_rig::kMainVfo) result = RetuneVfo(hz);
    if (result != rig_tune::kDone) return result;

    if (toMark) target_.ReceiveAtMark();
    target_.ShiftSpectrumPeak(shift);
    return rig_tune::kDone;
}

int TOmniWork::RetuneRit(std::int32_t hz) {
    const auto rit = ReadAnswered(RigProperty::Rit);
    if (!rit) return rig_tune::kNotConnected;
    if (!Answered(*rit)) return rig_tune::kNoRitState;
    if (static_cast<std::uint32_t>(*rit) == rig_param::kRitOff) {
        // A RIT that was off starts from zero, whatever offset it kept.
        target_.FreezeSpectrumPeak();
        if (!server_->ClearRit()) return rig_tune::kNotConnected;
        if (!Write(RigProperty::Rit, static_cast<std::int32_t>(rig_param::kRitOn))) {
            return rig_tune::kNotConnected;
        }
        return Write(RigProperty::RitOffset, hz) ? rig_tune::kDone : rig_tune::kNotConnected;
    }
    return AddTo(RigProperty::RitOffset, hz) ? rig_tune::kDone : rig_tune::kNotConnected;
}

int TOmniWork::RetuneVfo(std::int32_t hz) {
    using namespace rig_param;
    const std::uint32_t both = kFreqA | kFreqB;
    if ((readable_ & both) == both && (writable_ & both) == both) {
        const auto vfo = ReadAnswered(RigProperty::Vfo);
        if (!vfo) return rig_tune::kNotConnected;
        if (!Answered(*vfo)) return rig_tune::kNoVfo;
        const RigProperty freq =
            ReceivesOnB(static_cast<std::uint32_t>(*vfo)) ? RigProperty::FreqB : RigProperty::FreqA;
        return AddTo(freq, hz) ? rig_tune::kDone : rig_tune::kNotConnected;
    }
    if ((readable_ & kFreq) != 0 && (writable_ & kFreq) != 0) {
        return AddTo(RigProperty::Freq, hz) ? rig_tune::kDone : rig_tune::kNotConnected;
    }
    return rig_tune::kNoFrequency;
}

std::optional<std::int32_t> TOmniWork::ReadAnswered(RigProperty property) {
    std::optional<std::int32_t> value;
    for (int i = 0; i < kAnswerTries; ++i) {
        value = server_->Get(property);
        if (!value || Answered(*value)) return value;
        clock_.SleepMs(kAnswerWaitMs);
    }
    return value;
}

bool TOmniWork::AddTo(RigProperty property, std::int32_t hz) {
    const auto now = server_->Get(property);
    return now && Write(property, SaturatedSum(*now, hz));
}

bool TOmniWork::Write(RigProperty property, std::int32_t value) {
    target_.FreezeSpectrumPeak();
    return server_->Set(property, value);
}

}  // namespace quelp
