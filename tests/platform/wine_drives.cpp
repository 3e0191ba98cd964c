#include "tests/platform/wine_drives.h"

#include <cstdlib>
#include <map>
#include <sstream>

namespace wine_drives {

std::optional<Drives> prepared() {
    const char* text = std::getenv("VOLSCOPE_WINE_DRIVES");
    if (text == nullptr) return std::nullopt;
    std::map<std::string, std::string> values;
    std::istringstream pairs(text);
    std::string pair;
    while (std::getline(pairs, pair, ';')) {
        const auto equals = pair.find('=');
        if (equals != std::string::npos) values[pair.substr(0, equals)] = pair.substr(equals + 1);
    }
    for (const char* key : {"fixed", "cdrom", "empty", "label", "serial", "total", "free"}) {
        if (values[key].empty()) return std::nullopt;
    }
    Drives drives;
    drives.fixed = values["fixed"][0];
    drives.cdrom = values["cdrom"][0];
    drives.empty = values["empty"][0];
    drives.emptyRoot = values["emptyRoot"].empty() ? '\0' : values["emptyRoot"][0];
    drives.label = values["label"];
    drives.serialNumber = static_cast<std::uint32_t>(std::stoul(values["serial"], nullptr, 16));
    drives.cdromLabel = values["cdromLabel"];
    drives.totalBytes = std::stoull(values["total"]);
    drives.freeBytes = std::stoull(values["free"]);
    drives.folder = values["folder"];
    drives.knownFile = values["knownFile"];
    return drives;
}

}  // namespace wine_drives
