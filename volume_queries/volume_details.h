#pragma once

#include <cstdint>
#include <string>

namespace volume_queries {

// One volume's details in the program's 32-bit record. Byte totals stop at 2,147,483,647; a
// larger volume cannot be described by it (see ModVolscope::QueryVolumeDetails). A new record
// holds empty texts and zeros, which is also what a letter without a volume yields.
struct VolumeDetails {
    std::string VolumeName;               // label without blanks at either end
    std::int32_t SerialNumber = 0;        // all 32 bits as the system returns them
    std::int32_t MaxComponentLength = 0;  // longest file-name component, in characters
    std::string FileSystemName;           // without blanks at either end
    std::int32_t BytesPerSector = 0;
    std::int32_t SectorsPerCluster = 0;
    std::int32_t FreeClusters = 0;
    std::int32_t TotalClusters = 0;
    std::int32_t FreeBytes = 0;   // FreeClusters × SectorsPerCluster × BytesPerSector
    std::int32_t TotalBytes = 0;  // TotalClusters × SectorsPerCluster × BytesPerSector

    friend bool operator==(const VolumeDetails&, const VolumeDetails&) = default;
};

}  // namespace volume_queries
