#include "toolkit/qt/qt_picture.h"

#include <QImage>
#include <QImageReader>

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
    QImage best;
    const int count = std::max(reader.imageCount(), 1);
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i)) break;
        QImage image = reader.read();
        if (image.isNull()) continue;
        if (best.isNull() || image.width() * image.height() > best.width() * best.height())
            best = std::move(image);
    }
    if (best.isNull()) return {};
    return Picture(std::make_shared<QtPictureData>(QPixmap::fromImage(best)));
}

}  // namespace toolkit::qt
