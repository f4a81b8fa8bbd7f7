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
#include "ui/background_tasks.h"

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

// Small images decode about as fast as their copy is read back, and writing the copy costs the
// first start more than it saves later ones; only large ones go to disk.
constexpr qsizetype kDiskMinimumBytes = 256 * 1024;

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
    (void)writeFileAtomically(std::filesystem::path(file.toStdString()), blocks, Durability::Cache);
}

enum class PngKind { NotPng, Palette, Other };

PngKind pngKind(const QString& path) {
    // Signature (8), IHDR length and type (8), width and height (8), bit depth, colour type.
    constexpr qint64 kColourTypeAt = 25;
    constexpr char kPaletteColourType = 3;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return PngKind::NotPng;
    const QByteArray head = f.read(kColourTypeAt + 1);
    if (head.size() != kColourTypeAt + 1 || !head.startsWith("\x89PNG") ||
        head.mid(12, 4) != "IHDR") {
        return PngKind::NotPng;
    }
    return head[kColourTypeAt] == kPaletteColourType ? PngKind::Palette : PngKind::Other;
}

QImage decode(const QString& path, PngKind kind) {
    QImageReader reader(path);
    if (kind != PngKind::NotPng) {
        // Named, a PNG goes straight to Qt's own decoder; guessing would first load every
        // image plugin to ask each whether it reads PNG.
        reader.setFormat("png");
        reader.setAutoDetectImageFormat(false);
    }
    QImage decoded = reader.read();
    return decoded.isNull() ? decoded : decoded.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

QSize imageFileSize(const QString& path) {
    // Signature (8), IHDR length and type (8), then width and height, big-endian.
    constexpr std::array<unsigned char, 8> kPngSignature{0x89, 'P',  'N',  'G',
                                                         '\r', '\n', 0x1A, '\n'};
    constexpr qint64 kHeaderBytes = 24;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QByteArray head = f.read(kHeaderBytes);
    if (head.size() == kHeaderBytes &&
        std::memcmp(head.constData(), kPngSignature.data(), kPngSignature.size()) == 0 &&
        head.mid(12, 4) == "IHDR") {
        const auto word = [&head](int at) {
            std::uint32_t v = 0;
            for (int i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(head[at + i]);
            return v;
        };
        const std::uint32_t w = word(16);
        const std::uint32_t h = word(20);
        if (w == 0 || h == 0 || w > 0x7FFFFFFF || h > 0x7FFFFFFF) return {};
        return {static_cast<int>(w), static_cast<int>(h)};
    }
    f.close();
    return QImageReader(path).size();
}

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

QString ImageCache::sourceFor(const QString& path, qreal ratio) {
    constexpr qreal kDenseFrom = 1.5;
    if (ratio < kDenseFrom) return path;
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (dot <= slash + 1) return path;
    QString dense = path;
    dense.insert(dot, QStringLiteral("@2x"));
    return QFileInfo::exists(dense) ? dense : path;
}

void ImageCache::setDevicePixelRatio(qreal ratio) {
    std::lock_guard lock(mutex_);
    if (ratio == ratio_) return;
    ratio_ = ratio;
    images_.clear();
}

qreal ImageCache::devicePixelRatio() const {
    std::lock_guard lock(mutex_);
    return ratio_;
}

QImage ImageCache::load(const QString& requested) const {
    const QString path = sourceFor(requested, devicePixelRatio());
    const qreal density = path == requested ? 1.0 : 2.0;
    QImage img = loadFile(path);
    if (!img.isNull()) img.setDevicePixelRatio(density);
    return img;
}

QImage ImageCache::loadFile(const QString& path) const {
    const QString folder = diskFolder();
    const QFileInfo source(path);
    // Images in the temporary folder come and go (tests, unpacked previews): keeping them would
    // only grow the cache.
    // A palette PNG inflates about as fast as its decoded copy could be read back.
    const PngKind kind = pngKind(path);
    const bool keep = !folder.isEmpty() && source.isFile() &&
                      !source.absoluteFilePath().startsWith(QDir::tempPath() + QLatin1Char('/')) &&
                      kind != PngKind::Palette;
    if (!keep) return decode(path, kind);
    const DiskHeader header = headerFor(source);
    const QString file = diskPath(folder, path);
    if (QImage kept = readDisk(file, header); !kept.isNull()) return kept;
    QImage decoded = decode(path, kind);
    if (decoded.sizeInBytes() >= kDiskMinimumBytes) {
        // Written beside the caller, who is usually on the way to a first paint.
        runInBackground([=] {
            removeUnfinishedWrites(folder.toStdString());
            writeDisk(folder, file, header, decoded);
        });
    }
    return decoded;
}

QImage ImageCache::fetch(const QString& path, bool keep) {
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
    if (keep) images_.insert(path, loaded);
    return loaded;
}

QImage ImageCache::image(const QString& path) {
    return fetch(path, true);
}

QImage ImageCache::read(const QString& path) {
    return fetch(path, false);
}

QSize ImageCache::size(const QString& path) {
    const QImage img = image(path);
    return img.isNull() ? QSize(0, 0) : img.deviceIndependentSize().toSize();
}

void ImageCache::clear() {
    std::lock_guard lock(mutex_);
    images_.clear();
}

void ImageCache::waitForDiskCopies() {
    waitForBackgroundTasks();
}

int ImageCache::decodeCount() const {
    std::lock_guard lock(mutex_);
    return decodes_;
}

}  // namespace tessaron::ui
