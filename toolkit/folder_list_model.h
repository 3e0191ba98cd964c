#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace toolkit {

// Puts names in the order the platform's file dialogs show them; each backend brings its own.
using NameSorter = std::function<void(std::vector<std::string>&)>;

// One line of a folder list.
struct FolderLine {
    std::string path;   // the DOS path that opening the line makes the list's path
    std::string name;   // what the line shows: the root ("C:\") or the folder's own name
    int depth = 0;      // indentation: 0 for the root, one more for each folder below it
    bool open = false;  // on the way from the root to the current folder (an open folder)

    friend bool operator==(const FolderLine&, const FolderLine&) = default;
};

// What a folder list shows, apart from how it is drawn: the folders from the drive's root down to
// the current one, each open and one step further in, then the current folder's subfolders
// (hidden and system ones left out), closed and sorted, one step further in still.
class FolderListModel {
  public:
    // The current folder: "" until a path is set, then a DOS path without a trailing separator
    // (the root's excepted).
    const std::string& path() const { return path_; }
    const std::vector<FolderLine>& lines() const { return lines_; }
    // The line of the current folder.
    std::size_t currentLine() const { return current_; }

    // Shows `path`. Returns true when the current folder changed, for the control to raise
    // Change. Throws PathUnavailable, changing nothing, when the drive's root cannot be read; a
    // folder whose contents cannot be read is shown without subfolders.
    bool setPath(platform::Platform& os, std::string_view path, const NameSorter& sort);

    // What the control tells the user when a line the user opened is on a drive that cannot be
    // read any more.
    static std::string unreadableDriveMessage(std::string_view linePath);

  private:
    std::string path_;
    std::vector<FolderLine> lines_;
    std::size_t current_ = 0;
};

}  // namespace toolkit
