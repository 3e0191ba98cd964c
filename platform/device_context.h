#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

// A surface the system draws icons into: what a device context (HDC) is to ImageList_Draw. The
// toolkit's picture boxes provide one; a backend draws through whichever of the two it can use.
class DeviceContext {
  public:
    virtual ~DeviceContext() = default;

    // Draws the icon of that name from the desktop's icon theme (freedesktop names such as
    // "text-plain", "image-png"), or the toolkit's generic file icon when the theme has none,
    // with its top-left corner at (x, y) pixels; only the icon's own pixels cover the surface.
    virtual void drawThemeIcon(std::string_view iconName, int x, int y) = 0;

    // Whether the desktop's icon theme has an icon of that name, so that a backend can choose
    // among a type's names ("text-plain", else "text-x-generic") the one that will be drawn.
    virtual bool hasThemeIcon(std::string_view iconName) const = 0;

    // The native device context (an HDC on Windows), or 0 where the surface has none.
    virtual std::uintptr_t nativeHandle() const = 0;
};

}  // namespace platform
