#pragma once
// Port: the automation server's methods as the clients call them, and the
// event the program sends back to each client. The bus adapter turns calls
// into these and replies with their results; the core decides what they do.

#include <cstdint>
#include <string>
#include <string_view>

namespace quelp {

struct InterfaceOptions {
    std::int32_t ExDllChannel = 0;
    std::int32_t InputSoundCard = 0;  // 0 the default device, else device + 1
};

struct AutomationFreqs {
    std::int32_t RxFreq = 0;  // hertz
    std::int32_t TxFreq = 0;
};

// A method's outcome: empty `error` is success; otherwise the client gets a
// failure carrying this message.
struct AutomationResult {
    std::string error;
};

class AutomationServer {
  public:
    virtual ~AutomationServer() = default;
    // Every call names its client (the connection): its first call creates
    // the client's object.
    virtual void ClientCall(const std::string& client) = 0;
    // The client's connection is gone: its object dies.
    virtual void ClientLeft(const std::string& client) = 0;

    virtual std::int32_t GetRxLength() = 0;
    virtual std::string GetRxText(std::int32_t startPosition) = 0;  // UTF-8
    virtual void ClearRxText() = 0;
    virtual InterfaceOptions GetInterfaceOptions() = 0;
    virtual void SetInterfaceOptions(std::int32_t exDllChannel, std::int32_t inputSoundCard) = 0;
    virtual void ShowSetup(std::int32_t pageNum) = 0;
    virtual AutomationResult SaveSetup() = 0;
    virtual AutomationFreqs GetFreqs() = 0;
    virtual void HideShow(std::int32_t show) = 0;
    virtual void BeforeDisconnect(const std::string& client) = 0;
};

// What the program sends to one client: the caught-word event.
class AutomationEvents {
  public:
    virtual ~AutomationEvents() = default;
    virtual void OnCommandEx(std::string_view client, std::uint32_t commandW,
                             std::uint32_t commandL, std::string_view commandText) = 0;
};

}  // namespace quelp
