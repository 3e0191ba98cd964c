#include "platform/posix/shell_icons.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <utility>

namespace platform::posix {

namespace {

std::optional<std::string> readWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

ShellIcons::ShellIcons(std::string mimeFolder) : mimeFolder_(std::move(mimeFolder)) {}

ShellIcons::Shown ShellIcons::shownFor(std::string_view unixName, bool isFolder, bool isRoot) {
    if (isRoot) return {{"drive-harddisk", "folder"}, "inode/directory"};
    if (isFolder) return {{"folder"}, "inode/directory"};
    loadMimeDatabase();
    const std::optional<std::string> type = mimeGlobs_->typeOf(unixName);
    if (!type) return {MimeIcons::unknownTypeNames(), "application/octet-stream"};
    return {mimeIcons_->namesOf(*type), *type};
}

void ShellIcons::loadMimeDatabase() {
    if (mimeGlobs_) return;
    const auto text = [this](const char* name) {
        return readWholeFile(mimeFolder_ + "/" + name).value_or("");
    };
    mimeGlobs_ = MimeGlobs::parse(text("globs2"));
    mimeIcons_ = MimeIcons::parse(text("icons"), text("generic-icons"));
}

std::int32_t ShellIcons::indexOf(std::vector<std::string> names) {
    const auto found = std::find(imageList_.begin(), imageList_.end(), names);
    if (found != imageList_.end()) return static_cast<std::int32_t>(found - imageList_.begin());
    imageList_.push_back(std::move(names));
    return static_cast<std::int32_t>(imageList_.size() - 1);
}

bool ShellIcons::draw(std::int32_t index, DeviceContext& dc, std::int32_t x, std::int32_t y) const {
    if (index < 0 || static_cast<std::size_t>(index) >= imageList_.size()) return false;
    const std::vector<std::string>& names = imageList_[static_cast<std::size_t>(index)];
    const auto themed = std::find_if(
        names.begin(), names.end(), [&](const std::string& name) { return dc.hasThemeIcon(name); });
    dc.drawThemeIcon(themed != names.end() ? *themed : names.back(), x, y);
    return true;
}

}  // namespace platform::posix
