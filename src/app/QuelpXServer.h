#pragma once
// The automation server's methods on the application, and its client
// objects: which client holds which event slot, when the program may close,
// and who hears the caught-word event.

#include <cstdint>
#include <functional>
#include <string>

#include "app/AppHooks.h"
#include "integration/AutomationClients.h"
#include "ports/AutomationServer.h"

namespace quelp {

class QuelpApp;

// What the window adds to the server.
struct AutomationWindowHooks {
    // Restore the window from the minimised state (true) or minimise it.
    std::function<void(bool show)> hideShow;
    // The first client object appeared: the window's close command goes
    // (and is not given back).
    std::function<void()> removeCloseCommand;
    // The last client object died (a program started for the clients ends).
    std::function<void()> lastClientGone;
};

class QuelpXServer final : public AutomationServer {
  public:
    explicit QuelpXServer(QuelpApp& app) : app_(app) {}

    void SetEvents(AutomationEvents* events) { events_ = events; }
    void SetWindowHooks(AutomationWindowHooks hooks) { window_ = std::move(hooks); }
    // The application's automation hooks (objects, events, the closing
    // restriction) served by this server.
    void FillHooks(IntegrationHooks& hooks);
    const AutomationClients& Clients() const { return clients_; }

    void ClientCall(const std::string& client) override;
    void ClientLeft(const std::string& client) override;
    std::int32_t GetRxLength() override;
    std::string GetRxText(std::int32_t startPosition) override;
    void ClearRxText() override;
    InterfaceOptions GetInterfaceOptions() override;
    void SetInterfaceOptions(std::int32_t exDllChannel, std::int32_t inputSoundCard) override;
    void ShowSetup(std::int32_t pageNum) override;
    AutomationResult SaveSetup() override;
    AutomationFreqs GetFreqs() override;
    void HideShow(std::int32_t show) override;
    void BeforeDisconnect(const std::string& client) override;

  private:
    QuelpApp& app_;
    AutomationEvents* events_ = nullptr;
    AutomationWindowHooks window_;
    AutomationClients clients_;
};

}  // namespace quelp
