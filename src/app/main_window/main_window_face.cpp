#include "app/main_window/main_window.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include "core/atomic_file.h"
#include "ui/background_tasks.h"
#include "ui/image_cache.h"
#include "ui/image_folders.h"

// The kept face: the first paint of a start is read from disk when nothing it shows has changed.

namespace tessaron::app {

namespace {

// Changes whenever the face is drawn differently from the same state and images.
constexpr qint64 kKeptFaceVersion = 1;

// What the first paint draws over the static layer.
constexpr std::array kOverlayImages{
    "itemBK.png",
    "MacroManagementBK.png",
    "MacroButton3.png",
    "gamemode_Close.png",
    "responsetime_close.png",
    "reportrate_Close.png",
    "button-cancel-normal.png",
    "button-help-normal.png",
    "button-min-normal.png",
    "button-close-normal.png",
};

}  // namespace

void CTessaronDlg::startWarmup() {
    if (warmupStarted_) return;
    warmupStarted_ = true;
    if (face_.isNull()) {
        // A worker composes the static layer while this thread sets up the window; the images
        // over it are decoded here, while the font configuration may still be loading.
        layerPrefetchFolder_ = imageFolder_;
        layerPrefetch_ = std::async(std::launch::async, &CTessaronDlg::composeStaticLayer,
                                    imageFolder_, size(), devicePixelRatioF());
        loadOverlayImages(imageFolder_);
    } else {
        // A kept face is up already: its static layer waits for the first change, so that an
        // untouched window holds one face, not two.
        prefetch_ = std::async(std::launch::async, &CTessaronDlg::loadOverlayImages, imageFolder_);
    }
    // The fonts load on this thread: Qt keeps font engines per thread, so engines loaded on a
    // worker would be loaded again for the first text.
    warmFonts(live_.language);
}

void CTessaronDlg::loadOverlayImages(const QString& folder) {
    for (const char* name : kOverlayImages) {
        (void)ui::ImageCache::instance().image(folder + QString::fromLatin1(name));
    }
}

QString CTessaronDlg::keptFacePath() const {
    const QString folder = ui::ImageCache::instance().diskFolder();
    // Like their images, faces drawn from a temporary folder are not worth keeping.
    if (folder.isEmpty() || imageFolder_.startsWith(QDir::tempPath() + QLatin1Char('/'))) {
        return {};
    }
    return folder + (live_.language == Language::Chinese ? QStringLiteral("/face-chinese.rgb32")
                                                         : QStringLiteral("/face-english.rgb32"));
}

QByteArray CTessaronDlg::faceKey(const FaceState& s) const {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    const auto add = [&hash](qint64 v) {
        hash.addData(QByteArrayView(reinterpret_cast<const char*>(&v), sizeof v));
    };
    add(kKeptFaceVersion);
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(s.image.data()),
                                static_cast<qsizetype>(s.image.size())));
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(s.marks.data()),
                                static_cast<qsizetype>(s.marks.size())));
    for (const bool b :
         {s.sections.light, s.sections.gameMode, s.sections.responseTime, s.sections.reportRate,
          s.diyMode, s.effectListOpen, s.responseListOpen, s.helpMenuOpen, s.unplugged}) {
        add(b ? 1 : 0);
    }
    for (const auto& slider : s.sliders) {
        for (const int v : slider) add(v);
    }
    add(s.hoveredKey ? static_cast<qint64>(*s.hoveredKey) : -1);
    for (const int v : {s.size.width(), s.size.height(), s.hoveredArea, s.hoveredRow,
                        static_cast<int>(s.language)}) {
        add(v);
    }
    add(qRound64(devicePixelRatioF() * 100));
    hash.addData(imageFolder_.toUtf8());
    hash.addData(QByteArrayView(qVersion()));  // another Qt may draw texts differently
    // A changed or reinstalled image makes a new face.
    add(QFileInfo(imageFolder_).lastModified().toMSecsSinceEpoch());
    const auto addFile = [&](const char* name) {
        const QFileInfo file(imageFolder_ + QString::fromLatin1(name));
        add(file.size());
        add(file.lastModified().toMSecsSinceEpoch());
    };
    for (const char* name : kOverlayImages) addFile(name);
    for (const LayerImage& image : kStaticLayerImages) addFile(image.name);
    return hash.result();
}

bool CTessaronDlg::loadKeptFace() {
    const QString path = keptFacePath();
    if (path.isEmpty()) return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    live_.marks[keys::kLeftWinKey] = 0;  // as the paint does
    FaceState state = faceState();
    const QByteArray key = faceKey(state);
    if (file.read(key.size()) != key) return false;
    std::array<std::int32_t, 3> shape{};  // width, height, bytes per line
    const auto shapeBytes = static_cast<qint64>(sizeof shape);
    if (file.read(reinterpret_cast<char*>(shape.data()), shapeBytes) != shapeBytes) return false;
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (QSize(shape[0], shape[1]) != pixels) return false;
    QImage face(pixels, QImage::Format_RGB32);
    if (face.isNull() || face.bytesPerLine() != shape[2]) return false;
    const qint64 bytes = face.sizeInBytes();
    if (file.size() != key.size() + shapeBytes + bytes) return false;
    if (file.read(reinterpret_cast<char*>(face.bits()), bytes) != bytes) return false;
    face.setDevicePixelRatio(ratio);
    face_ = std::move(face);
    faceState_ = std::move(state);
    return true;
}

void CTessaronDlg::keepFace(const QImage& face) {
    const QString path = keptFacePath();
    if (path.isEmpty() || !faceState_ || faceKept_) return;
    faceKept_ = true;
    const QByteArray key = faceKey(*faceState_);
    const std::array<std::int32_t, 3> shape{face.width(), face.height(),
                                            static_cast<std::int32_t>(face.bytesPerLine())};
    // Written beside the window; a face that cannot be kept, or is not kept before the program
    // ends, only costs the next start time.
    ui::runInBackground([file = std::filesystem::path(path.toStdString()), key, shape, face] {
        std::error_code ec;
        std::filesystem::create_directories(file.parent_path(), ec);
        if (ec) return;
        ui::removeUnfinishedWrites(file.parent_path());
        const std::span<const std::uint8_t> blocks[] = {
            {reinterpret_cast<const std::uint8_t*>(key.constData()),
             static_cast<std::size_t>(key.size())},
            {reinterpret_cast<const std::uint8_t*>(shape.data()), sizeof shape},
            {face.constBits(), static_cast<std::size_t>(face.sizeInBytes())},
        };
        (void)writeFileAtomically(file, blocks, Durability::Cache);
    });
}

}  // namespace tessaron::app
