#pragma once
// The automation clients: one object per client connection, created at the
// connection's first call. The first eight objects take the eight event
// slots; later ones work for calls but hear no events (index -1).

#include <array>
#include <map>
#include <string>
#include <string_view>

namespace quelp {

class AutomationClients {
  public:
    static constexpr int kSlots = 8;

    // The object of `client`, created when it has none yet; returns its slot
    // index, or -1 when it has none.
    int Attach(const std::string& client);
    // Whether `client` has an object (with or without a slot).
    bool Has(const std::string& client) const { return objects_.count(client) != 0; }
    // The slot of `client`'s object, -1 when it has none (or no object).
    int IndexOf(const std::string& client) const;
    // The client asks for no more events: its slot empties, its object
    // lives on without one.
    void Disconnect(const std::string& client);
    // The client left: its object dies. False when it had none.
    bool Release(const std::string& client);
    // Objects alive, with or without a slot.
    int Live() const { return static_cast<int>(objects_.size()); }
    // Slots taken, and the client of the k-th taken slot in slot order.
    int Occupied() const;
    std::string_view Occupant(int k) const;

  private:
    std::array<std::string, kSlots> slots_;  // empty: free
    std::map<std::string, int, std::less<>> objects_;
};

}  // namespace quelp
