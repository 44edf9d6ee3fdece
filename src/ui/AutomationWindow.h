#pragma once
// What the automation server asks of the main window: showing or
// minimising it for a client, taking its close command away while clients
// hold the program, and ending a program that was started only for them.

#include "app/QuelpXServer.h"

namespace quelp::ui {

class TRxForm;

// `endWithLastClient`: the program was started by the bus for its clients
// and quits when the last one leaves.
AutomationWindowHooks AutomationWindowFor(TRxForm& form, bool endWithLastClient);

}  // namespace quelp::ui
