#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "toolkit/folder_list_model.h"

namespace toolkit {

// What a file list holds, apart from how it is drawn: the files of one folder (hidden and system
// ones left out, sorted) and the selected one, and when the list raises Click.
//
// Click follows a selection, and nothing else: code setting the list index, or the user selecting
// a name other than the selected one (by mouse or keyboard). Relisting, the list getting or
// losing the focus, and a row that is current (has the focus frame) without being selected
// raise nothing. Each backend asks the model before it raises Click.
class FileListModel {
  public:
    const std::string& path() const { return path_; }
    const std::vector<std::string>& names() const { return names_; }
    std::int32_t listCount() const { return static_cast<std::int32_t>(names_.size()); }
    // The selected row from 0, or -1 for none.
    std::int32_t listIndex() const { return selected_; }
    // The selected name without its folder; empty with no selection.
    std::string fileName() const;

    // Lists the folder, leaving no selection. Throws PathUnavailable, changing nothing, when the
    // folder cannot be read.
    void setPath(platform::Platform& os, std::string_view path, const NameSorter& sort);
    // Code selects a row (-1 for none). Returns whether Click is raised: for every row, also
    // the one already selected. Throws std::out_of_range, changing nothing, for an index outside
    // -1 to listCount() - 1.
    bool setListIndex(std::int32_t index);
    // The user selected a row (-1: the user cleared the selection). Returns whether Click is
    // raised: only when a row is selected that was not selected before. An index outside the
    // list changes nothing.
    bool userSelected(std::int32_t row);
    // The row a key (a virtual-key code) selects in a list with nothing selected: Down, Up and
    // Home the first, End the last. nullopt for any other key, with a selection (the control
    // moves from it as it does) and in an empty list. Without this rule the controls would move
    // on from the row that is only current, and the first Down would select the second file.
    std::optional<std::int32_t> rowForKey(std::int16_t keyCode) const;

  private:
    std::string path_;
    std::vector<std::string> names_;
    std::int32_t selected_ = -1;
};

}  // namespace toolkit
