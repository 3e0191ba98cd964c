#include "toolkit/qt/qt_picture.h"

#include <QImageReader>
#include <climits>
#include <cmath>

#include "toolkit/icon_choice.h"
#include "toolkit/qt/twips.h"

namespace toolkit::qt {

namespace {

std::vector<ImageSize> sizesOf(const std::vector<QImage>& images) {
    std::vector<ImageSize> sizes;
    for (const QImage& image : images) sizes.push_back({image.width(), image.height()});
    return sizes;
}

}  // namespace

QtPictureData::QtPictureData(std::vector<QImage> images, QSize size)
    : images_(std::move(images)), size_(size), pixmaps_(images_.size()) {}

float QtPictureData::widthTwips() const {
    return toTwips(size_.width());
}

float QtPictureData::heightTwips() const {
    return toTwips(size_.height());
}

QPixmap QtPictureData::pixmap(qreal devicePixelRatio) const {
    const int side = static_cast<int>(std::ceil(size_.width() * devicePixelRatio - 0.01));
    const std::optional<std::size_t> chosen = chooseIconImage(sizesOf(images_), side);
    if (!chosen || size_.isEmpty()) return {};
    QPixmap& pixmap = pixmaps_[*chosen];
    if (pixmap.isNull()) {
        pixmap = QPixmap::fromImage(images_[*chosen]);
        pixmap.setDevicePixelRatio(static_cast<qreal>(pixmap.width()) / size_.width());
    }
    return pixmap;
}

QString resourcePath(const std::string& resourceName) {
    return QStringLiteral(":/volscope/") + QString::fromStdString(resourceName);
}

Picture loadPicture(const std::string& resourceName, QSize size) {
    QImageReader reader(resourcePath(resourceName));
    std::vector<QImage> images;
    const int count = std::max(reader.imageCount(), 1);
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i)) break;
        QImage image = reader.read();
        if (!image.isNull()) images.push_back(std::move(image));
    }
    const std::optional<std::size_t> widest = chooseIconImage(sizesOf(images), INT_MAX);
    if (!widest) return {};
    if (size.isEmpty()) size = images[*widest].size();
    return Picture(std::make_shared<QtPictureData>(std::move(images), size));
}

}  // namespace toolkit::qt
