#pragma once
// The window with the application behind it and fake ports for everything
// outside (dialogs, capture file, desktop, sound card), shown on Qt's
// off-screen platform. Message boxes are recorded instead of shown.

#include <QCoreApplication>
#include <QTest>
#include <string>
#include <utility>
#include <vector>

#include "app/QuelpApp.h"
#include "settings/TempDir.h"
#include "support/FakeCaptureSink.h"
#include "support/FakeClipboard.h"
#include "support/FakeClock.h"
#include "support/FakeDesktopOpener.h"
#include "support/FakeFileDialogs.h"
#include "support/FakeSoundDriver.h"
#include "support/ScriptedRig.h"
#include "ui/QtEventLoop.h"
#include "ui/TRxForm.h"

namespace quelp::test {

template <class ClockT = FakeClock>
struct BasicWindowRig {
    test::TempDir dir;
    ui::TRxForm form;
    ClockT clock;
    FakeFileDialogs dialogs;
    FakeCaptureSink sink;
    FakeDesktopOpener desktop;
    FakeClipboard clipboard;
    FakeSoundDriver input;
    FakeSoundDriver output;
    ScriptedRig rig;
    ui::QtEventLoop events;
    QuelpApp app{Ports()};
    std::vector<std::pair<std::string, std::string>> messages;

    BasicWindowRig() {
        form.SetMessageBox([this](const QString& text, const QString& caption) {
            messages.emplace_back(text.toStdString(), caption.toStdString());
        });
        events.SetHandler([this](std::uint32_t message) { app.HandleMessage(message); });
        form.Attach(app, {"quelp", "/F", dir.File("QUELP.INI")}, dir.path());
    }
    ~BasicWindowRig() { static_cast<void>(app.Shutdown()); }
    BasicWindowRig(const BasicWindowRig&) = delete;
    BasicWindowRig& operator=(const BasicWindowRig&) = delete;

    QuelpPorts Ports() {
        QuelpPorts p{form, clock, dialogs, form.Memo(), &sink};
        p.soundInDriver = &input;
        p.soundOutDriver = &output;
        p.events = &events;
        p.desktop = &desktop;
        p.rigServer = &rig;
        p.clipboard = &clipboard;
        return p;
    }

    // Shows the window and waits for the start-up that its first showing
    // starts (the start-up timer shortened).
    void Start() {
        form.Timer2().setInterval(0);
        form.show();
        ASSERT_TRUE(QTest::qWaitFor([this] { return app.DeferredInitDone(); }, 2000));
    }

    std::string Panel(int panel) const { return form.Panel(panel)->text().toStdString(); }
    std::string Caption(UiItem item) const { return form.Item(item)->text().toStdString(); }
};

using WindowRig = BasicWindowRig<>;

}  // namespace quelp::test
