#pragma once

#include <windows.h>

#include <string>

#include "toolkit/picture.h"

namespace toolkit::win32 {

// One image of an icon resource, owned: the icon is destroyed with the last Picture holding it.
// Its size in twips is taken at the dots per inch it was loaded for.
class Win32PictureData final : public PictureData {
  public:
    Win32PictureData(HICON icon, int width, int height, int dpi);
    ~Win32PictureData() override;
    Win32PictureData(const Win32PictureData&) = delete;
    Win32PictureData& operator=(const Win32PictureData&) = delete;

    HICON icon() const { return icon_; }
    int width() const { return width_; }    // in pixels
    int height() const { return height_; }  // in pixels
    float widthTwips() const override;
    float heightTwips() const override;

  private:
    HICON icon_;
    int width_;
    int height_;
    int dpi_;
};

// Loads the ICON resource of `module` named after a picture file ("drive_fixed.ico"; resource
// names ignore case), to be shown `side` pixels wide and high at `dpi` (0: at its widest image's
// size). Of an icon with several images it takes the one chooseIconImage picks for that side,
// exactly that image and not the one the system would pick, drawn at the side asked for (the
// image itself when it is that wide). A missing or unreadable resource gives an empty Picture.
Picture loadPicture(HMODULE module, const std::string& name, int dpi, int side = 0);

}  // namespace toolkit::win32
