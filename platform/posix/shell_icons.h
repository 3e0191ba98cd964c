#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/device_context.h"
#include "platform/posix/mime_globs.h"
#include "platform/posix/mime_icons.h"

namespace platform::posix {

// The icons and types the Linux backend's shell shows: the desktop icon theme's icons, chosen by
// a file's name alone, its MIME type from shared-mime-info's globs2 (MimeGlobs) and the type's
// icon names (MimeIcons); "folder" for folders, "drive-harddisk" then "folder" for a drive's
// root. The system image list is this table of lists of names.
class ShellIcons {
  public:
    // mimeFolder: where shared-mime-info's globs2, icons and generic-icons are read from, once,
    // when a file's icon or type is first asked for; missing files give every file the unknown
    // type's icon and application/octet-stream.
    explicit ShellIcons(std::string mimeFolder);

    // What the shell shows for one file or folder: its icon's names, most specific first, and
    // its MIME type ("text/plain", "inode/directory").
    struct Shown {
        std::vector<std::string> names;
        std::string type;
    };
    // Of the entry of that Linux name; isRoot: a drive's root.
    Shown shownFor(std::string_view unixName, bool isFolder, bool isRoot);

    // The index in the system image list of a list of icon names, added when new.
    std::int32_t indexOf(std::vector<std::string> names);
    // Draws the icon at index into dc with its top-left corner at (x, y): the first of its names
    // that dc's theme has, else the last. False, drawing nothing, for an index not in the list.
    bool draw(std::int32_t index, DeviceContext& dc, std::int32_t x, std::int32_t y) const;

  private:
    void loadMimeDatabase();

    std::string mimeFolder_;
    std::optional<MimeGlobs> mimeGlobs_;
    std::optional<MimeIcons> mimeIcons_;
    std::vector<std::vector<std::string>> imageList_;  // index: icon names, most specific first
};

}  // namespace platform::posix
