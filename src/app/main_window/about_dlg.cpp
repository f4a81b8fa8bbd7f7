#include "app/main_window/about_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "core/version.h"
#include "ui/text.h"

namespace tessaron::app {

CAboutDlg::CAboutDlg(Language lang, QWidget* parent) : QDialog(parent) {
    setWindowTitle(ui::text(lang, TR_TEXT("MainWindow", "About Tessaron")));

    auto* icon = new QLabel(this);
    if (parent != nullptr && !parent->windowIcon().isNull()) {
        icon->setPixmap(parent->windowIcon().pixmap(48, 48));
    }
    auto* text = new QLabel(this);
    text->setText(
        QStringLiteral("<b>%1</b><br>%2 %3<br>%4")
            .arg(QString::fromLatin1(kProgramName),
                 ui::text(lang, TR_TEXT("MainWindow", "Version")), QString::fromLatin1(kVersion),
                 ui::text(lang, TR_TEXT("MainWindow", "Settings for the Orvik gaming keyboard"))));
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
