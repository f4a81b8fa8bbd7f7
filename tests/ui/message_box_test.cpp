// Message boxes and Qt's own dialogs speak the interface language, whatever the desktop's locale.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "ui/message_box.h"
#include "ui/qt_translations.h"

namespace tessaron::ui {
namespace {

// Runs the box, reads what it shows, and answers with the given button.
struct Shown {
    QStringList buttons;
    int width = 0;
};

Shown runAndRead(Language lang, BoxKind kind, const QString& caption, const QString& text,
                 bool pressOk, bool* result) {
    Shown shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (auto* b : box->buttons()) shown.buttons << b->text();
        shown.width = box->sizeHint().width();
        box->button(pressOk ? QMessageBox::Ok : QMessageBox::Cancel)->click();
    });
    *result = runMessageBox(nullptr, lang, kind, caption, text);
    return shown;
}

TEST(MessageBox, ButtonsFollowTheInterfaceLanguageAndTheCaptionFits) {
    bool ok = false;
    auto shown = runAndRead(Language::Chinese, BoxKind::Question, QStringLiteral("固件更新"),
                            QStringLiteral("更新到新的固件吗？"), false, &ok);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(shown.buttons.contains(QStringLiteral("确定")));
    EXPECT_TRUE(shown.buttons.contains(QStringLiteral("取消")));

    // A long caption over a short text widens the box, so the title bar need not cut it.
    const QString caption = QStringLiteral("Firmware Update of the Keyboard Caption");
    shown = runAndRead(Language::English, BoxKind::Question, caption, QStringLiteral("Update?"),
                       true, &ok);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(shown.buttons.contains(QStringLiteral("OK")));
    EXPECT_GE(shown.width, QFontMetrics(QApplication::font()).horizontalAdvance(caption));
}

TEST(QtTranslations, StandardButtonsOfQtsOwnDialogsFollowTheLanguage) {
    const auto openText = [] {
        QDialogButtonBox box(QDialogButtonBox::Open | QDialogButtonBox::Cancel);
        return box.button(QDialogButtonBox::Open)->text().remove(QLatin1Char('&'));
    };
    ASSERT_TRUE(installQtTranslations(Language::Chinese))
        << "Qt's Chinese translation (qt6-translations-l10n) is not installed";
    EXPECT_TRUE(openText().startsWith(QStringLiteral("打开"))) << openText().toStdString();
    ASSERT_TRUE(installQtTranslations(Language::English));
    EXPECT_EQ(openText(), QStringLiteral("Open"));
}

}  // namespace
}  // namespace tessaron::ui
