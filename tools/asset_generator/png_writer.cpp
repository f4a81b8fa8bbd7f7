#include "png_writer.h"

#include <QFile>

#include <png.h>

#include <cstdio>
#include <vector>

namespace tessaron::assets {

namespace {

// Kept free of C++ objects with destructors: libpng reports errors by longjmp.
bool writeRows(std::FILE* file, int width, int height, bool alpha, png_bytep* rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_set_compression_level(png, 6);
    png_set_rows(png, info, rows);
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool writeQuickPng(const QImage& img, const QString& path) {
    if (img.isNull()) return false;
    const bool alpha = img.hasAlphaChannel();
    const QImage bytes = img.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    std::vector<png_bytep> rows(static_cast<std::size_t>(bytes.height()));
    for (int y = 0; y < bytes.height(); ++y) {
        // libpng only reads the rows it is given to write.
        rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(bytes.constScanLine(y));
    }
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (file == nullptr) return false;
    const bool written = writeRows(file, bytes.width(), bytes.height(), alpha, rows.data());
    return std::fclose(file) == 0 && written;
}

}  // namespace tessaron::assets
