// libFuzzer target: parseDosAttrib over any bytes must neither crash nor read outside them, and
// what it reports must lie inside the value; writing a new word into what it accepted must give
// a value that reads back as that word, in the same version.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/posix/dos_attrib.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view value(reinterpret_cast<const char*>(data), size);
    const auto parsed = platform::posix::parseDosAttrib(value);
    if (!parsed) return 0;
    if (parsed->textLength > size) std::abort();
    if (parsed->version != platform::posix::DosAttrib::textOnly &&
        (parsed->attribOffset < parsed->textLength + 1 || parsed->attribOffset + 4 > size))
        std::abort();
    const std::uint32_t word = parsed->attrib ^ 0x27;
    const auto reread =
        platform::posix::parseDosAttrib(platform::posix::withDosAttributes(value, *parsed, word));
    if (!reread || reread->version != parsed->version || reread->attributes() != word) std::abort();
    return 0;
}
