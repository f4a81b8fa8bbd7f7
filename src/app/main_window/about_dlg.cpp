#include "app/main_window/about_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "core/version.h"

namespace tessaron::app {

CAboutDlg::CAboutDlg(Language lang, QWidget* parent) : QDialog(parent) {
    const bool zh = lang == Language::Chinese;
    setWindowTitle(zh ? QStringLiteral("关于 Tessaron") : QStringLiteral("About Tessaron"));

    auto* icon = new QLabel(this);
    if (parent != nullptr && !parent->windowIcon().isNull()) {
        icon->setPixmap(parent->windowIcon().pixmap(48, 48));
    }
    auto* text = new QLabel(this);
    text->setText(QStringLiteral("<b>%1</b><br>%2 %3<br>%4")
                      .arg(QString::fromLatin1(kProgramName),
                           zh ? QStringLiteral("版本") : QStringLiteral("Version"),
                           QString::fromLatin1(kVersion),
                           zh ? QStringLiteral("游戏键盘设置工具")
                              : QStringLiteral("Settings for the Orvik gaming keyboard")));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(12);
    row->addWidget(text, 1);
    auto* column = new QVBoxLayout(this);
    column->addLayout(row);
    column->addWidget(buttons);
}

}  // namespace tessaron::app
