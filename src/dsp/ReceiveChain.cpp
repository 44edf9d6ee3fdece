#include "dsp/ReceiveChain.h"

namespace quelp {

ReceiveChain::ReceiveChain(const SineTable& sine) : sine_(sine) {
    stages_.ConfigureFir(Fir140Hz);
}

void ReceiveChain::LoadFir(const FirTable& table, RateCode rate) {
    if (rate != RateCode::R306 && rate != RateCode::R919 && rate != RateCode::R2756 &&
        rate != RateCode::R11025) {
        return;
    }
    stages_.ConfigureFir(table);
    active_ = rate;
}

void ReceiveChain::LoadIir(const IirTable& table) {
    stages_.ConfigureIir(table.Numerators, table.Denominators, table.Gain);
    active_ = RateCode::Iir;
}

}  // namespace quelp
