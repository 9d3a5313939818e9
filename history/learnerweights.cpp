#include "learnerweights.h"

#include "regularfile.h"
#include "storedvalues.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cmath>

namespace {

constexpr qint64 MsPerDay = 86'400'000;

QJsonObject readAll(const QString &filePath)
{
    // Only a regular file: opening a named pipe would wait for a writer.
    if (!RegularFile::refusalReason(filePath).isEmpty())
        return {};
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // A few hundred bytes per database; anything far larger is not ours.
    if (file.size() > 1 << 20)
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

QString number(double value)
{
    return QString::number(value, 'f', 3).replace(QLatin1Char('.'), QLatin1Char(','));
}

// "по 401 ответу", "по 2000 ответам"
QString answersDative(int n)
{
    const bool one = n % 10 == 1 && n % 100 != 11;
    return QString::number(n) + (one ? QStringLiteral(" ответу") : QStringLiteral(" ответам"));
}

} // namespace

LearnerWeights::Record LearnerWeights::fromFit(const FsrsFit::Result &fit, qint64 fittedAtMs,
                                               int answers)
{
    Record r;
    r.fittedAtMs = fittedAtMs;
    r.answers = answers;
    r.weights = fit.weights;
    r.defaultLogLoss = fit.defaultLogLoss;
    r.fittedLogLoss = fit.fittedLogLoss;
    r.used = fit.beatsDefaults();
    return r;
}

QString LearnerWeights::filePathIn(const QString &folder)
{
    return QDir(folder).filePath(QString::fromLatin1(FileName));
}

std::optional<LearnerWeights::Record> LearnerWeights::load(const QString &filePath,
                                                           const QString &fingerprint)
{
    const QJsonObject o = readAll(filePath).value(fingerprint).toObject();
    const QJsonArray w = o.value(QStringLiteral("weights")).toArray();
    if (o.isEmpty() || w.size() != int(Fsrs::DefaultWeights.size()))
        return std::nullopt;
    Record r;
    for (int i = 0; i < w.size(); ++i) {
        const double v = w[i].toDouble(std::nan(""));
        if (!std::isfinite(v))
            return std::nullopt;
        r.weights[size_t(i)] = v;
    }
    // Within the times the history keeps: a tampered 1e300 or NaN would be
    // undefined as an integer, and a time near the ends of the range would
    // overflow the weekly refit's arithmetic. One far off is refit at once.
    r.fittedAtMs = StoredValues::time(o.value(QStringLiteral("fittedAt")).toDouble());
    r.answers = o.value(QStringLiteral("answers")).toInt();
    r.defaultLogLoss = o.value(QStringLiteral("defaultLogLoss")).toDouble();
    r.fittedLogLoss = o.value(QStringLiteral("fittedLogLoss")).toDouble();
    r.used = o.value(QStringLiteral("used")).toBool();
    // Weights that would break the model (a stability or difficulty weight
    // at or below zero) are not used, whatever the file says.
    if (r.used && (r.weights[0] <= 0 || r.weights[1] <= 0 || r.weights[4] < 1))
        r.used = false;
    return r;
}

namespace {

bool writeAll(const QString &filePath, const QJsonObject &all)
{
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(all).toJson());
    return file.commit();
}

} // namespace

bool LearnerWeights::remove(const QString &filePath, const QString &fingerprint)
{
    QJsonObject all = readAll(filePath);
    if (!all.contains(fingerprint))
        return true;
    all.remove(fingerprint);
    return writeAll(filePath, all);
}

bool LearnerWeights::save(const QString &filePath, const QString &fingerprint, const Record &record)
{
    QJsonObject all = readAll(filePath);
    QJsonArray w;
    for (double v : record.weights)
        w.append(v);
    QJsonObject o;
    o.insert(QStringLiteral("fittedAt"), double(record.fittedAtMs));
    o.insert(QStringLiteral("answers"), record.answers);
    o.insert(QStringLiteral("weights"), w);
    o.insert(QStringLiteral("defaultLogLoss"), record.defaultLogLoss);
    o.insert(QStringLiteral("fittedLogLoss"), record.fittedLogLoss);
    o.insert(QStringLiteral("used"), record.used);
    all.insert(fingerprint, o);
    return writeAll(filePath, all);
}

bool LearnerWeights::refitDue(const std::optional<Record> &record,
                              const QList<AnswerOutcome> &answers, qint64 nowMs)
{
    if (!FsrsFit::enoughHistory(answers))
        return false;
    // A clock set back leaves a fit "from the future": refit then too.
    return !record || nowMs - record->fittedAtMs >= RefitDays * MsPerDay ||
           nowMs < record->fittedAtMs;
}

Fsrs::Weights LearnerWeights::weightsInUse(const std::optional<Record> &record)
{
    return record && record->used ? record->weights : Fsrs::DefaultWeights;
}

QString LearnerWeights::description(const std::optional<Record> &record)
{
    if (!record)
        return QStringLiteral("Параметры памяти: стандартные. Свои подберутся по вашей истории, "
                              "когда в ней будет не меньше %1 ответов на %2 вопросов за %3 дней.")
            .arg(FsrsFit::MinAnswers)
            .arg(FsrsFit::MinQuestions)
            .arg(FsrsFit::MinDays);
    const QString date = QDateTime::fromMSecsSinceEpoch(record->fittedAtMs)
                             .toLocalTime()
                             .date()
                             .toString(QStringLiteral("dd.MM.yyyy"));
    if (record->used)
        return QStringLiteral("Параметры памяти: ваши собственные, подобраны %1 по %2. "
                              "Последние ответы они предсказывают точнее стандартных "
                              "(логарифмическая ошибка %3 против %4).")
            .arg(date, answersDative(record->answers))
            .arg(number(record->fittedLogLoss), number(record->defaultLogLoss));
    return QStringLiteral("Параметры памяти: стандартные. Подобранные %1 по вашим ответам "
                          "предсказали последние ответы не лучше стандартных "
                          "(логарифмическая ошибка %2 против %3).")
        .arg(date)
        .arg(number(record->fittedLogLoss), number(record->defaultLogLoss));
}
