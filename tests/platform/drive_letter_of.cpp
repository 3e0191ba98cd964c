// Prints the drive letter that the program, started now, gives the volume mounted at the path
// given, for the tests that drive the real program; exits with 1, printing nothing, when that
// volume gets none.
#include <cstdio>
#include <string>

#include "tests/platform/posix_platform_access.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <mount point>\n", argv[0]);
        return 2;
    }
    const platform::posix::DriveTable drives = platform::test_support::currentDrives();
    for (std::size_t i = 0; i < drives.size(); ++i) {
        if (drives[i] && drives[i]->mount.target == argv[1]) {
            std::printf("%c\n", static_cast<char>('A' + i));
            return 0;
        }
    }
    return 1;
}
