#include "ui/file_dialog.h"

#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>

#include <algorithm>

namespace tessaron::ui {

void fitFileDialog(QFileDialog& dialog) {
    // The detail view's columns take the width their texts need, the name column the rest.
    if (auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    dialog.resize(std::max(dialog.width(), 780), std::max(dialog.height(), 460));
}

}  // namespace tessaron::ui
