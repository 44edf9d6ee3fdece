#pragma once
// The fake ports an application object needs to run without a window, for
// tests that add a port of their own (a rig server) before the application:
// derive, declare that port, then `QuelpApp app{With(&port)}`.

#include "app/QuelpApp.h"
#include "support/FakeClock.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeMainView.h"
#include "support/FakeReceiveText.h"

namespace quelp::test {

struct FakeAppPorts {
    FakeMainView view;
    FakeClock clock;
    FakeFileDialogs dialogs;
    FakeReceiveText rx;

    QuelpPorts With(RigServer* rigServer) {
        QuelpPorts p{view, clock, dialogs, rx};
        p.rigServer = rigServer;
        return p;
    }
};

}  // namespace quelp::test
