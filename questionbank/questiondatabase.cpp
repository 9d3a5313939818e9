#include "questiondatabase.h"

#include "jpegcodec.h"
#include "questionbankerror.h"
#include "regularfile.h"
#include "textblock.h"
#include "windows1251.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>

using namespace QuestionBankLayout;

QuestionDatabase::QuestionDatabase() = default;
QuestionDatabase::~QuestionDatabase() = default;

QString QuestionDatabase::openDatabase(const QString &path)
{
    // Checked before opening: opening a named pipe would wait for a writer
    // forever.
    if (const QString refusal = RegularFile::refusalReason(path); !refusal.isEmpty())
        throw QuestionBankError(QStringLiteral("Не удалось открыть файл: %1").arg(refusal));
    auto file = std::make_unique<QFile>(path);
    // Read-only: the program never writes to a database, and a database that
    // is installed read-only (or shared) must still open.
    if (!file->open(QIODevice::ReadOnly)) {
        throw QuestionBankError(
            QStringLiteral("Не удалось открыть файл \"%1\": %2").arg(path, file->errorString()));
    }
    return openDevice(std::move(file));
}

QString QuestionDatabase::openDevice(std::unique_ptr<QIODevice> device)
{
    closeDatabase();
    if (!device->isOpen() && !device->open(QIODevice::ReadOnly))
        throw QuestionBankError(
            QStringLiteral("Не удалось открыть базу вопросов: %1").arg(device->errorString()));
    if (device->isSequential())
        throw QuestionBankError(QStringLiteral("База вопросов должна быть обычным файлом"));

    device->seek(0);
    const QByteArray title = device->read(TitleFieldSize);
    std::copy(title.cbegin(), title.cend(), m_titleField.begin());

    // Bytes past the end of a short file keep their previous content, even
    // inside a partly read entry.
    const QByteArray index = device->read(IndexSize);
    std::copy(index.cbegin(), index.cend(), m_indexBytes.begin());
    for (size_t i = 0; i < m_index.size(); ++i) {
        const char *p = m_indexBytes.data() + i * IndexEntrySize;
        m_index[i] = {qFromLittleEndian<qint32>(p), qFromLittleEndian<qint32>(p + 4),
                      qFromLittleEndian<qint32>(p + 8), qFromLittleEndian<qint32>(p + 12)};
    }
    m_device = std::move(device);
    return this->title();
}

void QuestionDatabase::closeDatabase()
{
    m_device.reset();
}

bool QuestionDatabase::isOpen() const
{
    return m_device != nullptr;
}

QString QuestionDatabase::title() const
{
    const int length = std::min<int>(static_cast<unsigned char>(m_titleField[0]), MaxTitleLength);
    return decodeWindows1251(QByteArrayView(m_titleField.data() + 1, length));
}

const QuestionIndexEntry &QuestionDatabase::entry(int absoluteNumber) const
{
    checkNumber(absoluteNumber);
    return m_index[size_t(absoluteNumber - 1)];
}

qint64 QuestionDatabase::fileSize() const
{
    return m_device ? m_device->size() : 0;
}

void QuestionDatabase::checkNumber(int absoluteNumber) const
{
    if (absoluteNumber < 1 || absoluteNumber > QuestionCount)
        throw QuestionBankError(
            QStringLiteral("Номер вопроса %1 вне диапазона 1–800").arg(absoluteNumber));
}

QByteArray QuestionDatabase::readRange(int absoluteNumber, qint32 offset, qint32 length,
                                       const QString &what)
{
    if (!m_device)
        throw QuestionBankError(QStringLiteral("База вопросов не открыта"));
    if (length < 0 || length > MaxBlockSize) {
        throw QuestionBankError(questionErrorMessage(
            absoluteNumber, QStringLiteral("длина %1 (%2 байт) вне допустимых пределов 0–%3")
                                .arg(what)
                                .arg(length)
                                .arg(MaxBlockSize)));
    }
    const qint64 size = m_device->size();
    if (offset < 0 || qint64(offset) + length > size) {
        throw QuestionBankError(questionErrorMessage(
            absoluteNumber,
            QStringLiteral("блок %1 (смещение %2, длина %3) выходит за пределы файла")
                .arg(what)
                .arg(offset)
                .arg(length)));
    }
    if (!m_device->seek(offset))
        throw QuestionBankError(questionErrorMessage(absoluteNumber, m_device->errorString()));
    QByteArray bytes = m_device->read(length);
    if (bytes.size() != length)
        throw QuestionBankError(questionErrorMessage(
            absoluteNumber, QStringLiteral("ошибка чтения: %1").arg(m_device->errorString())));
    return bytes;
}

QByteArray QuestionDatabase::readQuestionBlock(int absoluteNumber)
{
    const QuestionIndexEntry &e = entry(absoluteNumber);
    return readRange(absoluteNumber, e.textOffset, e.textLength, QStringLiteral("текста"));
}

QStringList QuestionDatabase::readQuestionText(int absoluteNumber)
{
    return splitTextBlock(readQuestionBlock(absoluteNumber));
}

QByteArray QuestionDatabase::readQuestionPictureBytes(int absoluteNumber)
{
    const QuestionIndexEntry &e = entry(absoluteNumber);
    if (!e.hasPicture())
        return {};
    return readRange(absoluteNumber, e.pictureOffset, e.pictureLength, QStringLiteral("рисунка"));
}

std::optional<QImage> QuestionDatabase::readQuestionPicture(int absoluteNumber)
{
    if (!entry(absoluteNumber).hasPicture())
        return std::nullopt;
    const QByteArray jpeg = readQuestionPictureBytes(absoluteNumber);
    JpegCodec::Decoded decoded = JpegCodec::decodeChecked(jpeg);
    if (!decoded.image)
        throw QuestionBankError(questionErrorMessage(absoluteNumber, decoded.problem));
    // A damaged picture that still decoded is shown as far as it goes;
    // `dbv check` reports it.
    return std::move(decoded.image);
}

void QuestionDatabase::readQuestion(int absoluteNumber, Question &question)
{
    Question parsed = question;
    parseQuestion(readQuestionText(absoluteNumber), parsed, absoluteNumber);
    parsed.picture = readQuestionPicture(absoluteNumber);
    question = std::move(parsed);
}

QuestionDatabase &globalQuestionDatabase()
{
    static QuestionDatabase database;
    return database;
}
