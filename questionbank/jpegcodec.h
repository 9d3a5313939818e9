#pragma once

#include <QByteArray>
#include <QImage>

#include <optional>

// JPEG through libjpeg-turbo's TurboJPEG API. Qt's own image plugin is not
// used, so that decoding does not depend on which plugins are deployed.
namespace JpegCodec {

// Pictures larger than this (in pixels) are refused before any memory is
// allocated: a damaged header must not make us allocate gigabytes.
inline constexpr qint64 MaxPixels = 16 * 1024 * 1024;

// Decodes a complete JPEG stream to an RGB888 image; nullopt if it does not
// decode or is larger than MaxPixels.
std::optional<QImage> decode(QByteArrayView jpeg);

// Encodes an image as baseline JPEG with 4:2:0 subsampling. The output depends
// only on the pixels and the quality, so drawings encode reproducibly.
QByteArray encode(const QImage &image, int quality = 85);

} // namespace JpegCodec
