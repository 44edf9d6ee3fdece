#include "app/QuelpApp.h"

namespace quelp {

QuelpApp::QuelpApp(QuelpPorts ports)
    : ports_(ports),
      decoder_(params_, ports.view, DisplayHoldOff),
      capture_(params_, ports.view, ports.clock, ports.dialogs, ports.captureSink, DisplayHoldOff),
      rxOutput_(params_, tables_, ports.rxMemo, capture_, ports.exchange) {
    decoder_.EmitCharacter = [this](std::uint32_t code) { rxOutput_.EmitCharacter(code); };
}

}  // namespace quelp
