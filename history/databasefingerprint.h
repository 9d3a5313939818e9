#pragma once

#include <QByteArrayView>
#include <QIODevice>
#include <QString>

// Identifies a question database by its content, not its file name: the
// SHA-256 of its title field and index (the first 51 + 12800 bytes), as 64
// lowercase hex digits. A moved or renamed file keeps its fingerprint; two
// databases with different titles or question layouts never share one.
namespace DatabaseFingerprint {
// `header` is the start of the file; a shorter one is taken as padded with
// zero bytes (the reader leaves what a short file lacks all zero), a longer
// one is cut to the header size.
QString fromHeader(QByteArrayView header);
// Reads the header from `device` (opened read-only if not yet open, and read
// from its start). Returns an empty string when nothing can be read.
QString fromDevice(QIODevice &device);
QString fromFile(const QString &path);
} // namespace DatabaseFingerprint
