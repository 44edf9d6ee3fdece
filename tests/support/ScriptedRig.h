#pragma once
// A rig-control server whose rig answers from a table the test sets: each
// property has a value, a queue of answers given before it (to script a
// rig that says "unknown" a few times) and can be made to fail. Every call
// is logged in order.

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ports/RigServer.h"

namespace quelp::test {

inline const char* RigPropertyName(RigProperty p) {
    switch (p) {
        case RigProperty::Readable:
            return "Readable";
        case RigProperty::Writable:
            return "Writable";
        case RigProperty::Mode:
            return "Mode";
        case RigProperty::Rit:
            return "Rit";
        case RigProperty::RitOffset:
            return "RitOffset";
        case RigProperty::Vfo:
            return "Vfo";
        case RigProperty::Freq:
            return "Freq";
        case RigProperty::FreqA:
            return "FreqA";
        case RigProperty::FreqB:
            return "FreqB";
    }
    return "?";
}

class ScriptedRig : public RigServer {
  public:
    static constexpr std::int32_t kEverything = 0x7FFFFFFE;

    ScriptedRig() {
        using namespace rig_param;
        values = {{RigProperty::Readable, kEverything}, {RigProperty::Writable, kEverything},
                  {RigProperty::Mode, kCwUpper},        {RigProperty::Rit, kRitOn},
                  {RigProperty::RitOffset, 0},          {RigProperty::Vfo, kVfoA},
                  {RigProperty::Freq, 7010000},         {RigProperty::FreqA, 7010000},
                  {RigProperty::FreqB, 7020000}};
    }

    bool Create() override {
        calls.push_back("create");
        return createWorks;
    }
    bool SelectRig(int number) override {
        calls.push_back("select " + std::to_string(number));
        selected = number;
        return reachable.count(number) != 0;
    }
    std::optional<std::int32_t> Get(RigProperty p) override {
        calls.push_back(std::string("get ") + RigPropertyName(p));
        // Scripted answers come first, then failure or the value.
        auto& queue = script[p];
        if (!queue.empty()) {
            const std::int32_t answer = queue.front();
            queue.pop_front();
            return answer;
        }
        if (failing.count(p) != 0) return std::nullopt;
        return values[p];
    }
    bool Set(RigProperty p, std::int32_t value) override {
        calls.push_back(std::string("set ") + RigPropertyName(p) + " " + std::to_string(value));
        if (failing.count(p) != 0) return false;
        values[p] = value;
        return true;
    }
    bool ClearRit() override {
        calls.push_back("clear rit");
        values[RigProperty::RitOffset] = 0;
        return true;
    }
    bool ShowSetup() override {
        calls.push_back("setup");
        return setupWorks;
    }

    // Only the calls that change the rig.
    std::vector<std::string> Writes() const {
        std::vector<std::string> out;
        for (const auto& c : calls) {
            if (c.rfind("set ", 0) == 0 || c == "clear rit") out.push_back(c);
        }
        return out;
    }
    int Reads(RigProperty p) const {
        int n = 0;
        for (const auto& c : calls) n += c == std::string("get ") + RigPropertyName(p);
        return n;
    }

    bool createWorks = true;
    bool setupWorks = true;
    std::set<int> reachable{1, 2};
    int selected = 0;
    std::map<RigProperty, std::int32_t> values;
    std::map<RigProperty, std::deque<std::int32_t>> script;
    std::set<RigProperty> failing;
    std::vector<std::string> calls;
};

}  // namespace quelp::test
