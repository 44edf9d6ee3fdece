#pragma once
// The main filter and burst filter menus: what a menu choice (or the stored
// setting at start-up) changes in the receive chain, the decoders and the main
// window.

#include <cstdint>
#include <functional>

#include "dsp/ReceiveChain.h"
#include "ports/MainView.h"

namespace quelp {

class FilterMenus {
  public:
    // burstLength: the main decoder's burst filter length in samples, which
    // the burst filter menu sets.
    FilterMenus(ReceiveChain& chain, MainView& view, int32_t& burstLength);

    // Loads the main filter of `code` (aliases 1, 2, 3 = 600, 3500, 20; any
    // other unknown code = 140), shows it, stores the canonical code and hands
    // it to the multi-channel decoder.
    void SelectMainFilter(int code);

    // Sets the burst filter for a keying speed in letters per minute:
    // BurstLength = 35000 / lpm rounded. A speed below 1 is ignored; a speed
    // so high that the length would round to 0 gets the shortest length, 1.
    void SelectBurstFilter(int32_t lpm);

    // Start-up: takes the stored length as it is (no conversion from LPM),
    // raises the phase reset and hands the length to the multi-channel
    // decoder. Nothing is shown yet; ShowBurstFilter does that later.
    void RestoreBurstLength(int32_t length);

    // Shows the burst filter speed computed back from BurstLength (menu
    // caption and status panel 1).
    void ShowBurstFilter();

    // The selected main filter, canonical ("FilterWidth" in the settings).
    int MainFilterCode = 140;

    // The multi-channel decoder's hand-overs: the canonical main filter code,
    // and the new burst length.
    std::function<void(int)> MainFilterHook;
    std::function<void(int32_t)> BurstLengthHook;

  private:
    ReceiveChain& chain_;
    MainView& view_;
    int32_t& burstLength_;
};

}  // namespace quelp
