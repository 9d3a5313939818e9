#include "ticketfolderwriter.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace

QString TicketFolderWriter::pictureName(int ticket, int question)
{
    return QStringLiteral("b%1-v%2.jpg")
        .arg(ticket, 2, 10, QLatin1Char('0'))
        .arg(question, 2, 10, QLatin1Char('0'));
}

QByteArray TicketFolderWriter::ticketText(int ticket, const QList<DemoQuestion> &questions)
{
    QString text = QStringLiteral("# Билет %1\n").arg(ticket);
    for (int i = 0; i < questions.size(); ++i) {
        const DemoQuestion &question = questions.at(i);
        text += QStringLiteral("\n# %1\nquestion %2\n").arg(question.origin).arg(i + 1);
        if (!question.jpeg.isEmpty())
            text += QStringLiteral("picture %1\n").arg(pictureName(ticket, i + 1));
        text += QStringLiteral("correct %1\ntext %2\n").arg(question.correct).arg(question.text);
        for (const QString &variant : question.variants)
            text += QStringLiteral("variant %1 *\n").arg(variant);
        // The window shows the comment after "Комментарий к вопросу №", so the
        // stored comment starts with the question's number in its ticket.
        text += QStringLiteral("comment %1. %2\n").arg(i + 1).arg(question.comment);
    }
    return text.toUtf8();
}

QByteArray TicketFolderWriter::topicsJson(const QList<QList<DemoQuestion>> &tickets)
{
    // Topics in the order their first question appears, each with every
    // question of its topic as an absolute number (ticket - 1) * 20 + question.
    QStringList order;
    QHash<QString, QJsonArray> numbers;
    for (int t = 0; t < tickets.size(); ++t) {
        for (int q = 0; q < tickets.at(t).size(); ++q) {
            const QString topic = TopicRank::name(tickets.at(t).at(q).topicRank);
            if (!numbers.contains(topic))
                order << topic;
            numbers[topic].append(t * int(tickets.at(t).size()) + q + 1);
        }
    }
    QJsonArray topics;
    for (const QString &topic : std::as_const(order))
        topics.append(QJsonObject{{"name", topic}, {"questions", numbers.value(topic)}});
    return QJsonDocument(QJsonObject{{"topics", topics}}).toJson(QJsonDocument::Indented);
}

bool TicketFolderWriter::write(const QString &folder, const QString &title,
                               const QList<QList<DemoQuestion>> &tickets, QString *error)
{
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("pictures"))) {
        if (error)
            *error = QStringLiteral("%1: папка не создаётся").arg(folder);
        return false;
    }
    QFile::remove(dir.filePath(QStringLiteral("title.txt")));
    // Pictures of an earlier layout must not linger beside the new one.
    QDir pictures(dir.filePath(QStringLiteral("pictures")));
    for (const QString &name : pictures.entryList({QStringLiteral("*.jpg")}, QDir::Files))
        pictures.remove(name);

    for (int t = 0; t < tickets.size(); ++t) {
        const QList<DemoQuestion> &questions = tickets.at(t);
        for (int q = 0; q < questions.size(); ++q) {
            if (questions.at(q).jpeg.isEmpty())
                continue;
            if (!writeFile(pictures.filePath(pictureName(t + 1, q + 1)), questions.at(q).jpeg,
                           error))
                return false;
        }
        const QString name = QStringLiteral("ticket%1.txt").arg(t + 1, 2, 10, QLatin1Char('0'));
        if (!writeFile(dir.filePath(name), ticketText(t + 1, questions), error))
            return false;
    }
    if (!writeFile(dir.filePath(QStringLiteral("topics.json")), topicsJson(tickets), error))
        return false;
    // The title goes last: the build treats it as the mark of a complete
    // folder, so a run that fails half-way is not taken for a finished one.
    return writeFile(dir.filePath(QStringLiteral("title.txt")), (title + u'\n').toUtf8(), error);
}
