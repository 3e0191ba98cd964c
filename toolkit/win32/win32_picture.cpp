#include "toolkit/win32/win32_picture.h"

#include <climits>
#include <vector>

#include "toolkit/icon_choice.h"
#include "toolkit/twips.h"
#include "toolkit/win32/win32_text.h"

namespace toolkit::win32 {

namespace {

// The directory of an icon group (RT_GROUP_ICON) as the resource compiler writes it: the
// .ico file's header, each entry naming its image by RT_ICON id instead of a file offset.
#pragma pack(push, 2)
struct GroupIconHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
struct GroupIconEntry {
    BYTE width;  // 0 stands for 256
    BYTE height;
    BYTE colorCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInResource;
    WORD id;
};
#pragma pack(pop)

struct ResourceBytes {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

ResourceBytes findResource(HMODULE module, LPCWSTR name, LPCWSTR type) {
    HRSRC found = FindResourceW(module, name, type);
    if (found == nullptr) return {};
    HGLOBAL loaded = LoadResource(module, found);
    if (loaded == nullptr) return {};
    return {static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(module, found)};
}

int sideOf(BYTE side) {
    return side == 0 ? 256 : side;
}

}  // namespace

Win32PictureData::Win32PictureData(HICON icon, int width, int height, int dpi)
    : icon_(icon), width_(width), height_(height), dpi_(dpi) {}

Win32PictureData::~Win32PictureData() {
    DestroyIcon(icon_);
}

float Win32PictureData::widthTwips() const {
    return toTwips(width_, dpi_);
}

float Win32PictureData::heightTwips() const {
    return toTwips(height_, dpi_);
}

Picture loadPicture(HMODULE module, const std::string& name, int dpi, int side) {
    const std::wstring resourceName = toWide(name);
    const ResourceBytes group =
        findResource(module, resourceName.c_str(), reinterpret_cast<LPCWSTR>(RT_GROUP_ICON));
    if (group.data == nullptr || group.size < sizeof(GroupIconHeader)) return {};
    const auto* header = reinterpret_cast<const GroupIconHeader*>(group.data);
    const std::size_t count = std::min<std::size_t>(
        header->count, (group.size - sizeof(GroupIconHeader)) / sizeof(GroupIconEntry));
    const auto* entries = reinterpret_cast<const GroupIconEntry*>(header + 1);

    std::vector<ImageSize> sizes;
    for (std::size_t i = 0; i < count; ++i)
        sizes.push_back({sideOf(entries[i].width), sideOf(entries[i].height)});
    const std::optional<std::size_t> best = chooseIconImage(sizes, side > 0 ? side : INT_MAX);
    if (!best) return {};

    const GroupIconEntry& entry = entries[*best];
    const ResourceBytes image =
        findResource(module, MAKEINTRESOURCEW(entry.id), reinterpret_cast<LPCWSTR>(RT_ICON));
    if (image.data == nullptr) return {};
    const int width = side > 0 ? side : sizes[*best].width;
    const int height = side > 0 ? side : sizes[*best].height;
    // 0x00030000: the icon format version that every Windows since 3.0 writes.
    HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(image.data), image.size, TRUE,
                                          0x00030000, width, height, LR_DEFAULTCOLOR);
    if (icon == nullptr) return {};
    return Picture(std::make_shared<Win32PictureData>(icon, width, height, dpi));
}

}  // namespace toolkit::win32
