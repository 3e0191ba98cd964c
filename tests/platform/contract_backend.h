#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/platform.h"

// The backends the Platform contract tests run against. Each builds, on its own system, one drive
// of known figures with the known folder in its root and names a letter without a volume. A new
// backend adds a factory here and a row to `backends` at the end of this file, which every
// contract suite (contract_test.cpp, contract_attributes_test.cpp, contract_files_test.cpp) runs.
namespace contract {

// The drive a backend built, with the figures the platform must report for it.
struct KnownDrive {
    char letter = 'C';
    std::uint32_t type = 0;
    std::string label;  // with blanks at both ends, which must come back untrimmed
    std::uint32_t serialNumber = 0;
    std::string fileSystem;
};

// An entry that listing the known folder must report.
struct KnownEntry {
    std::string name;
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
};

// A folder in the known drive's root, built by the backend for the listing tests, holding:
//   plain.txt     "hello"          archive
//   readonly.txt  "abc"            readOnly | archive (no write permission)
//   .dotfile      "."              hidden | archive (by its name)
//   marked.txt    "m"              hidden | archive (user.DOSATTRIB "0x22" on Linux and Wine)
//   Sub           a folder with inner.txt in it
//   Empty         an empty folder
struct KnownFolder {
    std::string name = "Listing";
    std::vector<KnownEntry> entries = {
        {"plain.txt", platform::file_attribute::archive, 5},
        {"readonly.txt", platform::file_attribute::readOnly | platform::file_attribute::archive, 3},
        {".dotfile", platform::file_attribute::hidden | platform::file_attribute::archive, 1},
        {"marked.txt", platform::file_attribute::hidden | platform::file_attribute::archive, 1},
        {"Sub", platform::file_attribute::directory, 0},
        {"Empty", platform::file_attribute::directory, 0},
    };
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
    // A letter whose volume's root holds no entry at all (a freshly formatted disk); '\0' where
    // the backend built none.
    virtual char emptyRootLetter() { return '\0'; }
    // The known drive's size and the bytes free to the user, as the system counts them now.
    virtual std::uint64_t totalBytes() = 0;
    virtual std::uint64_t freeBytes() = 0;
    // The reason to skip the tests of names longer than their buffer: why the backend's system
    // defines no failure for them. "" when the call fails and writes nothing.
    virtual std::string skipReasonForShortBuffers() const { return ""; }

    // Files: attributes and opening.

    // Creates an empty file of that name in the known folder, as a program would create it
    // (archive alone), and returns its DOS path. Names are not reused within a test.
    virtual std::string makeFile(const std::string& name) = 0;
    // The reason the backend's system shows the archive bit on every file whatever is written
    // (the tests then expect it); "" when it keeps the bit as written.
    virtual std::string archiveAlwaysSetReason() const { return ""; }
    // Files: the known file of the file calls' tests, in the known drive's root: "0123456789",
    // with its last-write and last-access times set to these.
    struct KnownFile {
        std::string name = "Known.txt";
        std::uint64_t size = 10;
        platform::FileTime lastWriteTime{0xA4DF7607U,
                                         0x01C3D394U};  // 2004-01-05 14:03:07.1234567 UTC
        platform::FileTime lastAccessTime{0x9A895540U, 0x019D30E0U};  // 1969-07-20 20:17:40.5 UTC
    };
    // Keeps the known file open for writing by something other than the platform (another
    // process where the backend can make one) until the returned object is destroyed.
    virtual std::shared_ptr<void> holdKnownFileOpenForWriting() = 0;
    // Whether the volume keeps short names of its own, so that GetShortPathNameA may give
    // another path than the one asked for.
    virtual bool keepsShortNames() const { return false; }
    // Whether ImageList_Draw draws through DeviceContext::drawThemeIcon (else through the native
    // handle, which the tests' surface does not have).
    virtual bool drawsThemeIcons() const { return true; }
};

std::unique_ptr<Backend> makeFakeBackend();
#ifdef __linux__
std::unique_ptr<Backend> makePosixBackend();
#endif
#ifdef _WIN32
std::unique_ptr<Backend> makeWin32Backend();
#endif

// One backend of the suites' rows; failures name the row rather than dump its bytes.
struct BackendRow {
    const char* name;
    std::unique_ptr<Backend> (*make)();
};

inline void PrintTo(const BackendRow& row, std::ostream* out) {
    *out << row.name;
}

// Every backend this system can run.
inline const BackendRow backends[] = {
    {"Fake", &makeFakeBackend},
#ifdef __linux__
    {"Posix", &makePosixBackend},
#endif
#ifdef _WIN32
    {"Win32", &makeWin32Backend},
#endif
};

}  // namespace contract
