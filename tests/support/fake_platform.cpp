#include "tests/support/fake_platform.h"

#include <cstring>
#include <stdexcept>

#include "platform/drive_root.h"
#include "platform/out_params.h"

namespace fake {

using platform::out_params::copyText;
using platform::out_params::fits;
using platform::out_params::store;

namespace {

int letterIndex(char letter) {
    if (letter >= 'a' && letter <= 'z') return letter - 'a';
    if (letter >= 'A' && letter <= 'Z') return letter - 'A';
    return -1;
}

}  // namespace

void Platform::setDrive(char letter, Drive drive) {
    const int index = letterIndex(letter);
    if (index < 0) throw std::invalid_argument("not a drive letter");
    drives_[static_cast<std::size_t>(index)] = std::move(drive);
}

void Platform::removeDrive(char letter) {
    const int index = letterIndex(letter);
    if (index >= 0) drives_[static_cast<std::size_t>(index)].reset();
}

Drive& Platform::drive(char letter) {
    const int index = letterIndex(letter);
    if (index < 0 || !drives_[static_cast<std::size_t>(index)])
        throw std::invalid_argument("no such scripted drive");
    return *drives_[static_cast<std::size_t>(index)];
}

const Drive* Platform::find(const char* rootPathName) const {
    const std::optional<std::size_t> index = platform::driveIndex(rootPathName);
    if (!index || !drives_[*index]) return nullptr;
    return &*drives_[*index];
}

void Platform::log(const char* function, const char* rootPathName) {
    calls_.push_back(std::string(function) + "(" + (rootPathName ? rootPathName : "null") + ")");
}

std::uint32_t Platform::GetDriveTypeA(const char* rootPathName) {
    log("GetDriveTypeA", rootPathName);
    const Drive* drive = find(rootPathName);
    return drive ? drive->type : platform::drive_type::noRootDir;
}

bool Platform::GetVolumeInformationA(const char* rootPathName, char* volumeNameBuffer,
                                     std::uint32_t volumeNameSize,
                                     std::uint32_t* volumeSerialNumber,
                                     std::uint32_t* maximumComponentLength,
                                     std::uint32_t* fileSystemFlags, char* fileSystemNameBuffer,
                                     std::uint32_t fileSystemNameSize) {
    log("GetVolumeInformationA", rootPathName);
    const Drive* drive = find(rootPathName);
    if (drive == nullptr || !drive->hasVolume) return false;
    if (!fits(drive->label, volumeNameBuffer, volumeNameSize) ||
        !fits(drive->fileSystem, fileSystemNameBuffer, fileSystemNameSize))
        return false;
    copyText(drive->label, volumeNameBuffer);
    copyText(drive->fileSystem, fileSystemNameBuffer);
    store(volumeSerialNumber, drive->serialNumber);
    store(maximumComponentLength, drive->maxComponentLength);
    store(fileSystemFlags, drive->fileSystemFlags);
    return true;
}

bool Platform::GetDiskFreeSpaceA(const char* rootPathName, std::uint32_t* sectorsPerCluster,
                                 std::uint32_t* bytesPerSector, std::uint32_t* numberOfFreeClusters,
                                 std::uint32_t* totalNumberOfClusters) {
    log("GetDiskFreeSpaceA", rootPathName);
    const Drive* drive = find(rootPathName);
    if (drive == nullptr || !drive->hasVolume) return false;
    store(sectorsPerCluster, drive->sectorsPerCluster);
    store(bytesPerSector, drive->bytesPerSector);
    store(numberOfFreeClusters, drive->freeClusters);
    store(totalNumberOfClusters, drive->totalClusters);
    return true;
}

}  // namespace fake
