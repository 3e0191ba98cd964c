#include "volume_queries/mod_volscope.h"

#include "volume_queries/arithmetic_overflow.h"
#include "volume_queries/buffer_text.h"

namespace volume_queries {

std::string ModVolscope::driveRoot(std::string_view letter) {
    return std::string(letter) + ":\\";
}

std::optional<std::uint32_t> ModVolscope::neighbourDriveType(const char* endLetter,
                                                             int offset) const {
    if (CurrentDrive == endLetter) return std::nullopt;
    const char neighbour = static_cast<char>(CurrentDrive.at(0) + offset);
    return os_.GetDriveTypeA(driveRoot(std::string(1, neighbour)).c_str());
}

std::optional<std::uint32_t> ModVolscope::PrevDriveType() const {
    return neighbourDriveType("A", -1);
}

std::optional<std::uint32_t> ModVolscope::NextDriveType() const {
    return neighbourDriveType("Z", +1);
}

void ModVolscope::DrawFileIcon(const std::string& path, toolkit::PictureBox& box) {
    box.cls();
    constexpr std::uint32_t flags =
        platform::shell_info::sysIconIndex | platform::shell_info::exeType |
        platform::shell_info::typeName | platform::shell_info::displayName |
        platform::shell_info::shellIconSize | platform::shell_info::largeIcon;
    const std::uintptr_t imageList =
        os_.SHGetFileInfoA(path.c_str(), 0, &shellFileInfo, sizeof shellFileInfo, flags);
    if (imageList == 0) return;
    os_.ImageList_Draw(imageList, shellFileInfo.iconIndex, box.hDC(), 0, 0,
                       platform::image_list_draw::transparent);
}

platform::FileHandle ModVolscope::OpenFileForRead(toolkit::Toolkit& toolkit,
                                                  const std::string& path,
                                                  platform::FileHandle& handle) const {
    const platform::FileHandle opened = os_.CreateFileA(
        path.c_str(), platform::file_access::genericRead, platform::file_share::read, nullptr,
        platform::creation_disposition::openExisting, platform::file_attribute::archive,
        platform::noFile);
    if (opened == platform::invalidFileHandle)
        toolkit.msgBox("File Read Error.", toolkit::msgbox_style::critical, "Error");
    handle = opened;
    return opened;
}

std::string ModVolscope::FormatFileTime(const toolkit::Toolkit& toolkit,
                                        const platform::FileTime& time) const {
    platform::SystemTime calendar;
    if (!os_.FileTimeToSystemTime(&time, &calendar)) return timeOutOfRange;
    const toolkit::DateTime date{calendar.year, calendar.month,  calendar.day,
                                 calendar.hour, calendar.minute, calendar.second};
    return toolkit.format(date, "hh:mm:ss") + ";   " + toolkit.format(date, "dddd dd, mmmm yyyy");
}

VolumeAnswers ModVolscope::QueryVolume() const {
    constexpr std::uint32_t nameBufferSize = 255;
    std::string volumeName(nameBufferSize, ' ');
    std::string fileSystemName(nameBufferSize, ' ');
    VolumeAnswers asked;
    std::uint32_t fileSystemFlags = 0;  // asked for, as the call requires, and not used

    const std::string root = driveRoot(CurrentDrive);
    os_.GetVolumeInformationA(root.c_str(), volumeName.data(), nameBufferSize, &asked.serialNumber,
                              &asked.maxComponentLength, &fileSystemFlags, fileSystemName.data(),
                              nameBufferSize);
    os_.GetDiskFreeSpaceA(root.c_str(), &asked.sectorsPerCluster, &asked.bytesPerSector,
                          &asked.freeClusters, &asked.totalClusters);
    asked.volumeName = writtenText(volumeName);
    asked.fileSystemName = writtenText(fileSystemName);
    return asked;
}

void ModVolscope::QueryVolumeDetails(VolumeDetails& details) const {
    const VolumeAnswers asked = QueryVolume();
    // Everything that can fail comes before the first field is written.
    const std::int32_t sectorsPerCluster = toInt32Checked(asked.sectorsPerCluster);
    const std::int32_t bytesPerSector = toInt32Checked(asked.bytesPerSector);
    const std::int32_t freeClusters = toInt32Checked(asked.freeClusters);
    const std::int32_t totalClusters = toInt32Checked(asked.totalClusters);
    const std::int32_t freeBytes =
        multiplyChecked(multiplyChecked(freeClusters, sectorsPerCluster), bytesPerSector);
    const std::int32_t totalBytes =
        multiplyChecked(multiplyChecked(totalClusters, sectorsPerCluster), bytesPerSector);
    const std::int32_t maxComponentLength = toInt32Checked(asked.maxComponentLength);

    details.VolumeName = asked.volumeName;
    details.SerialNumber = static_cast<std::int32_t>(asked.serialNumber);
    details.MaxComponentLength = maxComponentLength;
    details.FileSystemName = asked.fileSystemName;
    details.BytesPerSector = bytesPerSector;
    details.SectorsPerCluster = sectorsPerCluster;
    details.FreeClusters = freeClusters;
    details.TotalClusters = totalClusters;
    details.FreeBytes = freeBytes;
    details.TotalBytes = totalBytes;
}

}  // namespace volume_queries
