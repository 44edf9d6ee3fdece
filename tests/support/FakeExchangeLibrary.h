#pragma once
// Records the calls of the exchange library.

#include <string>
#include <vector>

#include "ports/ExchangeLibrary.h"

namespace quelp::test {

class FakeExchangeLibrary : public ExchangeLibrary {
  public:
    std::int32_t Init(std::int32_t channel) override {
        initChannels.push_back(channel);
        return initResult;
    }
    void PutSymToRxBuffer(std::uint8_t byte) override {
        received.push_back(static_cast<char>(byte));
    }

    std::int32_t initResult = 1;
    std::vector<std::int32_t> initChannels;
    std::string received;
};

}  // namespace quelp::test
