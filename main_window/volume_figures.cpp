#include "main_window/volume_figures.h"

#include <cstdio>
#include <limits>

namespace main_window {

namespace {

std::int64_t bytes(std::uint32_t clusters, std::uint32_t sectorsPerCluster,
                   std::uint32_t bytesPerSector) {
    // Two 32-bit factors always fit 64 bits; the third one may not.
    const std::uint64_t sectors = std::uint64_t{clusters} * sectorsPerCluster;
    const auto limit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (bytesPerSector != 0 && sectors > limit / bytesPerSector)
        return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(sectors * bytesPerSector);
}

}  // namespace

VolumeFigures VolumeFigures::fromDetails(const volume_queries::VolumeDetails& details) {
    return {details.VolumeName,         static_cast<std::uint32_t>(details.SerialNumber),
            details.MaxComponentLength, details.FileSystemName,
            details.BytesPerSector,     details.SectorsPerCluster,
            details.TotalClusters,      details.FreeBytes,
            details.TotalBytes};
}

VolumeFigures VolumeFigures::fromAnswers(const volume_queries::VolumeAnswers& answers) {
    return {answers.volumeName,
            answers.serialNumber,
            answers.maxComponentLength,
            answers.fileSystemName,
            answers.bytesPerSector,
            answers.sectorsPerCluster,
            answers.totalClusters,
            bytes(answers.freeClusters, answers.sectorsPerCluster, answers.bytesPerSector),
            bytes(answers.totalClusters, answers.sectorsPerCluster, answers.bytesPerSector)};
}

std::string serialNumberText(std::uint32_t serialNumber) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(serialNumber));
    const std::string digits = hex;
    // Fewer than eight digits make the two halves overlap: 12345 gives 1234-2345.
    const std::string text = digits.substr(0, 4) + "-" +
                             digits.substr(digits.size() - std::min<std::size_t>(4, digits.size()));
    return text == "0-0" ? "Serial Number Not Retrieveable" : text;
}

}  // namespace main_window
