#include "toolkit/qt/qt_picture.h"

#include <QImage>
#include <QImageReader>

#include "toolkit/icon_choice.h"
#include "toolkit/qt/twips.h"

namespace toolkit::qt {

float QtPictureData::widthTwips() const {
    return toTwips(static_cast<int>(pixmap_.deviceIndependentSize().width()));
}

float QtPictureData::heightTwips() const {
    return toTwips(static_cast<int>(pixmap_.deviceIndependentSize().height()));
}

QString resourcePath(const std::string& resourceName) {
    return QStringLiteral(":/volscope/") + QString::fromStdString(resourceName);
}

Picture loadPicture(const std::string& resourceName) {
    QImageReader reader(resourcePath(resourceName));
    std::vector<QImage> images;
    std::vector<ImageSize> sizes;
    const int count = std::max(reader.imageCount(), 1);
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i)) break;
        QImage image = reader.read();
        if (image.isNull()) continue;
        sizes.push_back({image.width(), image.height()});
        images.push_back(std::move(image));
    }
    const std::optional<std::size_t> best = chooseIconImage(sizes);
    if (!best) return {};
    return Picture(std::make_shared<QtPictureData>(QPixmap::fromImage(images[*best])));
}

}  // namespace toolkit::qt
