#pragma once

#include <cstdint>
#include <unordered_map>

#include "platform/platform.h"

namespace platform {

// Windows: every operation is the real narrow-character call of kernel32, made with the caller's
// arguments. Around the volume calls the system's critical-error box ("There is no disk in the
// drive") is switched off, so that the program, not the system, answers for an empty removable
// or optical drive. Outputs are filled only when the call succeeds, and only drive roots ("X:\")
// are passed on. How a name longer than its buffer is answered is the system's own (Wine cuts it
// short and succeeds).
//
// Listings are the system's own too: FindFirstFileA gets only paths that start with a drive's
// root ("X:\"), with the critical-error box off; the system's search handles are kept behind
// numbers of this platform's own, so that a handle that is not open is answered with false and
// never reaches the system.
//
// Attributes are the system's own, for paths that start with a drive's root; ShellExecuteA is
// shell32's, with the owner handle as the HWND it stands for.
class Win32Platform final : public Platform {
  public:
    std::uint32_t GetDriveTypeA(const char* rootPathName) override;
    bool GetVolumeInformationA(const char* rootPathName, char* volumeNameBuffer,
                               std::uint32_t volumeNameSize, std::uint32_t* volumeSerialNumber,
                               std::uint32_t* maximumComponentLength,
                               std::uint32_t* fileSystemFlags, char* fileSystemNameBuffer,
                               std::uint32_t fileSystemNameSize) override;
    bool GetDiskFreeSpaceA(const char* rootPathName, std::uint32_t* sectorsPerCluster,
                           std::uint32_t* bytesPerSector, std::uint32_t* numberOfFreeClusters,
                           std::uint32_t* totalNumberOfClusters) override;
    FindHandle FindFirstFileA(const char* fileName, FindData* findFileData) override;
    bool FindNextFileA(FindHandle findFile, FindData* findFileData) override;
    bool FindClose(FindHandle findFile) override;

    // Files: attributes and opening.
    std::uint32_t GetFileAttributesA(const char* fileName) override;
    bool SetFileAttributesA(const char* fileName, std::uint32_t fileAttributes) override;
    std::intptr_t ShellExecuteA(WindowHandle owner, const char* operation, const char* file,
                                const char* parameters, const char* directory,
                                std::int32_t showCommand) override;

    Win32Platform() = default;
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;
    // Closes the listings still open.
    ~Win32Platform() override;

  private:
    std::unordered_map<std::uintptr_t, void*> searches_;  // the system's HANDLEs
    std::uintptr_t nextHandle_ = 1;
};

}  // namespace platform
