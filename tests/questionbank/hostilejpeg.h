#pragma once

#include <QByteArray>
#include <QImage>

// JPEG streams that are valid or nearly so but hard on a decoder, made with
// libjpeg-turbo's own encoder.
namespace HostileJpeg {

// A greyscale progressive picture with one scan per AC coefficient and
// refinement level: 1 + 63 * (refinements + 1) scans. Small on disk, slow to
// decode. `refinements` is at most 10.
QByteArray manyScans(int width, int height, int refinements);

// `image` as a four-component JPEG: CMYK values as Adobe's programs store
// them (inverted), with the Adobe marker that says so.
QByteArray adobeCmyk(const QImage &image);

// A sound baseline picture whose frame header claims width × height and whose
// image data is missing: the scan header is followed by the end marker.
QByteArray headerOnly(int width, int height);

} // namespace HostileJpeg
