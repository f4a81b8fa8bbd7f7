#pragma once
// PNG files written for a fast first paint: true-colour rows filtered with "Up" only. The
// adaptive filters of the usual writers pick Paeth for the antialiased pictures, whose reversal
// costs a start about twice the inflate time of the same picture filtered with Up, for files
// only a little smaller.

#include <QImage>
#include <QString>

namespace tessaron::assets {

// Writes img (any format; with transparency when it has an alpha channel) as an 8-bit RGB or
// RGBA PNG. Palette images are left to Qt's writer. Returns false when the file could not be
// written.
bool writeQuickPng(const QImage& img, const QString& path);

}  // namespace tessaron::assets
