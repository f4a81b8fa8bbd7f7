#include "app/key_page/key_page_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>

#include "ui/file_dialog.h"
#include "ui/message_box.h"
#include "ui/text.h"

namespace tessaron::app {
namespace {

using key_page::Chooser;

// The Startup chooser's first filter lists folders and executable files, whatever their names:
// Linux programs mostly have no extension, and scripts have any.
class ProgramFilter final : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setProgramsOnly(bool on) {
        programsOnly_ = on;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        if (!programsOnly_) return true;
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (!files) return true;
        return isProgramOrFolder(files->filePath(files->index(row, 0, parent)));
    }

private:
    bool programsOnly_ = true;
};

QString chooserTitle(Chooser chooser, Language lang) {
    switch (chooser) {
        case Chooser::Sound:
            return ui::text(lang, TR_TEXT("KeyPage", "Choose a Sound"));
        case Chooser::Program:
            return ui::text(lang, TR_TEXT("KeyPage", "Choose a Program"));
        case Chooser::File:
            return ui::text(lang, TR_TEXT("KeyPage", "Choose a File"));
        case Chooser::Folder:
            break;
    }
    return ui::text(lang, TR_TEXT("KeyPage", "Choose a Folder"));
}

std::optional<QString> chooseFile(QWidget* parent, Chooser chooser, Language lang) {
    QFileDialog dialog(parent, chooserTitle(chooser, lang), QDir::homePath());
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    const QStringList filters = fileChooserFilters(chooser, lang);
    if (chooser == Chooser::Program) {
        // The filtering proxy only works on Qt's own dialog.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        auto* proxy = new ProgramFilter(&dialog);  // owned by the dialog
        dialog.setProxyModel(proxy);
        const QString programs = filters.first();
        QObject::connect(&dialog, &QFileDialog::filterSelected, proxy,
                         [proxy, programs](const QString& filter) {
                             proxy->setProgramsOnly(filter == programs);
                         });
    }
    dialog.setNameFilters(filters);
    ui::fitFileDialog(dialog);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty()) return std::nullopt;
    return files.first();
}

std::optional<QString> chooseFolder(QWidget* parent, Language lang) {
    QFileDialog dialog(parent, chooserTitle(Chooser::Folder, lang), QDir::homePath());
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    ui::fitFileDialog(dialog);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.selectedFiles().value(0);
}

}  // namespace

QStringList fileChooserFilters(Chooser chooser, Language lang) {
    const QString all = ui::text(lang, TR_TEXT("KeyPage", "All Files (*)"));
    switch (chooser) {
        case Chooser::Sound:
            return {ui::text(lang, TR_TEXT("KeyPage", "Audio Files")) +
                        QStringLiteral(" (*.mp3 *.ogg *.oga *.opus *.flac *.wav *.m4a *.aac "
                                       "*.wma *.MP3 *.OGG *.FLAC *.WAV)"),
                    all};
        case Chooser::Program:
            return {ui::text(lang, TR_TEXT("KeyPage", "Programs (*)")), all};
        case Chooser::File:
        case Chooser::Folder:
            break;
    }
    return {all};
}

bool isProgramOrFolder(const QString& path) {
    const QFileInfo info(path);
    return info.isDir() || (info.isFile() && info.isExecutable());
}

std::optional<QString> QtKeyPageDialogs::choose(QWidget* parent, Chooser chooser, Language lang) {
    if (chooser == Chooser::Folder) return chooseFolder(parent, lang);
    return chooseFile(parent, chooser, lang);
}

void QtKeyPageDialogs::message(QWidget* parent, const QString& text, Language lang) {
    const QString title = parent ? parent->window()->windowTitle() : QString();
    ui::runMessageBox(parent, lang, ui::BoxKind::Information, title, text.trimmed());
}

}  // namespace tessaron::app
