#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

// JPEG through libjpeg-turbo's TurboJPEG API. Qt's own image plugin is not
// used, so that decoding does not depend on which plugins are deployed.
namespace JpegCodec {

// Pictures larger than this (in pixels) are refused before any memory is
// allocated: a damaged header must not make us allocate gigabytes.
inline constexpr qint64 MaxPixels = 16 * 1024 * 1024;
// A progressive picture is decoded once per scan: its cost grows with
// pixels times scans. Beyond either limit a picture is refused before
// decoding, so that a small file cannot stall the program for seconds.
inline constexpr int MaxScans = 100;
inline constexpr qint64 MaxPixelScans = 256 * 1024 * 1024;

struct Decoded
{
    // The picture, also when the stream was damaged but mostly decodable.
    std::optional<QImage> image;
    // Why there is no picture, or what was wrong with a picture decoded all
    // the same (TurboJPEG's warning); empty for a sound picture. Russian.
    QString problem;
};

// Decodes a complete JPEG stream (RGB, greyscale, or CMYK/YCCK including
// Adobe's inverted CMYK) to an RGB888 image, and says what was wrong with it.
Decoded decodeChecked(QByteArrayView jpeg);

// decodeChecked(jpeg).image.
std::optional<QImage> decode(QByteArrayView jpeg);

// One CMYK pixel to RGB. `inverted`: the values are stored as 255 minus the
// ink, as in Adobe's files.
QRgb cmykToRgb(int c, int m, int y, int k, bool inverted);

// Encodes an image as baseline JPEG with 4:2:0 subsampling. The output depends
// only on the pixels and the quality, so drawings encode reproducibly.
QByteArray encode(const QImage &image, int quality = 85);

} // namespace JpegCodec
