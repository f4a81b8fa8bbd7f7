#pragma once
// Decoded panel images, kept by path for the life of the process so that painting does not
// decode PNG files again and again. Images are stored opaque: the panels copy them without
// transparency, so alpha is dropped once at decode time.

#include <QHash>
#include <QImage>
#include <QSize>
#include <QString>

#include <mutex>

namespace tessaron::ui {

class ImageCache {
public:
    // The process-wide cache used by the drawing helpers.
    static ImageCache& instance();

    // The decoded image, or a null image when the file is missing or cannot be decoded.
    // Failures are not remembered, so a file that appears later is picked up.
    QImage image(const QString& path);
    // The image's size; 0 x 0 when it cannot be loaded.
    QSize size(const QString& path);

    void clear();
    // Number of successful decodes so far (for checking that the cache is used).
    [[nodiscard]] int decodeCount() const;

private:
    mutable std::mutex mutex_;
    QHash<QString, QImage> images_;
    int decodes_ = 0;
};

}  // namespace tessaron::ui
