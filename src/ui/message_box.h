#pragma once
// The one message box of the program: buttons in the interface language, whatever the desktop's
// locale, and wide enough that the window manager shows the whole caption.

#include <QAbstractButton>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <QString>

#include "core/language.h"
#include "ui/text.h"

namespace tessaron::ui {

enum class BoxKind { Information, Question };

// Room beside the caption for the title bar's icon and buttons.
inline constexpr int kCaptionAllowance = 140;

// Shows a modal box; a question has OK and Cancel (or the texts given for them). Returns whether
// OK was pressed.
inline bool runMessageBox(QWidget* parent, Language lang, BoxKind kind, const QString& caption,
                          const QString& text, bool cancelIsDefault = false,
                          const QString& okText = {}, const QString& cancelText = {}) {
    const bool question = kind == BoxKind::Question;
    QMessageBox box(question ? QMessageBox::Question : QMessageBox::Information, caption, text,
                    question ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok, parent);
    box.button(QMessageBox::Ok)
        ->setText(okText.isEmpty() ? ui::text(lang, TR_TEXT("Ui", "OK")) : okText);
    if (question) {
        box.button(QMessageBox::Cancel)
            ->setText(cancelText.isEmpty() ? ui::text(lang, TR_TEXT("Ui", "Cancel")) : cancelText);
        box.setDefaultButton(cancelIsDefault ? QMessageBox::Cancel : QMessageBox::Ok);
    }
    // A short text makes a narrow box, and the title bar then cuts the caption.
    const int captionWidth = QFontMetrics(box.font()).horizontalAdvance(caption) + kCaptionAllowance;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(captionWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    return box.exec() == QMessageBox::Ok;
}

}  // namespace tessaron::ui
