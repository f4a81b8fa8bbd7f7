#include "app/shell/launcher.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <chrono>
#include <vector>

namespace tessaron::app {
namespace {

using keys::HostAction;
namespace kind = keys::kind;

class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp_.isValid()); }

    QString makeFile(const QString& relative, const QByteArray& content,
                     QFileDevice::Permissions extra = {}) {
        const QString path = temp_.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        file.setPermissions(file.permissions() | extra);
        return path;
    }

    static HostAction action(std::uint8_t k, const QString& folder, const QString& file) {
        return HostAction{k, folder.toStdString(), file.toStdString()};
    }

    DesktopLauncher recordingLauncher(bool succeed = true) {
        return DesktopLauncher([this, succeed](const QUrl& url) {
            opened_.push_back(url);
            return succeed;
        });
    }

    static bool waitForFile(const QString& path) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!QFileInfo::exists(path)) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            QThread::msleep(20);
        }
        return true;
    }

    QTemporaryDir temp_;
    std::vector<QUrl> opened_;
};

TEST_F(LauncherTest, ProgramStartsDetachedInItsOwnFolder) {
    const QString folder = temp_.filePath(QStringLiteral("my games"));
    const QString go = temp_.filePath(QStringLiteral("go"));
    const QString out = temp_.filePath(QStringLiteral("cwd.txt"));
    // The program blocks until the test lets it go, so run() must not wait for it.
    const QByteArray script =
        "#!/bin/sh\n"
        "i=0\n"
        "while [ ! -e '" +
        go.toUtf8() +
        "' ] && [ $i -lt 300 ]; do\n"
        "  sleep 0.1; i=$((i+1))\n"
        "done\n"
        "pwd -P > '" +
        out.toUtf8() +
        ".part'\n"
        "mv '" +
        out.toUtf8() + ".part' '" + out.toUtf8() + "'\n";
    makeFile(QStringLiteral("my games/start.sh"), script, QFileDevice::ExeOwner);
    ASSERT_NE(QDir::currentPath(), folder);

    DesktopLauncher launcher = recordingLauncher();
    const auto status = launcher.run(action(kind::kStartup, folder, QStringLiteral("start.sh")));
    ASSERT_TRUE(status.ok()) << status.error().english;
    EXPECT_FALSE(QFileInfo::exists(out));  // still waiting for "go": run() did not wait

    makeFile(QStringLiteral("go"), {});
    ASSERT_TRUE(waitForFile(out));
    QFile result(out);
    ASSERT_TRUE(result.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(result.readAll()).trimmed(), QFileInfo(folder).canonicalFilePath());
    EXPECT_TRUE(opened_.empty());
}

TEST_F(LauncherTest, FilesSoundsAndFoldersOpenWithTheDefaultApplication) {
    const QString song = makeFile(QStringLiteral("music/song.wav"), "RIFF");
    const QString music = QFileInfo(song).absolutePath();
    DesktopLauncher launcher = recordingLauncher();

    EXPECT_TRUE(launcher.run(action(kind::kPlaySound, music, QStringLiteral("song.wav"))).ok());
    EXPECT_TRUE(launcher.run(action(kind::kOpenFile, music, QStringLiteral("song.wav"))).ok());
    // A folder chosen with a trailing separator has an empty file part: open the folder itself.
    EXPECT_TRUE(launcher.run(action(kind::kOpenFolder, music, {})).ok());
    // The root folder is kept as "/" by the split.
    EXPECT_TRUE(
        launcher.run(action(kind::kOpenFolder, QStringLiteral("/"), QStringLiteral("tmp"))).ok());
    // A program key pointing at a document opens the document, as the shell would.
    EXPECT_TRUE(launcher.run(action(kind::kStartup, music, QStringLiteral("song.wav"))).ok());

    ASSERT_EQ(opened_.size(), 5u);
    EXPECT_EQ(opened_[0], QUrl::fromLocalFile(song));
    EXPECT_EQ(opened_[1], QUrl::fromLocalFile(song));
    EXPECT_EQ(opened_[2], QUrl::fromLocalFile(music));
    EXPECT_EQ(opened_[3], QUrl::fromLocalFile(QStringLiteral("/tmp")));
    EXPECT_EQ(opened_[4], QUrl::fromLocalFile(song));
}

TEST_F(LauncherTest, EmptyOrMissingPathsFailCleanlyInBothLanguages) {
    DesktopLauncher launcher = recordingLauncher();

    const auto empty = launcher.run(action(kind::kOpenFile, {}, {}));
    ASSERT_FALSE(empty.ok());
    EXPECT_FALSE(empty.error().english.empty());
    EXPECT_NE(empty.error().text(Language::Chinese), empty.error().english);

    const QString missing = temp_.filePath(QStringLiteral("gone"));
    for (const std::uint8_t k : {kind::kPlaySound, kind::kStartup, kind::kOpenFile}) {
        const auto status = launcher.run(action(k, missing, QStringLiteral("tool")));
        ASSERT_FALSE(status.ok());
        EXPECT_NE(status.error().english.find("gone/tool"), std::string::npos);
        EXPECT_NE(status.error().text(Language::Chinese).find("gone/tool"), std::string::npos);
    }
    EXPECT_TRUE(opened_.empty());

    // launch() is the key event's entry; it keeps the outcome.
    launcher.launch(action(kind::kOpenFolder, missing, {}));
    EXPECT_FALSE(launcher.lastStatus().ok());
    launcher.launch(action(kind::kOpenFolder, temp_.path(), {}));
    EXPECT_TRUE(launcher.lastStatus().ok());
}

TEST_F(LauncherTest, FailuresOfTheDesktopAndOfTheProgramAreReported) {
    makeFile(QStringLiteral("a.txt"), "x");
    DesktopLauncher refusing = recordingLauncher(false);
    const auto status =
        refusing.run(action(kind::kOpenFile, temp_.path(), QStringLiteral("a.txt")));
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().english.find("a.txt"), std::string::npos);

    // Executable but not a program the system can run.
    makeFile(QStringLiteral("broken"), "\x01\x02garbage", QFileDevice::ExeOwner);
    DesktopLauncher launcher = recordingLauncher();
    const auto broken =
        launcher.run(action(kind::kStartup, temp_.path(), QStringLiteral("broken")));
    EXPECT_FALSE(broken.ok());
    EXPECT_EQ(opened_.size(), 1u);  // only the refused document above

    // Without a desktop session the default opener reports failure instead of crashing.
    DesktopLauncher plain;
    EXPECT_FALSE(plain.run(action(kind::kOpenFile, temp_.path(), QStringLiteral("a.txt"))).ok());
}

}  // namespace
}  // namespace tessaron::app
