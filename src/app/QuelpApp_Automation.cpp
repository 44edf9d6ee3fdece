// What the automation clients and the other programs' messages reach in the
// application: the exchange channel, the closing restriction, the receive
// text as clients read it, and the registered key message's requests.

#include "app/QuelpApp.h"
#include "text/CodePage.h"

namespace quelp {

namespace {
// Codes of the key message at or below this are key codes, the program's
// own broadcasts among them.
constexpr std::uint32_t kLastKeyCode = 36;
constexpr std::uint32_t kSaveRequest = 113;
constexpr std::uint32_t kReplayRequest = 114;
constexpr std::uint32_t kSaveAndDecodeRequest = 115;
constexpr std::uint32_t kGoToMaxRequest = 116;
}  // namespace

void QuelpApp::InitExchangeLibrary() {
    if (!integration_.initExchangeLibrary) return;
    if (!integration_.initExchangeLibrary(params_.ExCanal)) {
        ports_.view.ShowMessage("VARNOKEX.DLL initialization error!", "Error");
    }
}

void QuelpApp::SetExCanal(int channel) {
    if (channel < 0) return;
    params_.ExCanal = channel;
    if (channel != 0) InitExchangeLibrary();
}

void QuelpApp::AutomationClientsChanged(int live) {
    ports_.view.SetEnabled(UiItem::Exit, live <= 0);
}

std::size_t QuelpApp::RxTextBytes() const {
    return ports_.rxMemo.WholeText().size();
}

std::string QuelpApp::RxTextUtf8(std::size_t start) const {
    const std::string bytes = ports_.rxMemo.WholeText();
    if (start >= bytes.size()) return {};
    return CodePageToUtf8(CodePageOfCharset(window_.RxFont.Charset),
                          std::string_view(bytes).substr(start));
}

void QuelpApp::VadCwMessage(std::uint32_t word, std::int32_t seconds) {
    if (word <= kLastKeyCode) return;
    switch (word & 0xFFu) {
        case kSaveRequest:
            HistorySaveRequest(seconds);
            break;
        case kReplayRequest:
            HistoryReplayRequest(seconds);
            break;
        case kSaveAndDecodeRequest:
            HistorySaveAndDecodeRequest(seconds);
            break;
        case kGoToMaxRequest:
            receiver_.GoToMax();
            break;
        default:
            break;
    }
}

}  // namespace quelp
