#include "ui/image_cache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QStandardPaths>

#include <array>
#include <cstdint>
#include <cstring>
#include <span>

#include "core/atomic_file.h"

namespace tessaron::ui {

namespace {

// A decoded image on disk: header, then the RGB32 rows as they lie in memory.
constexpr std::array<char, 8> kMagic{'T', 'S', 'R', 'N', 'R', 'G', 'B', '1'};
struct DiskHeader {
    std::array<char, 8> magic = kMagic;
    std::int64_t sourceSize = 0;
    std::int64_t sourceModified = 0;  // ms since the epoch
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int64_t bytesPerLine = 0;
};
static_assert(sizeof(DiskHeader) == 40);

// Small images decode faster than a file can be opened; only large ones go to disk.
constexpr qsizetype kDiskMinimumBytes = 64 * 1024;

DiskHeader headerFor(const QFileInfo& source) {
    DiskHeader h;
    h.sourceSize = source.size();
    h.sourceModified = source.lastModified().toMSecsSinceEpoch();
    return h;
}

QString diskPath(const QString& folder, const QString& source) {
    const QByteArray key = QCryptographicHash::hash(QFileInfo(source).absoluteFilePath().toUtf8(),
                                                    QCryptographicHash::Sha1);
    return folder + QLatin1Char('/') + QString::fromLatin1(key.toHex()) + QStringLiteral(".rgb32");
}

QImage readDisk(const QString& file, const DiskHeader& expected) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return {};
    DiskHeader h;
    if (f.read(reinterpret_cast<char*>(&h), sizeof h) != static_cast<qint64>(sizeof h)) return {};
    if (h.magic != kMagic || h.sourceSize != expected.sourceSize ||
        h.sourceModified != expected.sourceModified || h.width <= 0 || h.height <= 0 ||
        h.width > 16384 || h.height > 16384) {
        return {};
    }
    QImage img(h.width, h.height, QImage::Format_RGB32);
    if (img.isNull() || img.bytesPerLine() != h.bytesPerLine) return {};
    const qint64 bytes = img.sizeInBytes();
    if (f.size() != static_cast<qint64>(sizeof h) + bytes) return {};
    if (f.read(reinterpret_cast<char*>(img.bits()), bytes) != bytes) return {};
    return img;
}

void writeDisk(const QString& folder, const QString& file, DiskHeader h, const QImage& img) {
    h.width = img.width();
    h.height = img.height();
    h.bytesPerLine = img.bytesPerLine();
    if (!QDir().mkpath(folder)) return;
    const auto* head = reinterpret_cast<const std::uint8_t*>(&h);
    const std::span<const std::uint8_t> blocks[] = {
        {head, sizeof h},
        {img.constBits(), static_cast<std::size_t>(img.sizeInBytes())},
    };
    // A cache that cannot be written only costs the next start a decode.
    (void)writeFileAtomically(std::filesystem::path(file.toStdString()), blocks);
}

}  // namespace

ImageCache::ImageCache() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (!base.isEmpty()) diskFolder_ = base + QStringLiteral("/tessaron/images");
}

ImageCache& ImageCache::instance() {
    static ImageCache cache;
    return cache;
}

void ImageCache::setDiskFolder(const QString& folder) {
    std::lock_guard lock(mutex_);
    diskFolder_ = folder;
}

QString ImageCache::diskFolder() const {
    std::lock_guard lock(mutex_);
    return diskFolder_;
}

QImage ImageCache::load(const QString& path) const {
    const QString folder = diskFolder();
    const QFileInfo source(path);
    if (folder.isEmpty() || !source.isFile()) {
        QImage decoded = QImageReader(path).read();
        return decoded.isNull() ? decoded : decoded.convertToFormat(QImage::Format_RGB32);
    }
    const DiskHeader header = headerFor(source);
    const QString file = diskPath(folder, path);
    if (QImage kept = readDisk(file, header); !kept.isNull()) return kept;
    QImage decoded = QImageReader(path).read();
    if (decoded.isNull()) return decoded;
    decoded = decoded.convertToFormat(QImage::Format_RGB32);
    if (decoded.sizeInBytes() >= kDiskMinimumBytes) writeDisk(folder, file, header, decoded);
    return decoded;
}

QImage ImageCache::image(const QString& path) {
    {
        std::lock_guard lock(mutex_);
        const auto it = images_.constFind(path);
        if (it != images_.constEnd()) return *it;
    }
    // Load outside the lock; a concurrent load of the same file only wastes work.
    QImage loaded = load(path);
    if (loaded.isNull()) return {};
    std::lock_guard lock(mutex_);
    ++decodes_;
    images_.insert(path, loaded);
    return loaded;
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
