#include "questionkeys.h"

#include "answerhistory.h"
#include "question.h"
#include "questionbankerror.h"
#include "questiondatabase.h"
#include "textblock.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QHash>
#include <QtEndian>

namespace {

QString normalised(const QString &text)
{
    return text.normalized(QString::NormalizationForm_KC).simplified();
}

// Each part with its length, so that no two different contents hash alike
// by moving text from one part to the next.
void addPart(QCryptographicHash &hash, const QByteArray &bytes)
{
    const quint32 size = qToLittleEndian(quint32(bytes.size()));
    hash.addData(QByteArrayView(reinterpret_cast<const char *>(&size), sizeof size));
    hash.addData(bytes);
}

qint64 keyOf(const QCryptographicHash &hash)
{
    return qFromLittleEndian<qint64>(hash.resultView().data());
}

} // namespace

qint64 QuestionKeys::contentKey(const Question &question, const QByteArray &pictureBytes)
{
    QCryptographicHash hash(QCryptographicHash::Blake2b_256);
    addPart(hash, "question");
    addPart(hash, normalised(question.questionText).toUtf8());
    for (int v = 1; v <= question.answerCount && v < int(question.answerTexts.size()); ++v)
        addPart(hash, normalised(question.answerTexts[size_t(v)]).toUtf8());
    addPart(hash, QByteArray::number(question.correctVariant));
    addPart(hash, pictureBytes);
    return keyOf(hash);
}

qint64 QuestionKeys::placeKey(const QString &fingerprint, int absoluteNumber)
{
    QCryptographicHash hash(QCryptographicHash::Blake2b_256);
    addPart(hash, "place");
    addPart(hash, fingerprint.toLatin1());
    addPart(hash, QByteArray::number(absoluteNumber));
    return keyOf(hash);
}

QList<qint64> QuestionKeys::compute(QuestionDatabase &database, const QString &fingerprint)
{
    QList<qint64> keys;
    keys.reserve(800);
    QHash<qint64, int> occurrences;
    Question question;
    for (int a = 1; a <= 800; ++a) {
        qint64 key = 0;
        try {
            parseQuestion(database.readQuestionText(a), question, a);
            key = contentKey(question, database.readQuestionPictureBytes(a));
        } catch (const QuestionBankError &) {
            key = placeKey(fingerprint, a);
        }
        if (const int seen = occurrences[key]++; seen > 0) {
            QCryptographicHash hash(QCryptographicHash::Blake2b_256);
            addPart(hash, "repeat");
            addPart(hash, QByteArray::number(key));
            addPart(hash, QByteArray::number(seen));
            key = keyOf(hash);
        }
        keys.append(key);
    }
    return keys;
}

int QuestionKeys::attach(AnswerHistory &history, const QString &databasePath,
                         const QString &fingerprint)
{
    if (!history.isAvailable() || fingerprint.isEmpty())
        return 0;
    const QFileInfo info(databasePath);
    AnswerHistory::StoredKeys fresh;
    fresh.fileSize = info.size();
    fresh.modifiedMs = info.lastModified().toMSecsSinceEpoch();
    if (const auto stored = history.questionKeys(fingerprint);
        stored && stored->fileSize == fresh.fileSize && stored->modifiedMs == fresh.modifiedMs) {
        return 0;
    }
    // A database of its own: the program's global one stays as it is.
    QuestionDatabase database;
    try {
        database.openDatabase(databasePath);
    } catch (const QuestionBankError &) {
        return 0;
    }
    fresh.keys = compute(database, fingerprint);
    return history.registerQuestionKeys(fingerprint, fresh).value_or(0);
}
