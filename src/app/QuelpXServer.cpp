#include "app/QuelpXServer.h"

#include <cmath>
#include <limits>

#include "app/QuelpApp.h"

namespace quelp {

namespace {
// The input devices a client may choose: 0 the default, 1..10 devices 0..9.
constexpr std::int32_t kLastInputChoice = 10;
// The receive filter's centre counts sixteenths of a 2048-point bin.
constexpr double kPhaseStepsPerRate = 32768.0;
constexpr double kBinsPerRate = 2048.0;

std::int32_t Nearest(double hz) {
    return static_cast<std::int32_t>(std::floor(hz + 0.5));
}
}  // namespace

void QuelpXServer::FillHooks(IntegrationHooks& hooks) {
    hooks.clientsHoldProgram = [this] { return clients_.Live() > 0; };
    hooks.automationObjects = [this] { return clients_.Occupied(); };
    hooks.fireCommandEx = [this](int object, std::int32_t commandW, std::int32_t commandL,
                                 std::string_view text) {
        const std::string_view client = clients_.Occupant(object);
        if (events_ == nullptr || client.empty()) return;
        events_->OnCommandEx(client, static_cast<std::uint32_t>(commandW),
                             static_cast<std::uint32_t>(commandL), text);
    };
}

void QuelpXServer::ClientCall(const std::string& client) {
    if (client.empty() || clients_.Has(client)) return;
    static_cast<void>(clients_.Attach(client));
    if (clients_.Live() == 1) RunHook(window_.removeCloseCommand);
    app_.AutomationClientsChanged(clients_.Live());
}

void QuelpXServer::ClientLeft(const std::string& client) {
    if (!clients_.Release(client)) return;
    app_.AutomationClientsChanged(clients_.Live());
    if (clients_.Live() == 0) RunHook(window_.lastClientGone);
}

std::int32_t QuelpXServer::GetRxLength() {
    const std::size_t n = app_.RxTextBytes();
    return n > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())
               ? std::numeric_limits<std::int32_t>::max()
               : static_cast<std::int32_t>(n);
}

std::string QuelpXServer::GetRxText(std::int32_t startPosition) {
    return app_.RxTextUtf8(startPosition < 0 ? 0u : static_cast<std::size_t>(startPosition));
}

void QuelpXServer::ClearRxText() {
    app_.ClearBuffer1Click();
}

InterfaceOptions QuelpXServer::GetInterfaceOptions() {
    const int device = app_.Params().Cards.SoundCardNumber;
    return {app_.Params().ExCanal, device < 0 ? 0 : device + 1};
}

void QuelpXServer::SetInterfaceOptions(std::int32_t exDllChannel, std::int32_t inputSoundCard) {
    if (exDllChannel >= 0) app_.SetExCanal(exDllChannel);
    if (inputSoundCard >= 0 && inputSoundCard <= kLastInputChoice) {
        app_.RestartSoundInput(inputSoundCard - 1);
    }
}

void QuelpXServer::ShowSetup(std::int32_t pageNum) {
    app_.ShowSetupPage(pageNum);
}

AutomationResult QuelpXServer::SaveSetup() {
    switch (app_.SaveSettings(false)) {
        case SettingsSaveResult::Saved:
            return {};
        case SettingsSaveResult::Busy:
            return {"Settings are being saved"};
        case SettingsSaveResult::Failed:
            break;
    }
    return {"Unable to write to " + app_.Params().SettingsPath};
}

AutomationFreqs QuelpXServer::GetFreqs() {
    const double rate = app_.Rx().Params().SamplingFreq;
    return {Nearest(app_.Rx().Tune().PhaseStep() * rate / kPhaseStepsPerRate),
            Nearest(app_.Rx().Tune().TxBin() * rate / kBinsPerRate)};
}

void QuelpXServer::HideShow(std::int32_t show) {
    RunHook(window_.hideShow, show != 0);
}

void QuelpXServer::BeforeDisconnect(const std::string& client) {
    clients_.Disconnect(client);
}

}  // namespace quelp
