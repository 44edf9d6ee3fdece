#pragma once
// A rig-control server whose rig answers from a table the test sets: a value
// per property, answers queued before it (a rig that says "unknown" a few
// times), and properties whose calls fail. Reads and writes are logged.

#include <deque>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "ports/RigServer.h"

namespace quelp::test {

class ScriptedRig : public RigServer {
  public:
    bool Create() override { return createWorks; }
    bool SelectRig(int number) override {
        selected = number;
        return reachable.count(number) != 0;
    }
    std::optional<std::int32_t> Get(RigProperty p) override {
        ++reads[p];
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
        writes.emplace_back(p, value);
        values[p] = value;
        return failing.count(p) == 0;
    }
    bool ClearRit() override { return Set(RigProperty::RitOffset, 0); }
    bool ShowSetup() override { return setupWorks; }

    bool createWorks = true;
    bool setupWorks = true;
    std::set<int> reachable{1, 2};
    int selected = 0;
    std::map<RigProperty, std::int32_t> values{
        {RigProperty::Readable, 0x7FFFFFFE},      {RigProperty::Writable, 0x7FFFFFFE},
        {RigProperty::Mode, rig_param::kCwUpper}, {RigProperty::Rit, rig_param::kRitOn},
        {RigProperty::Vfo, rig_param::kVfoA},     {RigProperty::FreqA, 7010000}};
    std::map<RigProperty, std::deque<std::int32_t>> script;
    std::set<RigProperty> failing;
    std::map<RigProperty, int> reads;
    std::vector<std::pair<RigProperty, std::int32_t>> writes;  // in order
};

}  // namespace quelp::test
