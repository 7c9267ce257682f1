// The lexmire-jpeg module: libjpeg, loaded to decode the download window's picture and let
// go of again. A picture decoded once at start does not keep the library's half a megabyte
// of pages in the window's memory for the rest of the game.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

// The module's one entry point: decodes a whole JPEG file into *image (null on any failure).
#define LEXMIRE_JPEG_DECODER "lexmire_decode_jpeg"
using JpegDecoderEntry = void (*)(const QByteArray* data, QImage* image);

namespace JpegModule {

QString fileName();

// Decodes through the first of paths that loads as the module, which is unloaded again
// afterwards; a null image when no module is found or the data is not a picture.
QImage decode(const QByteArray& data, const QStringList& paths);
QImage decode(const QByteArray& data);

}
