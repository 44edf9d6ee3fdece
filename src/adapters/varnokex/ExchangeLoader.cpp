#include "adapters/varnokex/ExchangeLoader.h"

#include <dlfcn.h>

namespace quelp::varnokex {

ExchangeLoader::ExchangeLoader(const std::filesystem::path& file) {
    // Only a full path: a bare name would let the loader search elsewhere.
    if (!file.is_absolute()) return;
    handle_ = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) return;
    auto* init =
        reinterpret_cast<std::int32_t (*)(std::int32_t)>(::dlsym(handle_, "_VarnokExchangeInit"));
    auto* put =
        reinterpret_cast<void (*)(std::int32_t)>(::dlsym(handle_, "_VarnokPutSymToRxBuffer"));
    if (init == nullptr || put == nullptr) {
        ::dlclose(handle_);
        handle_ = nullptr;
        return;
    }
    init_ = init;
    put_ = put;
}

ExchangeLoader::~ExchangeLoader() {
    if (handle_ != nullptr) ::dlclose(handle_);
}

std::int32_t ExchangeLoader::Init(std::int32_t channel) {
    return init_ == nullptr ? 0 : init_(channel);
}

void ExchangeLoader::PutSymToRxBuffer(std::uint8_t byte) {
    if (put_ != nullptr) put_(byte);
}

std::filesystem::path ExchangeLoader::LibraryFile(const std::filesystem::path& programDir) {
    return std::filesystem::absolute(programDir).lexically_normal().parent_path() / "lib" /
           "quelp" / "libvarnokex.so";
}

}  // namespace quelp::varnokex
