#include "regularfile.h"

#include <QDir>
#include <QFileInfo>

QString RegularFile::refusalReason(const QString &path)
{
    const QFileInfo info(path);
    // exists() follows links, so a dangling link counts as missing: opening
    // it fails in the ordinary way.
    if (!info.exists() || info.isFile())
        return {};
    const QString name = QDir::toNativeSeparators(path);
    if (info.isDir())
        return QStringLiteral("\"%1\" — это папка, а не файл").arg(name);
    return QStringLiteral("\"%1\" — не обычный файл (канал, устройство или сокет)").arg(name);
}
