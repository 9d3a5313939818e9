#pragma once

#include <QString>

// Opening a named pipe blocks until someone writes to it, and a device or a
// folder is no data file at all; such paths are refused by their type, which
// QFileInfo reads without opening anything.
namespace RegularFile {

// Empty when `path` names a regular file (or a link to one) or nothing at all;
// otherwise the reason, in Russian, why it must not be opened as a data file.
QString refusalReason(const QString &path);

} // namespace RegularFile
