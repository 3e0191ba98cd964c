#pragma once

#include <QPixmap>
#include <string>

#include "toolkit/picture.h"

namespace toolkit::qt {

class QtPictureData final : public PictureData {
  public:
    explicit QtPictureData(QPixmap pixmap) : pixmap_(std::move(pixmap)) {}
    const QPixmap& pixmap() const { return pixmap_; }
    float widthTwips() const override;
    float heightTwips() const override;

  private:
    QPixmap pixmap_;
};

// Loads the picture resource of that name (built into the program from resources/). Of an icon
// with several images it shows the largest, and of equal sizes the first in the file. A missing
// or unreadable resource gives an empty Picture.
Picture loadPicture(const std::string& resourceName);

// The resource path of a picture name.
QString resourcePath(const std::string& resourceName);

}  // namespace toolkit::qt
