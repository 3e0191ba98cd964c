#!/usr/bin/env bash
# Installs on Debian 12 what Volscope needs, for one purpose:
#   scripts/install-deps.sh           to build and run the program (scripts/run.sh)
#   scripts/install-deps.sh package   that, and what CPack needs for the Debian package
#   scripts/install-deps.sh test      all of that, and what every test needs (scripts/test.sh)
# Does nothing when all of it is there already; otherwise runs apt-get update and apt-get install
# as root (directly, or through sudo).
set -euo pipefail

run=(
    g++ cmake ninja-build pkg-config                  # build
    qt6-base-dev libmount-dev libblkid-dev            # libraries
    fonts-liberation                                  # metric-compatible Times New Roman, Arial
    fonts-dejavu-core                                 # glyphs of the stand-ins in odd names
    shared-mime-info                                  # file types by name, for file icons
    xdg-utils                                         # xdg-open, which "Open" hands files to
    xvfb xauth                                        # a real window without a desktop
    qt6-wayland                                       # native windows on a Wayland desktop
)
packaging=(
    dpkg-dev file                                     # CPack's Debian package: shlibdeps
)
tests=(
    libgtest-dev libgmock-dev libbenchmark-dev        # tests and benchmarks
    clang-format                                      # the formatting check
    util-linux mount e2fsprogs xfsprogs btrfs-progs   # real-volume tests: losetup, mount, mkfs
    fuse3 libfuse3-dev                                # a share that stops answering, on demand
    attr                                              # setfattr for the Wine tests' folder
    bindfs                                            # a FUSE volume for the real-volume tests
    ntfs-3g exfat-fuse exfatprogs dosfstools mtools   # Windows media for the real-volume tests
    clang libclang-rt-14-dev                          # the fuzz target (libFuzzer)
    lintian desktop-file-utils appstream              # the Debian package's checks
    openbox x11-utils                                 # window tests on Xvfb: a window manager, xprop
    xdotool dbus-daemon at-spi2-core python3-pyatspi  # end-to-end test: real input, read via AT-SPI
    weston                                            # window tests natively on Wayland (headless)
    g++-mingw-w64-x86-64-posix googletest wine64 wine # the Windows build, tested under Wine
    fonts-wine                                        # MS Sans Serif, Tahoma for its windows
    nsis unzip                                        # the Windows installer, and its checks
)

case "${1:-run}" in
    run) packages=("${run[@]}") ;;
    package) packages=("${run[@]}" "${packaging[@]}") ;;
    test) packages=("${run[@]}" "${packaging[@]}" "${tests[@]}") ;;
    *)
        echo "usage: $0 [run | package | test]" >&2
        exit 2
        ;;
esac

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Run this as root to install: ${missing[*]}" >&2; exit 1; }
    as_root=(sudo)
fi
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
