#include "app/profiles/profiles_dlg_prompts.h"

#include <QFile>
#include <QFileDialog>

#include "ui/file_dialog.h"
#include "ui/message_box.h"
#include "ui/text.h"

namespace tessaron::app {

namespace {

QString toQString(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

std::optional<std::filesystem::path> fromQString(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// Several fixed texts end in a line break meant for the old debug output.
QString shown(const QString& text) {
    return text.trimmed();
}

}  // namespace

void DialogProfilesPrompts::inform(const QString& caption, const QString& text) {
    ui::runMessageBox(owner_, lang_, ui::BoxKind::Information, shown(caption), shown(text));
}

bool DialogProfilesPrompts::confirm(const QString& caption, const QString& text) {
    return ui::runMessageBox(owner_, lang_, ui::BoxKind::Question, shown(caption), shown(text),
                             /*cancelIsDefault=*/true);
}

std::optional<std::filesystem::path> DialogProfilesPrompts::chooseSaveFile(
    const std::filesystem::path& startFolder) {
    // A new file name is allowed: an export to a file that does not exist yet is the usual case.
    QFileDialog dialog(owner_, ui::text(lang_, TR_TEXT("ProfilesPanel", "Save")),
                       toQString(startFolder), QString::fromLatin1(kProfileFileFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("bin"));
    ui::fitFileDialog(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return fromQString(dialog.selectedFiles().constFirst());
}

std::optional<std::filesystem::path> DialogProfilesPrompts::chooseOpenFile(
    const std::filesystem::path& startFolder) {
    QFileDialog dialog(owner_, ui::text(lang_, TR_TEXT("ProfilesPanel", "Load")),
                       toQString(startFolder), QString::fromLatin1(kProfileFileFilter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("bin"));
    ui::fitFileDialog(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return fromQString(dialog.selectedFiles().constFirst());
}

}  // namespace tessaron::app
