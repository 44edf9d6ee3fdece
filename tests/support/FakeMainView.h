#pragma once
// Records every call of the main view, so tests can check what an operator
// would see: status panels, captions, check marks, messages.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "ports/MainView.h"

namespace quelp::test {

class FakeMainView : public MainView {
  public:
    void SetStatusText(int panel, std::string_view text) override;
    void SetCaption(UiItem item, std::string_view caption) override;
    void SetChecked(UiItem item, bool checked) override;
    void SetEnabled(UiItem item, bool enabled) override;
    void SetDown(UiItem item, bool down) override;
    void SetText(UiItem item, std::string_view text) override;
    void ShowMessage(std::string_view text, std::string_view caption) override;
    void ProcessMessages() override;
    void UpdateDisplays() override;

    // Latest state, as the window would show it.
    std::map<int, std::string> status;
    std::map<UiItem, std::string> captions;
    std::map<UiItem, bool> checked;
    std::map<UiItem, bool> enabled;
    std::map<UiItem, bool> down;
    std::map<UiItem, std::string> texts;
    // Message boxes in order: (text, caption).
    std::vector<std::pair<std::string, std::string>> messages;
    // Every call in order, one line each ("status 4 100 LPM", "message ...").
    std::vector<std::string> calls;
    int messagePumps = 0;
    int displayUpdates = 0;

    std::string Status(int panel) const;
};

}  // namespace quelp::test
