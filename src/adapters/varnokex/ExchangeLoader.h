#pragma once
// The exchange library loaded at run time, from the program's own library
// folder only (never from the working directory or the search path).

#include <filesystem>

#include "ports/ExchangeLibrary.h"

namespace quelp::varnokex {

class ExchangeLoader final : public ExchangeLibrary {
  public:
    // Loads `file` when it is there and has both entry points.
    explicit ExchangeLoader(const std::filesystem::path& file);
    ~ExchangeLoader() override;
    ExchangeLoader(const ExchangeLoader&) = delete;
    ExchangeLoader& operator=(const ExchangeLoader&) = delete;

    bool Loaded() const { return put_ != nullptr; }
    // 0 as well when the library is not loaded.
    std::int32_t Init(std::int32_t channel) override;
    void PutSymToRxBuffer(std::uint8_t byte) override;

    // The library beside a program in `programDir`: ../lib/quelp.
    static std::filesystem::path LibraryFile(const std::filesystem::path& programDir);

  private:
    void* handle_ = nullptr;
    std::int32_t (*init_)(std::int32_t) = nullptr;
    void (*put_)(std::int32_t) = nullptr;
};

}  // namespace quelp::varnokex
