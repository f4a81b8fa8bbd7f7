#include "ui/image_cache.h"

#include <QImageReader>

namespace tessaron::ui {

ImageCache& ImageCache::instance() {
    static ImageCache cache;
    return cache;
}

QImage ImageCache::image(const QString& path) {
    {
        std::lock_guard lock(mutex_);
        const auto it = images_.constFind(path);
        if (it != images_.constEnd()) return *it;
    }
    // Decode outside the lock; a concurrent decode of the same file only wastes work.
    QImageReader reader(path);
    QImage decoded = reader.read();
    if (decoded.isNull()) return {};
    decoded = decoded.convertToFormat(QImage::Format_RGB32);
    std::lock_guard lock(mutex_);
    ++decodes_;
    images_.insert(path, decoded);
    return decoded;
}

QSize ImageCache::size(const QString& path) {
    const QImage img = image(path);
    return img.isNull() ? QSize(0, 0) : img.size();
}

void ImageCache::clear() {
    std::lock_guard lock(mutex_);
    images_.clear();
}

int ImageCache::decodeCount() const {
    std::lock_guard lock(mutex_);
    return decodes_;
}

}  // namespace tessaron::ui
