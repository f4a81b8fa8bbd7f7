#pragma once
// Decoded panel images, kept by path for the life of the process so that painting does not
// decode PNG files again and again. Images are stored opaque: the panels copy them without
// transparency, so alpha is dropped once at decode time.
// Large images are also kept decoded on disk (the user's cache folder), so that later starts copy
// their pixels instead of inflating the PNG again; an entry is used only while the PNG keeps the
// size and modification time it was made from.
// On a dense screen (device pixel ratio 1.5 and above) an image "name.png" is read from
// "name@2x.png" beside it when that file exists, with device pixel ratio 2: painters draw it at
// its logical size, so positions and click areas stay in window pixels. Image sets with only
// 1x files keep working (they are enlarged).

#include <QHash>
#include <QImage>
#include <QSize>
#include <QString>

#include <mutex>

namespace tessaron::ui {

// The size an image file declares, without decoding it: PNG headers are read directly (the image
// plugins are not loaded for them), other formats through Qt. Empty when unreadable.
QSize imageFileSize(const QString& path);

class ImageCache {
public:
    // The process-wide cache used by the drawing helpers.
    static ImageCache& instance();

    // The decoded image, or a null image when the file is missing or cannot be decoded.
    // Failures are not remembered, so a file that appears later is picked up.
    QImage image(const QString& path);
    // The same without keeping it in memory (the copy on disk is still used and made), for
    // images drawn once into a layer of their own.
    QImage read(const QString& path);
    // The image's size in logical pixels; 0 x 0 when it cannot be loaded.
    QSize size(const QString& path);

    // The device pixel ratio of the screen the windows are on; decides between "name.png" and
    // "name@2x.png". Changing it forgets the images kept in memory.
    void setDevicePixelRatio(qreal ratio);
    [[nodiscard]] qreal devicePixelRatio() const;
    // The file an image path is read from at the given ratio.
    [[nodiscard]] static QString sourceFor(const QString& path, qreal ratio);

    // Where decoded large images are kept; empty: nowhere. Defaults to
    // "<user cache folder>/tessaron/images".
    void setDiskFolder(const QString& folder);
    [[nodiscard]] QString diskFolder() const;

    // Returns once the decoded copies being written to disk are there (they are written in the
    // background, which the program does not wait for when it ends).
    void waitForDiskCopies();

    void clear();
    // Number of images loaded into memory so far, from PNG or disk (for checking that the
    // cache is used).
    [[nodiscard]] int decodeCount() const;

private:
    ImageCache();
    QImage load(const QString& path) const;
    QImage loadFile(const QString& path) const;
    QImage fetch(const QString& path, bool keep);

    mutable std::mutex mutex_;
    QString diskFolder_;
    qreal ratio_ = 1.0;
    QHash<QString, QImage> images_;
    int decodes_ = 0;
};

}  // namespace tessaron::ui
