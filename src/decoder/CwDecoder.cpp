#include "decoder/CwDecoder.h"

#include "dsp/MainFilterTable.h"

namespace quelp {

TCwDecoder::TCwDecoder(const SineTable& sine, const DetectorLevels& levels,
                       const DecoderSpeed& speed, const ChannelReuse& reuse)
    : sine_(sine), levels_(levels), speed_(speed), reuse_(reuse) {
    SetFilter(kDefaultFilter);
}

void TCwDecoder::SetFilter(int code) {
    const MainFilterRow& row = ResolveMainFilter(code);
    FilterKind = row.Code;
    if (row.Fir != nullptr) {
        stages_.ConfigureFir(*row.Fir);
    } else if (row.Iir != nullptr) {
        stages_.ConfigureIir(row.Iir->Numerators, row.Iir->Denominators, row.Iir->Gain);
    }
    rate_ = row.Rate;
    gates_ = StageGates{};
    held_ = 0.0;
}

void TCwDecoder::SetBurstLength(std::int32_t samples) {
    // A length below 1 would hold the filtered key down for good.
    Burst.BurstLength = samples < 1 ? 1 : samples;
    ResetPhase = true;
}

void TCwDecoder::ApplySpeedWindow(std::int32_t lowerDotLimit, std::int32_t upperDotLimit) {
    if (DotLen < lowerDotLimit) {
        DotLen = ShortPauseLen = lowerDotLimit;
        DashLen = 3 * lowerDotLimit;
    }
    if (DotLen > upperDotLimit) {
        DotLen = ShortPauseLen = upperDotLimit;
        DashLen = 3 * upperDotLimit;
    }
}

}  // namespace quelp
