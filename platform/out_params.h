#pragma once

#include <cstdint>
#include <cstring>
#include <string>

// How the backends fill the output parameters of a system call: null outputs are skipped, and a
// text goes into a caller's buffer only with its terminator.
namespace platform::out_params {

// Whether `text` and its terminating NUL fit a buffer of `size` bytes (a null buffer takes
// anything).
inline bool fits(const std::string& text, const char* buffer, std::uint32_t size) {
    return buffer == nullptr || text.size() < size;
}

// Copies `text` with its terminator; check fits() first.
inline void copyText(const std::string& text, char* buffer) {
    if (buffer != nullptr) std::memcpy(buffer, text.c_str(), text.size() + 1);
}

template <typename T>
void store(T* out, T value) {
    if (out != nullptr) *out = value;
}

}  // namespace platform::out_params
