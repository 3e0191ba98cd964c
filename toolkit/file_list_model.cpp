#include "toolkit/file_list_model.h"

#include <optional>
#include <stdexcept>

#include "toolkit/controls.h"
#include "toolkit/folder_contents.h"
#include "toolkit/form.h"

namespace toolkit {

std::string FileListModel::fileName() const {
    return selected_ < 0 ? std::string() : names_[static_cast<std::size_t>(selected_)];
}

void FileListModel::setPath(platform::Platform& os, std::string_view path, const NameSorter& sort) {
    std::optional<FolderContents> contents = readFolder(os, path);
    if (!contents) throw PathUnavailable("Path not found: " + std::string(path));
    sort(contents->files);
    names_ = std::move(contents->files);
    path_ = std::string(path);
    selected_ = -1;
}

bool FileListModel::setListIndex(std::int32_t index) {
    if (index < -1 || index >= listCount())
        throw std::out_of_range("list index " + std::to_string(index) + " outside the list");
    selected_ = index;
    return index != -1;
}

bool FileListModel::userSelected(std::int32_t row) {
    if (row < -1 || row >= listCount() || row == selected_) return false;
    selected_ = row;
    return row != -1;
}

std::optional<std::int32_t> FileListModel::rowForKey(std::int16_t keyCode) const {
    if (selected_ != -1 || names_.empty()) return std::nullopt;
    switch (keyCode) {
        case key_code::down:
        case key_code::up:
        case key_code::home:
            return 0;
        case key_code::end:
            return listCount() - 1;
        default:
            return std::nullopt;
    }
}

}  // namespace toolkit
