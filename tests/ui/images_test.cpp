#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "message_recorder.h"
#include "ui/background_tasks.h"
#include "ui/image_cache.h"
#include "ui/image_folders.h"
#include "ui/panel_painter.h"

namespace tessaron::ui {
namespace {

TEST(ImageFolders, LanguageAndPanelPickTheFolder) {
    EXPECT_EQ(imageFolder(QStringLiteral("/opt/t/"), Language::Chinese, Panel::Config),
              QStringLiteral("/opt/t/png/chinese/Config/"));
    EXPECT_EQ(imageFolder(QStringLiteral("/opt/t"), Language::English, Panel::Config),
              QStringLiteral("/opt/t/png/english/Config/"));
    // Codes no language is defined for fall back to English.
    EXPECT_EQ(imageFolder(QStringLiteral("/opt/t/"), static_cast<Language>(7), Panel::Custom),
              QStringLiteral("/opt/t/png/english/Custom/"));
    EXPECT_EQ(imageFolder(QStringLiteral("/opt/t/"), Language::Chinese, Panel::Main),
              QStringLiteral("/opt/t/png/chinese/"));
    EXPECT_EQ(imageFolder(QStringLiteral("/opt/t/"), Language::English, Panel::MacroManagement),
              QStringLiteral("/opt/t/png/english/MacroManagement/"));
    EXPECT_EQ(splashImagePath(QStringLiteral("/opt/t"), Language::Chinese),
              QStringLiteral("/opt/t/png/chinese/SplashScreen.png"));
}

class ImageCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ImageCache::instance().clear();
    }
    QString write(const QString& name, QSize size, QColor color) {
        QImage img(size, QImage::Format_ARGB32);
        img.fill(color);
        const QString path = dir_.filePath(name);
        EXPECT_TRUE(img.save(path, "PNG"));
        return path;
    }
    QTemporaryDir dir_;
};

