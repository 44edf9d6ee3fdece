#pragma once
// Port: the exchange library that receives every decoded character for a
// numbered exchange channel, so other programs can read it.

#include <cstdint>

namespace quelp {

class ExchangeLibrary {
  public:
    virtual ~ExchangeLibrary() = default;
    // Opens exchange channel `channel` (never 0). 0 means failure.
    virtual std::int32_t Init(std::int32_t channel) = 0;
    // Hands over one byte of decoded text; the result is not used.
    virtual void PutSymToRxBuffer(std::uint8_t byte) = 0;
};

}  // namespace quelp
