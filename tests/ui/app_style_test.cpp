// One look for the standard dialogs: the application style gives them the panels' colours, the
// generated message box icons, and no icons of the desktop's theme on their buttons.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>

#include "ui/app_style.h"
#include "ui/theme.h"

namespace tessaron::ui {
namespace {

const QString kIcons = QStringLiteral(TESSARON_BUILD_SHARE_DIR) + QStringLiteral("/png/icons/");

class AppStyleTest : public ::testing::Test {
protected:
    void SetUp() override {
        app = qobject_cast<QApplication*>(QCoreApplication::instance());
        ASSERT_NE(app, nullptr);
        keptPalette = QApplication::palette();
        keptSheet = app->styleSheet();
        applyAppStyle(*app, kIcons);
    }
    void TearDown() override {
        app->setStyleSheet(keptSheet);
        QApplication::setPalette(keptPalette);
        QApplication::setStyle(QStringLiteral("Fusion"));
    }
    QApplication* app = nullptr;
    QPalette keptPalette;
    QString keptSheet;
};

TEST_F(AppStyleTest, MessageBoxesTakeThePanelsColoursAndTheGeneratedIcons) {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Factory Setting"),
                    QStringLiteral("Confirm to return Factory Setting?"),
                    QMessageBox::Ok | QMessageBox::Cancel);
    box.ensurePolished();
    EXPECT_EQ(box.palette().color(QPalette::Window), theme::kPanel);
    EXPECT_EQ(box.palette().color(QPalette::WindowText), theme::kText);
    EXPECT_EQ(box.palette().color(QPalette::Highlight), theme::kAccent);

    // The warning icon is the generated one: its pixels are the file's.
    const QIcon warning = QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning);
    ASSERT_FALSE(warning.isNull());
    const QImage shown = warning.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage file =
        QImage(kIcons + QStringLiteral("warning.png")).convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(file.isNull());
    EXPECT_EQ(shown.pixel(16, 20), file.pixel(16, 20));
    for (const auto icon : {QStyle::SP_MessageBoxInformation, QStyle::SP_MessageBoxCritical,
                            QStyle::SP_MessageBoxQuestion}) {
        EXPECT_FALSE(QApplication::style()->standardIcon(icon).isNull());
    }

    // No foreign icons on the buttons.
    for (QAbstractButton* b : box.buttons())
        EXPECT_TRUE(b->icon().isNull()) << b->text().toStdString();
    EXPECT_TRUE(QApplication::style()->standardIcon(QStyle::SP_DialogOkButton).isNull());
}

TEST_F(AppStyleTest, WithoutGeneratedIconsMessageBoxesShowNone) {
    applyAppStyle(*app, QStringLiteral("/nonexistent/"));
    EXPECT_TRUE(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning).isNull());
}

}  // namespace
}  // namespace tessaron::ui
