#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"

// The backends the Platform contract tests run against. Each builds, on its own system, one drive
// of known figures and names a letter without a volume; a new backend (a Windows one under Wine)
// adds a factory here and a row in contract_test.cpp.
namespace contract {

// The drive a backend built, with the figures the platform must report for it.
struct KnownDrive {
    char letter = 'C';
    std::uint32_t type = 0;
    std::string label;  // with blanks at both ends, which must come back untrimmed
    std::uint32_t serialNumber = 0;
    std::string fileSystem;
};

class Backend {
  public:
    virtual ~Backend() = default;

    // Builds the drives. Returns why this machine cannot (the tests then skip), or "".
    virtual std::string setUp() = 0;
    virtual platform::Platform& platform() = 0;
    virtual const KnownDrive& knownDrive() const = 0;
    // A letter with no volume behind it.
    virtual char emptyLetter() = 0;
    // The known drive's size and the bytes free to the user, as the system counts them now.
    virtual std::uint64_t totalBytes() = 0;
    virtual std::uint64_t freeBytes() = 0;
    // Why the backend's system defines no failure for a name longer than its buffer, or "" when
    // the call fails and writes nothing.
    virtual std::string shortBufferUndefined() const { return ""; }
};

std::unique_ptr<Backend> makeFakeBackend();
#ifdef __linux__
std::unique_ptr<Backend> makePosixBackend();
#endif
#ifdef _WIN32
std::unique_ptr<Backend> makeWin32Backend();
#endif

}  // namespace contract
