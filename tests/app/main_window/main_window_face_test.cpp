// The face a start keeps for the next one: composed on the static layer's own pixels at the
// first paint, shown until something changes, then drawn afresh, and shown by the next start
// without decoding anything.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>

#include "main_window_test_support.h"
#include "ui/image_cache.h"

namespace tessaron::app::testing {
namespace {

QImage face(CTessaronDlg& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void pointAt(CTessaronDlg& w, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, w.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &move);
}

// Over the help button, then over nothing.
constexpr QPoint kHelp{940, 10};
constexpr QPoint kNowhere{500, 20};

class KeptFolder {
public:
    explicit KeptFolder(const QString& folder) : before_(ui::ImageCache::instance().diskFolder()) {
        ui::ImageCache::instance().setDiskFolder(folder);
    }
    ~KeptFolder() { ui::ImageCache::instance().setDiskFolder(before_); }
    KeptFolder(const KeptFolder&) = delete;
    KeptFolder& operator=(const KeptFolder&) = delete;

private:
    QString before_;
};

// Faces drawn from images in the temporary folder are never kept, and the build holding the
// images may itself lie there: the test names a temporary folder of its own.
class OwnTempFolder {
public:
    OwnTempFolder() {
        const QString own = scratch_.filePath(QStringLiteral("tmp"));
        QDir().mkpath(own);
        qputenv("TMPDIR", own.toLocal8Bit());
    }
    ~OwnTempFolder() { had_ ? qputenv("TMPDIR", before_) : qunsetenv("TMPDIR"); }
    OwnTempFolder(const OwnTempFolder&) = delete;
    OwnTempFolder& operator=(const OwnTempFolder&) = delete;

private:
    QByteArray before_ = qgetenv("TMPDIR");
    bool had_ = qEnvironmentVariableIsSet("TMPDIR");
    QTemporaryDir scratch_;
};

TEST(MainWindowFace, TheKeptFaceMatchesAFreshDrawingBeforeAndAfterAChange) {
    const OwnTempFolder temp;
    // Without a device session nothing changes the face after the first paint.
    RigOptions alone;
    alone.withSession = false;
    // The reference: nothing kept, every paint drawn from the static layer.
    QImage freshFirst;
    QImage freshHovered;
    {
        const KeptFolder none{QString()};
        Rig rig(alone);
        freshFirst = face(*rig.window);
        pointAt(*rig.window, kHelp);
        freshHovered = face(*rig.window);
    }
    ASSERT_NE(freshFirst, freshHovered);  // the change shows

    QTemporaryDir kept;
    ASSERT_TRUE(kept.isValid());
    const KeptFolder folder{kept.path()};
    const QString keptFace = kept.filePath(QStringLiteral("face-english.rgb32"));
    {
        Rig cold(alone);
        auto& w = *cold.window;
        EXPECT_EQ(face(w), freshFirst);
        // The layer that became the first face is composed again for the change, without the
        // first face's buttons and texts in it.
        pointAt(w, kHelp);
        EXPECT_EQ(face(w), freshHovered);
        pointAt(w, kNowhere);
        EXPECT_EQ(face(w), freshFirst);
        ASSERT_TRUE(waitFor([&] { return QFileInfo::exists(keptFace); }));
    }

    // The next start shows the kept face: its last pixel, marked here, shows it came from there.
    {
        QFile file(keptFace);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.seek(file.size() - 4));
        const QRgb mark = qRgb(1, 2, 3);
        ASSERT_EQ(file.write(reinterpret_cast<const char*>(&mark), sizeof mark), 4);
    }
    Rig warm(alone);
    QImage shown = face(*warm.window);
    EXPECT_EQ(shown.pixel(shown.width() - 1, shown.height() - 1), qRgb(1, 2, 3));
    shown.setPixel(shown.width() - 1, shown.height() - 1, freshFirst.pixel(shown.width() - 1, shown.height() - 1));
    EXPECT_EQ(shown, freshFirst);
    pointAt(*warm.window, kHelp);
    EXPECT_EQ(face(*warm.window), freshHovered);
}

}  // namespace
}  // namespace tessaron::app::testing
