#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace volume_queries {

// Makes sure that an action on the browser's selected file still reaches what was listed and
// selected: meanwhile the drive letter may have been given another volume (a disk swapped, a
// share mounted again), and another file may have taken the selected file's name. The guard
// takes down the listed folder's volume and the selected file's identity as they are listed and
// selected, and compares them with what the path leads to when asked. The platform is not owned
// and must outlive the guard.
class SelectedFileGuard {
  public:
    explicit SelectedFileGuard(platform::Platform& os) : os_(os) {}

    enum class Finding {
        same,     // the path leads where it led
        other,    // its drive holds another volume now, or another file has taken its name
        unknown,  // it cannot be reached, or nothing was taken down to compare it with
    };
    enum class Scope {
        volume,  // whether the path's drive still holds the volume listed
        file,    // that, and whether the path still leads to the very file selected
    };

    // A folder was listed: takes down the name of its drive's volume (none where the system
    // names none, as Windows does for network drives) and forgets the selected file.
    void listed(std::string_view folder);
    // A file was selected: takes down which file is at path, letting others read, write and
    // delete it meanwhile (a file open for writing elsewhere is still known); nothing when it
    // cannot be opened at all.
    void selected(const std::string& path);

    // Where path leads now, against what was taken down. The volume is compared by its name; for
    // Scope::file the file is compared too, when its identity was taken down at this path. Where
    // the system names no volume, the selected file's identity stands in for the volume as well
    // (its volume's serial number for Scope::volume). Where neither was taken down, or the path
    // cannot be reached now, the finding is unknown.
    Finding check(const std::string& path, Scope scope) const;

  private:
    // The name of the volume of the drive that path is on; nullopt where the system has none.
    std::optional<std::string> volumeNameOf(std::string_view path) const;
    // Which file is at path now; nullopt when it cannot be opened.
    std::optional<platform::ByHandleFileInformation> identityAt(const std::string& path) const;

    struct Selected {
        std::string path;
        platform::ByHandleFileInformation identity;
    };

    platform::Platform& os_;
    std::optional<std::string> listedVolume_;
    std::optional<Selected> selected_;
};

}  // namespace volume_queries
