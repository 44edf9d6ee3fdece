// quelp: the decoder's window. It builds the same application object as the
// command-line decoder, with the window, the sound card and the desktop as
// its ports, and runs Qt's event loop.

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QIcon>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "adapters/posix/FileSync.h"
#include "adapters/posix/PosixCaptureSink.h"
#include "adapters/posix/SystemClock.h"
#include "app/QuelpApp.h"
#include "ui/QtClipboard.h"
#include "ui/QtDesktopOpener.h"
#include "ui/QtEventLoop.h"
#include "ui/QtFileDialogs.h"
#include "ui/TRxForm.h"
#ifdef QUELP_LIVE
#include "adapters/portaudio/PortAudioDriver.h"
#endif
#ifdef QUELP_EXCHANGE
#include "adapters/varnokex/ExchangeLoader.h"
#endif
#ifdef QUELP_DBUS
#include <QDBusConnection>

#include "adapters/dbus/DBusAutomationObject.h"
#include "adapters/dbus/DBusMessageBus.h"
#include "app/QuelpXServer.h"
#include "integration/ServerRegistration.h"
#include "ui/AutomationWindow.h"
#endif
#ifdef QUELP_RIG
#include "adapters/hamlib/HamlibRigServer.h"
#include "ui/RigSetupDialog.h"
#endif

namespace {

// The icon from the desktop's theme, else the one installed beside the
// program (share/icons of the same prefix).
QIcon ProgramIcon() {
    const QString installed =
        QDir(QCoreApplication::applicationDirPath())
            .filePath(QStringLiteral("../share/icons/hicolor/scalable/apps/quelp.svg"));
    return QIcon::fromTheme(QStringLiteral("quelp"), QIcon(installed));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quelp"));
    QGuiApplication::setDesktopFileName(QStringLiteral("quelp"));
    QApplication::setWindowIcon(ProgramIcon());
    // Qt has taken its own options out of argv by now.
    const std::vector<std::string> args(argv, argv + argc);

#ifdef QUELP_DBUS
    // The automation server's switches: registration is the bus activation
    // file, written at every ordinary start so it names the program last
    // started.
    const quelp::ServerSwitch serverSwitch = quelp::FindServerSwitch(args);
    const auto servicesDir =
        quelp::UserServicesDir(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    const std::string executable = QCoreApplication::applicationFilePath().toStdString();
    if (serverSwitch == quelp::ServerSwitch::RegServer) {
        return quelp::RegisterServer(servicesDir, executable) ? EXIT_SUCCESS : EXIT_FAILURE;
    }
    if (serverSwitch == quelp::ServerSwitch::UnregServer) {
        return quelp::UnregisterServer(servicesDir) ? EXIT_SUCCESS : EXIT_FAILURE;
    }
    if (serverSwitch == quelp::ServerSwitch::None) {
        static_cast<void>(quelp::RegisterServer(servicesDir, executable));
    }
#endif

    quelp::ui::TRxForm form;
    quelp::SystemClock clock;
    quelp::PosixCaptureSink captureFile;
    quelp::ui::QtFileDialogs dialogs(&form);
    quelp::ui::QtDesktopOpener desktop;
    quelp::ui::QtEventLoop events;
    quelp::ui::QtClipboard clipboard;
    quelp::QuelpPorts ports{form, clock, dialogs, form.Memo(), &captureFile};
    ports.events = &events;
    ports.desktop = &desktop;
    ports.clipboard = &clipboard;
#ifdef QUELP_EXCHANGE
    quelp::varnokex::ExchangeLoader exchange(quelp::varnokex::ExchangeLoader::LibraryFile(
        QCoreApplication::applicationDirPath().toStdString()));
    if (exchange.Loaded()) ports.exchange = &exchange;
#endif
#ifdef QUELP_LIVE
    quelp::PortAudioDriver input(quelp::PortAudioDriver::Direction::Input);
    quelp::PortAudioDriver output(quelp::PortAudioDriver::Direction::Output);
    ports.soundInDriver = &input;
    ports.soundOutDriver = &output;
#endif
#ifdef QUELP_RIG
    // The rig server keeps its own settings beside the user's other
    // programs' configuration; its window edits them for the next connect.
    const auto rigsFile =
        quelp::HamlibSettingsPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    quelp::HamlibRigServer rigServer(quelp::LoadHamlibSettings(rigsFile));
    rigServer.SetSetupWindow([&] {
        quelp::ui::RigSetupDialog dialog(&form, quelp::HamlibRigServer::Models(),
                                         rigServer.Settings());
        if (dialog.exec() != QDialog::Accepted) return true;
        rigServer.SetSettings(dialog.Settings());
        if (!quelp::SaveHamlibSettings(rigsFile, dialog.Settings())) {
            form.ShowMessage("Unable to write to " + rigsFile.string(), "Error");
        }
        return true;
    });
    ports.rigServer = &rigServer;
#endif
    quelp::QuelpApp app(ports);
    app.SetSettingsSync(&quelp::SyncFileToDisk);
#ifdef QUELP_DBUS
    // The automation server is on the bus before the window starts up;
    // early calls see the built-in settings.
    const QDBusConnection bus = QDBusConnection::sessionBus();
    quelp::QuelpXServer automation(app);
    quelp::dbus::DBusAutomationObject automationObject(bus, automation);
    quelp::dbus::DBusMessageBus messages(bus);
    automation.SetEvents(&automationObject);
    automation.SetWindowHooks(
        quelp::ui::AutomationWindowFor(form, serverSwitch == quelp::ServerSwitch::Automation));
    quelp::IntegrationHooks integration;
    automation.FillHooks(integration);
#ifdef QUELP_EXCHANGE
    integration.initExchangeLibrary = [&exchange](int channel) {
        return exchange.Init(channel) != 0;
    };
#endif
    integration.registerMessages = [&messages, &app] {
        static_cast<void>(messages.ListenForKeyMessage(
            [&app](std::uint32_t word, std::int32_t param) { app.VadCwMessage(word, param); }));
    };
    integration.broadcastKeyCode = [&messages](int code) { messages.BroadcastKeyCode(code); };
    integration.broadcastMessage = [&messages](std::uint32_t word, std::int32_t param) {
        messages.BroadcastLogMessage(word, param);
    };
    app.SetIntegrationHooks(std::move(integration));
    static_cast<void>(automationObject.Register());
#endif
    events.SetHandler([&app](std::uint32_t message) { app.HandleMessage(message); });
    form.Attach(app, args, QCoreApplication::applicationDirPath().toStdString());
    form.show();
    const int status = qt.exec();
    // However the loop ended, the devices and the capture file close.
    static_cast<void>(app.Shutdown());
    return status;
}
