#include "app/key_page/key_page_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QSortFilterProxyModel>

#include "ui/message_box.h"

namespace tessaron::app {
namespace {

using key_page::Chooser;

// Under the program chooser's second filter the dialog lists every file; this keeps folders and
// executables without an extension.
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
        return isProgramWithoutExtension(files->filePath(files->index(row, 0, parent)));
    }

private:
    bool programsOnly_ = false;
};

std::optional<QString> chooseFile(QWidget* parent, Chooser chooser, Language lang) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDirectory(QDir::homePath());
    QStringList filters{fileChooserFilter(chooser)};
    if (chooser == Chooser::Program) {
        // The filtering proxy only works on Qt's own dialog.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        auto* proxy = new ProgramFilter(&dialog);  // owned by the dialog
        dialog.setProxyModel(proxy);
        const QString programs = programWithoutExtensionFilter(lang);
        filters << programs;
        QObject::connect(&dialog, &QFileDialog::filterSelected, proxy,
                         [proxy, programs](const QString& filter) {
                             proxy->setProgramsOnly(filter == programs);
                         });
    }
    dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty()) return std::nullopt;
    return files.first();
}

std::optional<QString> chooseFolder(QWidget* parent) {
    QFileDialog dialog(parent, QStringLiteral("modification path"), QDir::homePath());
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.selectedFiles().value(0);
}

}  // namespace

QString fileChooserFilter(Chooser chooser) {
    switch (chooser) {
        case Chooser::Sound:
            return QStringLiteral("mp3 Files(*.mp3)");
        case Chooser::Program:
            return QStringLiteral("exe Files(*.exe)");
        case Chooser::File:
        case Chooser::Folder:
            break;
    }
    return QStringLiteral("txt Files(*.txt)");
}

QString programWithoutExtensionFilter(Language lang) {
    return lang == Language::Chinese ? QStringLiteral("无扩展名的程序(*)")
                                     : QStringLiteral("Programs without extension(*)");
}

bool isProgramWithoutExtension(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) return true;
    return info.isFile() && info.isExecutable() && !info.fileName().contains(QLatin1Char('.'));
}

std::optional<QString> QtKeyPageDialogs::choose(QWidget* parent, Chooser chooser, Language lang) {
    if (chooser == Chooser::Folder) return chooseFolder(parent);
    return chooseFile(parent, chooser, lang);
}

void QtKeyPageDialogs::message(QWidget* parent, const QString& text, Language lang) {
    const QString title = parent ? parent->window()->windowTitle() : QString();
    ui::runMessageBox(parent, lang, ui::BoxKind::Information, title, text.trimmed());
}

}  // namespace tessaron::app