TEST_F(ImageCacheTest, DecodesOnceAndPicksUpFilesThatAppearLater) {
    auto& cache = ImageCache::instance();
    const QString path = dir_.filePath(QStringLiteral("late.png"));
    EXPECT_TRUE(cache.image(path).isNull());
    EXPECT_EQ(cache.size(path), QSize(0, 0));

    write(QStringLiteral("late.png"), QSize(7, 5), Qt::red);
    const int before = cache.decodeCount();
    EXPECT_EQ(cache.size(path), QSize(7, 5));
    EXPECT_EQ(cache.image(path).pixelColor(3, 3), QColor(Qt::red));
    EXPECT_EQ(cache.decodeCount(), before + 1);

    // An image read for a layer of its own is not kept; a kept one is not decoded again.
    const QString layer = write(QStringLiteral("layer.png"), QSize(4, 4), Qt::blue);
    EXPECT_EQ(cache.read(layer).pixelColor(1, 1), QColor(Qt::blue));
    EXPECT_EQ(cache.read(layer).size(), QSize(4, 4));
    EXPECT_EQ(cache.decodeCount(), before + 3);
    (void)cache.read(path);
    EXPECT_EQ(cache.decodeCount(), before + 3);

    // Undecodable data is a failure like a missing file.
    QFile junk(dir_.filePath(QStringLiteral("junk.png")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a png");
    junk.close();
    EXPECT_TRUE(cache.image(junk.fileName()).isNull());
}

TEST_F(ImageCacheTest, PanelImagesAreCopiedOpaqueAtNaturalSizeAndMissingOnesDrawNothing) {
    const QString folder = dir_.path() + QLatin1Char('/');
    write(QStringLiteral("half.png"), QSize(4, 3), QColor(200, 40, 10, 128));

    auto paintOn = [&](QColor ground, const QString& file) {
        QImage target(10, 10, QImage::Format_RGB32);
        target.fill(ground);
        QPainter p(&target);
        const bool drawn = drawPanelImage(p, folder, file, 2, 5);
        p.end();
        return std::make_pair(drawn, target);
    };
    const auto [drawnOnWhite, white] = paintOn(Qt::white, QStringLiteral("half.png"));
    const auto [drawnOnBlack, black] = paintOn(Qt::black, QStringLiteral("half.png"));
    ASSERT_TRUE(drawnOnWhite && drawnOnBlack);
    // The ground never shows through: the copy ignores alpha.
    EXPECT_EQ(white.pixel(2, 5), black.pixel(2, 5));
    EXPECT_EQ(white.pixel(5, 7), black.pixel(5, 7));
    // Natural size: the pixel right of and below the image keep the ground.
    EXPECT_EQ(white.pixelColor(6, 5), QColor(Qt::white));
    EXPECT_EQ(white.pixelColor(2, 8), QColor(Qt::white));
    EXPECT_EQ(panelImageSize(folder, QStringLiteral("half.png")), QSize(4, 3));

    const auto [drawnMissing, untouched] = paintOn(Qt::white, QStringLiteral("missing.png"));
    EXPECT_FALSE(drawnMissing);
    QImage blank(10, 10, QImage::Format_RGB32);
    blank.fill(Qt::white);
    EXPECT_EQ(untouched, blank);
    EXPECT_EQ(panelImageSize(folder, QStringLiteral("missing.png")), QSize(0, 0));
}

TEST_F(ImageCacheTest, LargeImagesAreKeptDecodedOnDiskUntilTheirFileChanges) {
    // Images in the temporary folder are never kept. The test itself may run anywhere, also below
    // the system's temporary folder, so it names its own temporary folder for the cache to skip.
    struct TempFolder {
        QByteArray before = qgetenv("TMPDIR");
        bool had = qEnvironmentVariableIsSet("TMPDIR");
        ~TempFolder() { had ? qputenv("TMPDIR", before) : qunsetenv("TMPDIR"); }
    } restoreTempFolder;
    const QString tempFolder = dir_.filePath(QStringLiteral("tmp"));
    ASSERT_TRUE(QDir().mkpath(tempFolder));
    qputenv("TMPDIR", tempFolder.toLocal8Bit());
    ASSERT_EQ(QDir(QDir::tempPath()).canonicalPath(), QDir(tempFolder).canonicalPath());
    QTemporaryDir source(dir_.filePath(QStringLiteral("images-XXXXXX")));
    ASSERT_TRUE(source.isValid());
    auto& cache = ImageCache::instance();
    const QString kept = dir_.filePath(QStringLiteral("kept"));
    const QString before = cache.diskFolder();
    cache.setDiskFolder(kept);
    const auto save = [&](const QString& name, QSize size) {
        QImage img(size, QImage::Format_RGB32);
        img.fill(Qt::blue);
        EXPECT_TRUE(img.save(source.filePath(name), "PNG"));
        return source.filePath(name);
    };
    const QString path = save(QStringLiteral("big.png"), QSize(400, 200));
    const QString small = save(QStringLiteral("small.png"), QSize(8, 8));
    const QString temporary = QDir(tempFolder).filePath(QStringLiteral("temporary.png"));
    {
        QImage img(QSize(400, 200), QImage::Format_RGB32);
        img.fill(Qt::blue);
        ASSERT_TRUE(img.save(temporary, "PNG"));
    }
    EXPECT_EQ(cache.image(path).pixelColor(5, 5), QColor(Qt::blue));
    (void)cache.image(small);
    EXPECT_FALSE(cache.image(temporary).isNull());
    // Only the large image is worth a file, and only outside the temporary folder.
    cache.waitForDiskCopies();
    ASSERT_EQ(QDir(kept).entryList(QDir::Files).size(), 1);

    // A later start (empty memory) gets the same pixels back.
    cache.clear();
    const QImage again = cache.image(path);
    EXPECT_EQ(again.size(), QSize(400, 200));
    EXPECT_EQ(again.pixelColor(399, 199), QColor(Qt::blue));

    // A replaced picture is decoded anew, not taken from the stale copy.
    QImage green(300, 240, QImage::Format_RGB32);
    green.fill(Qt::green);
    ASSERT_TRUE(green.save(path, "PNG"));
    {
        QFile replaced(path);
        ASSERT_TRUE(replaced.open(QIODevice::ReadWrite));
        ASSERT_TRUE(replaced.setFileTime(QDateTime::currentDateTime().addSecs(5),
                                         QFileDevice::FileModificationTime));
    }
    cache.clear();
    EXPECT_EQ(cache.image(path).size(), QSize(300, 240));
    EXPECT_EQ(cache.image(path).pixelColor(1, 1), QColor(Qt::green));

    // A damaged copy is ignored.
    cache.waitForDiskCopies();
    const QString copy = QDir(kept).entryInfoList(QDir::Files).front().filePath();
    QFile damaged(copy);
    ASSERT_TRUE(damaged.open(QIODevice::ReadWrite));
    ASSERT_TRUE(damaged.resize(damaged.size() / 2));
    damaged.close();
    cache.clear();
    EXPECT_EQ(cache.image(path).pixelColor(299, 239), QColor(Qt::green));
    cache.waitForDiskCopies();
    cache.setDiskFolder(before);
}

TEST_F(ImageCacheTest, FileSizeIsReadFromTheHeader) {
    EXPECT_EQ(imageFileSize(write(QStringLiteral("wide.png"), QSize(1000, 645), Qt::red)),
              QSize(1000, 645));
    QImage bmp(31, 17, QImage::Format_RGB32);
    bmp.fill(Qt::red);
    ASSERT_TRUE(bmp.save(dir_.filePath(QStringLiteral("other.bmp")), "BMP"));
    EXPECT_EQ(imageFileSize(dir_.filePath(QStringLiteral("other.bmp"))), QSize(31, 17));
    EXPECT_FALSE(imageFileSize(dir_.filePath(QStringLiteral("none.png"))).isValid());
    // A PNG cut short inside its header is no size.
    QFile cut(dir_.filePath(QStringLiteral("cut.png")));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0", 18);
    cut.close();
    EXPECT_TRUE(imageFileSize(cut.fileName()).isEmpty());
}

TEST(PanelText, IsWhiteAndHangsFromItsTopLeftCorner) {
    QImage target(120, 60, QImage::Format_RGB32);
    target.fill(Qt::black);
    QPainter p(&target);
    drawPanelText(p, QStringLiteral("HELLO"), 20, 30, 16);
    p.end();
    QRect ink;
    int whitest = 0;
    for (int y = 0; y < target.height(); ++y)
        for (int x = 0; x < target.width(); ++x) {
            const int v = qGray(target.pixel(x, y));
            if (v > 40) ink |= QRect(x, y, 1, 1);
            whitest = std::max(whitest, v);
        }
    EXPECT_GT(whitest, 240);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.top(), 30);
    EXPECT_LE(ink.bottom(), 30 + 16);
    EXPECT_GE(ink.left(), 20);
    EXPECT_LE(ink.left(), 23);
}

TEST(Messages, SendIsImmediate) {
    test::MessageRecorder receiver;
    EXPECT_TRUE(sendMessage(&receiver, WM_MACRO_KEY, 0, 1));
    ASSERT_EQ(receiver.messages.size(), 1u);
    EXPECT_EQ(receiver.messages[0], (test::Recorded{WM_MACRO_KEY, 0, 1, {}}));

    EXPECT_FALSE(sendMessage(nullptr, WM_MACRO_KEY));
}

TEST(BackgroundWrites, OnlyOldUnfinishedWritesAreCleanedUp) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::filesystem::path folder = dir.path().toStdString();
    const auto make = [&](const char* name, std::chrono::minutes age) {
        const auto path = folder / name;
        std::ofstream(path) << "x";
        std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() - age);
        return path;
    };
    const auto abandoned = make("face-english.rgb32.tmp.123.456", std::chrono::minutes(5));
    const auto underWay = make("face-chinese.rgb32.tmp.789.1", std::chrono::minutes(0));
    const auto kept = make("face-english.rgb32", std::chrono::minutes(60));
    removeUnfinishedWrites(folder);
    EXPECT_FALSE(std::filesystem::exists(abandoned));
    EXPECT_TRUE(std::filesystem::exists(underWay));
    EXPECT_TRUE(std::filesystem::exists(kept));
}

}  // namespace
}  // namespace tessaron::ui
