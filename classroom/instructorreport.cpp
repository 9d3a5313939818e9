#include "instructorreport.h"

#include "answerhistory.h"
#include "databasefingerprint.h"
#include "historymode.h"
#include "learnerpull.h"
#include "preparationoverview.h"
#include "questionkeys.h"
#include "questionprogress.h"
#include "topicprogress.h"

#include <QDir>
#include <QLocale>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimeZone>

#include <algorithm>
#include <cmath>

namespace {

InstructorRow rowFor(const ClassroomLearner &learner, const QString &historyPath,
                     const QString &databasePath, const QString &fingerprint,
                     const LearnerModel &model, const std::optional<QList<Topic>> &topics,
                     const QDateTime &now)
{
    InstructorRow row;
    row.learner = learner;
    row.historyPath = historyPath;
    AnswerHistory history(historyPath);
    if (!history.isAvailable())
        return row;
    QuestionKeys::attach(history, databasePath, fingerprint);
    const QList<AnswerOutcome> outcomes = history.outcomes(fingerprint);
    const PreparationOverview overview =
        PreparationOverview::compute(outcomes, now, QTimeZone::systemTimeZone(), model);
    row.readiness = overview.readiness.passProbability;
    row.answeredQuestions = overview.answeredQuestions;
    const qint64 weekAgo = now.addDays(-7).toMSecsSinceEpoch();
    for (const AnswerOutcome &answer : outcomes) {
        if (answer.answeredAtMs >= weekAgo)
            ++row.answersLastWeek;
        row.lastActivityMs = std::max(row.lastActivityMs.value_or(0), answer.answeredAtMs);
    }
    for (const AttemptRecord &attempt : history.attempts(fingerprint)) {
        row.lastActivityMs = std::max(row.lastActivityMs.value_or(0),
                                      attempt.endedAtMs.value_or(attempt.startedAtMs));
        if (attempt.mode != HistoryMode::OfficialExam || !attempt.result || !attempt.result->passed)
            continue;
        ++row.examsTaken;
        row.examsPassed += *attempt.result->passed ? 1 : 0;
        row.lastExamPassed = *attempt.result->passed;
        row.lastExamWrong = attempt.result->wrong;
    }
    if (topics)
        row.weakestTopics = InstructorReport::weakestTopics(*topics, outcomes);
    return row;
}

} // namespace

InstructorReport::Result
InstructorReport::build(const ServerAddress &instructor, const QString &workFolder,
                        const QString &databasePath, const LearnerModel &model,
                        const std::optional<QList<Topic>> &topics, const QDateTime &now)
{
    Result result;
    ServerConnection server(instructor);
    if (!server.open()) {
        result.error = server.errorMessage();
        return result;
    }
    QSqlDatabase db = server.database();
    QList<ClassroomLearner> learners;
    {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("SELECT CAST(id AS text), name FROM zeltrak.learners "
                                       "ORDER BY name, id"))) {
            result.error = server.fail(query.lastError());
            return result;
        }
        while (query.next())
            learners.append({query.value(0).toString(), query.value(1).toString()});
    }
    const QString fingerprint = DatabaseFingerprint::fromFile(databasePath);
    for (const ClassroomLearner &learner : learners) {
        const QString path = ClassroomLearners::historyPathOf(workFolder, learner.id);
        QDir().mkpath(ClassroomLearners::folderOf(workFolder, learner.id));
        const LearnerPull::Result pulled = LearnerPull::pull(db, learner.id, path);
        if (!pulled.ok && result.error.isEmpty())
            result.error = pulled.error;
        result.rows.append(rowFor(learner, path, databasePath, fingerprint, model, topics, now));
    }
    return result;
}

QStringList InstructorReport::weakestTopics(const QList<Topic> &topics,
                                            const QList<AnswerOutcome> &answers, int count)
{
    const QList<TopicProgress> progress =
        TopicProgress::compute(topics, QuestionProgressTable::fromAnswers(answers));
    QList<const TopicProgress *> answered;
    for (const TopicProgress &topic : progress) {
        if (topic.answeredCount > 0)
            answered.append(&topic);
    }
    // The share of the topic known; a topic answered in part counts its
    // unanswered questions as not known. Ties keep the topics' order.
    std::stable_sort(answered.begin(), answered.end(), [](const auto *a, const auto *b) {
        return qint64(a->rightCount) * b->questionCount < qint64(b->rightCount) * a->questionCount;
    });
    QStringList names;
    for (qsizetype i = 0; i < answered.size() && i < count; ++i)
        names.append(answered[i]->name);
    return names;
}

QString InstructorReport::percentText(double chance)
{
    return QStringLiteral("%1 %").arg(std::lround(std::clamp(chance, 0.0, 1.0) * 100));
}

QString InstructorReport::lastExamText(const InstructorRow &row)
{
    if (!row.lastExamPassed)
        return QStringLiteral("—");
    if (*row.lastExamPassed)
        return QStringLiteral("сдан");
    const int n = row.lastExamWrong;
    const int lastTwo = n % 100, last = n % 10;
    const char *noun = "ошибок";
    if (last == 1 && lastTwo != 11)
        noun = "ошибка";
    else if (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14))
        noun = "ошибки";
    return QStringLiteral("не сдан (%1 %2)").arg(n).arg(QString::fromUtf8(noun));
}

QStringList InstructorReport::headers()
{
    return {QStringLiteral("Ученик"),
            QStringLiteral("Готовность"),
            QStringLiteral("Ответов за 7 дней"),
            QStringLiteral("Экзамены ГИБДД: сдано"),
            QStringLiteral("из"),
            QStringLiteral("Последний экзамен"),
            QStringLiteral("Слабые темы"),
            QStringLiteral("Последнее занятие")};
}

QStringList InstructorReport::columns(const InstructorRow &row)
{
    const QString last =
        row.lastActivityMs
            ? QDateTime::fromMSecsSinceEpoch(*row.lastActivityMs, QTimeZone::systemTimeZone())
                  .toString(QStringLiteral("dd.MM.yyyy HH:mm"))
            : QStringLiteral("—");
    return {row.learner.name,
            percentText(row.readiness),
            QString::number(row.answersLastWeek),
            QString::number(row.examsPassed),
            QString::number(row.examsTaken),
            lastExamText(row),
            row.weakestTopics.join(QStringLiteral("; ")),
            last};
}

QByteArray InstructorReport::toCsv(const QList<InstructorRow> &rows)
{
    const auto line = [](const QStringList &fields) {
        QStringList quoted;
        for (QString field : fields) {
            // A field a spreadsheet would run as a formula is kept as text.
            if (!field.isEmpty() && QStringLiteral("=+-@").contains(field.front()))
                field.prepend(QLatin1Char('\''));
            if (field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"')) ||
                field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r'))) {
                field.replace(QStringLiteral("\""), QStringLiteral("\"\""));
                field = QLatin1Char('"') + field + QLatin1Char('"');
            }
            quoted.append(field);
        }
        return quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    };
    QString text = line(headers());
    for (const InstructorRow &row : rows)
        text += line(columns(row));
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}
