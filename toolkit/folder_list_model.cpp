#include "toolkit/folder_list_model.h"

#include <optional>

#include "toolkit/controls.h"
#include "toolkit/folder_contents.h"
#include "toolkit/folder_paths.h"

namespace toolkit {

bool FolderListModel::setPath(platform::Platform& os, std::string_view path,
                              const NameSorter& sort) {
    const std::vector<std::string> chain = pathChain(path);
    if (chain.empty() || !readFolder(os, chain.front()))
        throw PathUnavailable("Device unavailable: " + std::string(path));
    std::vector<std::string> folders;
    if (std::optional<FolderContents> contents = readFolder(os, chain.back())) {
        folders = std::move(contents->folders);
        sort(folders);
    }

    std::vector<FolderLine> lines;
    lines.reserve(chain.size() + folders.size());
    int depth = 0;
    for (const std::string& folder : chain) {
        std::string name = depth == 0 ? folder : folder.substr(folder.rfind('\\') + 1);
        lines.push_back({folder, std::move(name), depth++, true});
    }
    for (std::string& folder : folders)
        lines.push_back({childPath(chain.back(), folder), std::move(folder), depth, false});

    const bool changed = chain.back() != path_;
    path_ = chain.back();
    lines_ = std::move(lines);
    current_ = chain.size() - 1;
    return changed;
}

std::string FolderListModel::unreadableDriveMessage(std::string_view linePath) {
    return "The drive " + std::string(linePath.substr(0, 3)) + " cannot be read now.";
}

}  // namespace toolkit
