#include "support/FakeMainView.h"

namespace quelp::test {

void FakeMainView::SetStatusText(int panel, std::string_view text) {
    status[panel] = std::string(text);
    calls.push_back("status " + std::to_string(panel) + " " + std::string(text));
}
void FakeMainView::SetCaption(UiItem item, std::string_view caption) {
    captions[item] = std::string(caption);
    calls.push_back("caption " + std::to_string(static_cast<int>(item)) + " " +
                    std::string(caption));
}
void FakeMainView::SetChecked(UiItem item, bool value) {
    checked[item] = value;
    calls.push_back("checked " + std::to_string(static_cast<int>(item)) + " " +
                    std::to_string(value));
}
void FakeMainView::SetEnabled(UiItem item, bool value) {
    enabled[item] = value;
    calls.push_back("enabled " + std::to_string(static_cast<int>(item)) + " " +
                    std::to_string(value));
}
void FakeMainView::SetDown(UiItem item, bool value) {
    down[item] = value;
    calls.push_back("down " + std::to_string(static_cast<int>(item)) + " " + std::to_string(value));
}
void FakeMainView::SetText(UiItem item, std::string_view text) {
    texts[item] = std::string(text);
    calls.push_back("text " + std::to_string(static_cast<int>(item)) + " " + std::string(text));
}
void FakeMainView::ShowMessage(std::string_view text, std::string_view caption) {
    messages.emplace_back(std::string(text), std::string(caption));
    calls.push_back("message " + std::string(caption) + ": " + std::string(text));
}
void FakeMainView::ProcessMessages() {
    ++messagePumps;
}
void FakeMainView::UpdateDisplays() {
    ++displayUpdates;
}

std::string FakeMainView::Status(int panel) const {
    auto it = status.find(panel);
    return it == status.end() ? std::string() : it->second;
}

}  // namespace quelp::test
