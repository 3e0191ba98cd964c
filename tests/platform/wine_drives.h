#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace wine_drives {

// The drives that tests/wine/run_wine_tests.sh builds in the Wine prefix before the Windows
// tests run, as it describes them in the environment variable VOLSCOPE_WINE_DRIVES
// ("fixed=M;cdrom=N;empty=Q;label=  Contract  ;serial=1A2B3C4D;cdromLabel=...;total=...;free=...;
// folder=Listing;knownFile=Known.txt").
struct Drives {
    char fixed = 0;      // a sized tmpfs (or a plain folder) with a label and a serial
    char cdrom = 0;      // a folder registered as a CD-ROM drive, with a label
    char empty = 0;      // a letter with nothing behind it
    char emptyRoot = 0;  // a drive whose root holds no entry; 0 where none was built
    std::string label;
    std::uint32_t serialNumber = 0;
    std::string cdromLabel;
    std::uint64_t totalBytes = 0;  // of the fixed drive
    std::uint64_t freeBytes = 0;
    // The name of the folder in the fixed drive's root that holds the entries of
    // contract::KnownFolder (tests/platform/contract_backend.h); empty where none was built.
    std::string folder;
    // The name of the file in the fixed drive's root that contract::Backend::KnownFile
    // describes; empty where none was built.
    std::string knownFile;
};

// The prepared drives, or nullopt when the variable is missing or incomplete (not under the
// script).
std::optional<Drives> prepared();

}  // namespace wine_drives
