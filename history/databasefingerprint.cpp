#include "databasefingerprint.h"

#include "questionindexentry.h"

#include <QCryptographicHash>
#include <QFile>

QString DatabaseFingerprint::fromHeader(QByteArrayView header)
{
    QByteArray bytes(QuestionBankLayout::HeaderSize, '\0');
    const qsizetype used = qMin<qsizetype>(header.size(), bytes.size());
    std::copy_n(header.data(), used, bytes.data());
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QString DatabaseFingerprint::fromDevice(QIODevice &device)
{
    if (!device.isOpen() && !device.open(QIODevice::ReadOnly))
        return {};
    if (!device.isSequential() && !device.seek(0))
        return {};
    const QByteArray header = device.read(QuestionBankLayout::HeaderSize);
    if (header.isEmpty())
        return {};
    return fromHeader(header);
}

QString DatabaseFingerprint::fromFile(const QString &path)
{
    QFile file(path);
    return fromDevice(file);
}
