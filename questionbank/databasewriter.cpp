#include "databasewriter.h"

#include <QHash>
#include <QSaveFile>
#include <QStringEncoder>
#include <QtEndian>

using namespace QuestionBankLayout;

void DatabaseWriter::setTitle(const QString &title)
{
    QStringEncoder encoder("windows-1251");
    setTitleBytes(encoder.encode(title));
}

void DatabaseWriter::setTitleBytes(const QByteArray &windows1251)
{
    m_title = windows1251.left(MaxTitleLength);
}

void DatabaseWriter::setQuestion(int absoluteNumber, const QByteArray &textBlock,
                                 const QByteArray &jpeg)
{
    Q_ASSERT(absoluteNumber >= 1 && absoluteNumber <= QuestionCount);
    m_texts[size_t(absoluteNumber - 1)] = textBlock;
    m_pictures[size_t(absoluteNumber - 1)] = jpeg;
}

QByteArray DatabaseWriter::toBytes() const
{
    QByteArray out(HeaderSize, '\0');
    out[0] = char(m_title.size());
    std::copy(m_title.cbegin(), m_title.cend(), out.begin() + 1);

    // A picture shown by several questions is stored once; their index
    // entries point at the same bytes.
    QHash<QByteArray, qint32> pictureOffsets;
    for (int i = 0; i < QuestionCount; ++i) {
        const QByteArray &text = m_texts[size_t(i)];
        const QByteArray &picture = m_pictures[size_t(i)];
        char *entry = out.data() + IndexOffset + i * IndexEntrySize;
        qToLittleEndian<qint32>(qint32(out.size()), entry);
        qToLittleEndian<qint32>(qint32(text.size()), entry + 4);
        out.append(text);
        if (!picture.isEmpty()) {
            auto stored = pictureOffsets.constFind(picture);
            if (stored == pictureOffsets.constEnd()) {
                stored = pictureOffsets.insert(picture, qint32(out.size()));
                out.append(picture);
            }
            // Re-fetch the entry: append() may have moved the buffer.
            entry = out.data() + IndexOffset + i * IndexEntrySize;
            qToLittleEndian<qint32>(*stored, entry + 8);
            qToLittleEndian<qint32>(qint32(picture.size()), entry + 12);
        }
    }
    return out;
}

bool DatabaseWriter::writeFile(const QString &path, QString *error) const
{
    QSaveFile file(path);
    const QByteArray bytes = toBytes();
    // Every step is checked: a short write or a failed flush (a full disk)
    // must not let commit() put a torn file in place of the old one.
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush() &&
        file.commit()) {
        return true;
    }
    if (error)
        *error = file.errorString();
    file.cancelWriting();
    return false;
}

QByteArray DatabaseWriter::textBlock(const QStringList &lines)
{
    QStringEncoder encoder("windows-1251");
    QByteArray block;
    for (const QString &line : lines) {
        block.append(encoder.encode(line));
        block.append("\r\n");
    }
    return block;
}
