#include "integration/AutomationClients.h"

namespace quelp {

int AutomationClients::Attach(const std::string& client) {
    if (const auto it = objects_.find(client); it != objects_.end()) return it->second;
    int index = -1;
    for (int i = 0; i < kSlots; ++i) {
        if (slots_[static_cast<std::size_t>(i)].empty()) {
            index = i;
            slots_[static_cast<std::size_t>(i)] = client;
            break;
        }
    }
    objects_.emplace(client, index);
    return index;
}

int AutomationClients::IndexOf(const std::string& client) const {
    const auto it = objects_.find(client);
    return it == objects_.end() ? -1 : it->second;
}

void AutomationClients::Disconnect(const std::string& client) {
    const auto it = objects_.find(client);
    if (it == objects_.end() || it->second < 0) return;
    slots_[static_cast<std::size_t>(it->second)].clear();
    it->second = -1;
}

bool AutomationClients::Release(const std::string& client) {
    Disconnect(client);
    return objects_.erase(client) != 0;
}

int AutomationClients::Occupied() const {
    int n = 0;
    for (const std::string& s : slots_) n += s.empty() ? 0 : 1;
    return n;
}

std::string_view AutomationClients::Occupant(int k) const {
    for (const std::string& s : slots_) {
        if (s.empty()) continue;
        if (k-- == 0) return s;
    }
    return {};
}

}  // namespace quelp
