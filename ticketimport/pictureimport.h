#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Turns a picture file of any common format into a JPEG the program can
// show, within the database's 30000-byte limit for a picture.
namespace PictureImport {

inline constexpr int MaxJpegBytes = 30000;

enum class Outcome
{
    Kept,      // a JPEG that already fits, stored byte for byte
    Reencoded, // encoded again, at the highest quality that fits
    Scaled,    // made smaller, as even a low quality did not fit
    Failed,
};

struct Result
{
    Outcome outcome = Outcome::Failed;
    QByteArray jpeg;
    QString error; // with Outcome::Failed
    int quality = 0;
    QSize size;
};

// Decodes `bytes` by their content, whatever the file is called: JPEG with
// libjpeg-turbo, PNG and WebP (and the other formats Qt's image plugins
// read) with Qt. Transparency is flattened onto white.
Result import(const QByteArray &bytes, int maxBytes = MaxJpegBytes);

// The format the bytes start with ("jpeg", "png", "webp", …), or empty.
QByteArray detectFormat(const QByteArray &bytes);

} // namespace PictureImport
