#pragma once

#include <QImage>
#include <QPixmap>
#include <QSize>
#include <string>
#include <vector>

#include "toolkit/picture.h"

namespace toolkit::qt {

// Every image of an icon and the size the picture shows at, in device-independent pixels. Which
// image is drawn depends on the screen: see pixmap.
class QtPictureData final : public PictureData {
  public:
    QtPictureData(std::vector<QImage> images, QSize size);
    QSize size() const { return size_; }
    float widthTwips() const override;
    float heightTwips() const override;
    // The picture for a screen of that device pixel ratio: the image chosen for the picture's
    // size in the screen's pixels (chooseIconImage), marked with the ratio that shows it at the
    // picture's size, so that an image drawn for the screen's scale is shown pixel for pixel.
    QPixmap pixmap(qreal devicePixelRatio) const;

  private:
    std::vector<QImage> images_;
    QSize size_;
    mutable std::vector<QPixmap> pixmaps_;  // by image, made when first drawn
};

// Loads the picture resource of that name (built into the program from resources/), to be shown
// at `size` device-independent pixels; an empty size is its widest image's. A missing or
// unreadable resource gives an empty Picture.
Picture loadPicture(const std::string& resourceName, QSize size = {});

// The resource path of a picture name.
QString resourcePath(const std::string& resourceName);

}  // namespace toolkit::qt
