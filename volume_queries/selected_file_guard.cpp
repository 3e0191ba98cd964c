#include "volume_queries/selected_file_guard.h"

#include "volume_queries/buffer_text.h"
#include "volume_queries/mod_volscope.h"

namespace volume_queries {

void SelectedFileGuard::listed(std::string_view folder) {
    listedVolume_ = volumeNameOf(folder);
    selected_.reset();
}

void SelectedFileGuard::selected(const std::string& path) {
    selected_.reset();
    if (const std::optional<platform::ByHandleFileInformation> identity = identityAt(path))
        selected_ = Selected{path, *identity};
}

SelectedFileGuard::Finding SelectedFileGuard::check(const std::string& path, Scope scope) const {
    Finding found = Finding::unknown;
    if (listedVolume_) {
        const std::optional<std::string> volume = volumeNameOf(path);
        found = !volume                     ? Finding::unknown
                : *volume == *listedVolume_ ? Finding::same
                                            : Finding::other;
    }
    const bool selectedHere = selected_ && selected_->path == path;
    if (!selectedHere || (listedVolume_ && (found != Finding::same || scope != Scope::file)))
        return found;
    const std::optional<platform::ByHandleFileInformation> now = identityAt(path);
    if (!now) return Finding::unknown;
    const platform::ByHandleFileInformation& then = selected_->identity;
    const bool same =
        scope == Scope::file ? *now == then : now->volumeSerialNumber == then.volumeSerialNumber;
    return same ? Finding::same : Finding::other;
}

std::optional<std::string> SelectedFileGuard::volumeNameOf(std::string_view path) const {
    // Names are 49 characters; the buffer leaves room for systems that make them longer.
    constexpr std::uint32_t nameSize = 64;
    std::string name(nameSize, '\0');
    const std::string root = ModVolscope::driveRoot(path.substr(0, 1));
    if (!os_.GetVolumeNameForVolumeMountPointA(root.c_str(), name.data(), nameSize))
        return std::nullopt;
    return writtenText(name);
}

std::optional<platform::ByHandleFileInformation> SelectedFileGuard::identityAt(
    const std::string& path) const {
    // Whatever access others have to the file is no reason to doubt which file it is.
    constexpr std::uint32_t shareAll =
        platform::file_share::read | platform::file_share::write | platform::file_share::remove;
    const platform::FileHandle handle =
        os_.CreateFileA(path.c_str(), platform::file_access::genericRead, shareAll, nullptr,
                        platform::creation_disposition::openExisting,
                        platform::file_attribute::archive, platform::noFile);
    if (handle == platform::invalidFileHandle) return std::nullopt;
    platform::ByHandleFileInformation identity;
    const bool known = os_.GetFileInformationByHandle(handle, &identity);
    os_.CloseHandle(handle);
    if (!known) return std::nullopt;
    return identity;
}

}  // namespace volume_queries
