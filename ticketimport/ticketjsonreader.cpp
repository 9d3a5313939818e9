#include "ticketjsonreader.h"

#include "questionindexentry.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>

namespace {

using QuestionBankLayout::QuestionsPerTicket;
using QuestionBankLayout::TicketCount;

constexpr int MinAnswers = 2;
constexpr int MaxAnswers = 5;
// The source refuses larger ticket files before reading them; a file given
// in memory is held to the same limit.
constexpr qint64 MaxTicketFileSize = TicketSource::MaxTicketFileSize;

// "line:column" of a byte offset, for a JSON error a person can find.
QString positionOf(const QByteArray &bytes, qsizetype offset)
{
    int line = 1;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < offset && i < bytes.size(); ++i) {
        if (bytes.at(i) == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    const int column = QString::fromUtf8(bytes.mid(lineStart, offset - lineStart)).size() + 1;
    return QStringLiteral("%1:%2").arg(line).arg(column);
}

class TicketReader
{
public:
    TicketReader(const PictureLookup &lookup, JsonTicketFolder &folder)
        : m_lookup(lookup), m_folder(folder)
    {
    }

    void readTicket(int ticket, const QString &name, const QByteArray &bytes);

private:
    void readQuestion(int ticket, int number, const QJsonObject &object);
    QString resolvePicture(const QString &where, const QString &image);
    void problem(const QString &message) { m_folder.problems << message; }

    const PictureLookup &m_lookup;
    JsonTicketFolder &m_folder;
};

void TicketReader::readTicket(int ticket, const QString &name, const QByteArray &bytes)
{
    if (bytes.size() > MaxTicketFileSize) {
        problem(QStringLiteral("%1: %2 bytes, too large for a ticket").arg(name).arg(bytes.size()));
        return;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        problem(QStringLiteral("%1:%2: not valid JSON: %3")
                    .arg(name, positionOf(bytes, error.offset), error.errorString()));
        return;
    }
    if (!document.isArray()) {
        problem(QStringLiteral("%1: expected an array of questions").arg(name));
        return;
    }
    const QJsonArray questions = document.array();
    for (int number = 1; number <= QuestionsPerTicket; ++number) {
        if (number > questions.size()) {
            problem(QStringLiteral("ticket %1, question %2: missing (%3 has %4 questions)")
                        .arg(ticket)
                        .arg(number)
                        .arg(name)
                        .arg(questions.size()));
            continue;
        }
        const QJsonValue value = questions.at(number - 1);
        if (!value.isObject()) {
            problem(
                QStringLiteral("ticket %1, question %2: not an object").arg(ticket).arg(number));
            continue;
        }
        readQuestion(ticket, number, value.toObject());
    }
    if (questions.size() > QuestionsPerTicket) {
        problem(QStringLiteral("%1: %2 questions, a ticket has %3")
                    .arg(name)
                    .arg(questions.size())
                    .arg(QuestionsPerTicket));
    }
}

void TicketReader::readQuestion(int ticket, int number, const QJsonObject &object)
{
    const QString where = QStringLiteral("ticket %1, question %2").arg(ticket).arg(number);
    JsonTicketQuestion question;
    question.ticket = ticket;
    question.number = number;
    question.question = joinLines(object.value(u"question").toString());
    if (question.question.isEmpty())
        problem(where + QStringLiteral(": no question text"));

    const QJsonArray answers = object.value(u"answers").toArray();
    if (answers.size() < MinAnswers || answers.size() > MaxAnswers) {
        problem(where + QStringLiteral(": %1 answers, %2 to %3 expected")
                            .arg(answers.size())
                            .arg(MinAnswers)
                            .arg(MaxAnswers));
    }
    int correctCount = 0;
    for (qsizetype i = 0; i < answers.size(); ++i) {
        const QJsonObject answer = answers.at(i).toObject();
        const QString text = joinLines(answer.value(u"answer_text").toString());
        if (text.isEmpty())
            problem(where + QStringLiteral(": answer %1 has no text").arg(i + 1));
        const QJsonValue isCorrect = answer.value(u"is_correct");
        if (!isCorrect.isBool()) {
            problem(where +
                    QStringLiteral(": answer %1 has no true/false \"is_correct\"").arg(i + 1));
        } else if (isCorrect.toBool()) {
            ++correctCount;
            question.correct = int(i + 1);
        }
        question.answers << text;
    }
    if (correctCount != 1 && !answers.isEmpty()) {
        problem(
            where +
            QStringLiteral(": %1 answers marked correct, exactly one expected").arg(correctCount));
    }
    // "Правильный ответ: N" repeats the marked answer; when the two disagree
    // one of them is wrong, and a learner must not be taught either.
    static const QRegularExpression statedNumber(QStringLiteral("(\\d+)\\s*$"));
    const QRegularExpressionMatch stated =
        statedNumber.match(object.value(u"correct_answer").toString());
    if (correctCount == 1 && stated.hasMatch() && stated.captured(1).toInt() != question.correct) {
        problem(where +
                QStringLiteral(": \"correct_answer\" says %1, but answer %2 is marked correct")
                    .arg(stated.captured(1))
                    .arg(question.correct));
    }

    question.comment = joinLines(object.value(u"answer_tip").toString());
    for (const QJsonValue &topic : object.value(u"topic").toArray()) {
        const QString name = joinLines(topic.toString());
        if (!name.isEmpty())
            question.topics << name;
    }
    question.picturePath = resolvePicture(where, object.value(u"image").toString().trimmed());
    m_folder.questions << question;
}

QString TicketReader::resolvePicture(const QString &where, const QString &image)
{
    if (image.isEmpty() || QFileInfo(image).fileName() == u"no_image.jpg")
        return {};
    QString relative = QDir::cleanPath(QDir::fromNativeSeparators(image));
    // The picture must be inside the folder: an absolute path or one that
    // climbs out with ".." is refused rather than read from elsewhere.
    if (QDir::isAbsolutePath(relative) || relative == u".." || relative.startsWith(u"../")) {
        problem(where + QStringLiteral(": picture path \"%1\" leaves the folder").arg(image));
        return {};
    }
    // A link is never followed, not even to a file inside the folder: it
    // is reported rather than passed over as missing.
    const auto found = [&](const QString &path) {
        const TicketSource::FileKind kind = m_lookup(path);
        if (kind == TicketSource::FileKind::Link)
            problem(
                where +
                QStringLiteral(": picture \"%1\" is a link; links are not followed").arg(image));
        return kind;
    };
    TicketSource::FileKind kind = found(relative);
    if (kind == TicketSource::FileKind::File)
        return relative;
    if (kind == TicketSource::FileKind::Link)
        return {};
    const qsizetype images = relative.indexOf(QStringLiteral("/images/"));
    if (images >= 0) {
        const QString fromImages = relative.mid(images + 1);
        kind = found(fromImages);
        if (kind == TicketSource::FileKind::File) {
            ++m_folder.picturesFoundFromImages;
            return fromImages;
        }
        if (kind == TicketSource::FileKind::Link)
            return {};
    }
    problem(where + QStringLiteral(": picture \"%1\" not found").arg(image));
    return {};
}

} // namespace

QString joinLines(const QString &text)
{
    static const QRegularExpression breaks(
        QStringLiteral("\\s*(\\r\\n|[\\r\\n\\x{2028}\\x{2029}])\\s*"));
    return QString(text).replace(breaks, QStringLiteral(" ")).trimmed();
}

JsonTicketFolder readJsonTickets(const QMap<QString, QByteArray> &files,
                                 const QMap<QString, QString> &unreadable,
                                 const PictureLookup &lookup,
                                 const std::function<void(int)> &onTicket)
{
    JsonTicketFolder folder;
    if (files.isEmpty() && unreadable.isEmpty()) {
        folder.problems << QStringLiteral("no ticket files (\"Билет N.json\")");
        return folder;
    }

    // Ticket files by their number: "Билет 10" comes after "Билет 9". Two
    // names for one number ("Билет 01.json" beside "Билет 1.json") are a
    // fault: either could be the right one.
    static const QRegularExpression ticketName(QStringLiteral("^Билет (\\d+)\\.json$"));
    QMap<int, QString> names;
    QStringList allNames = files.keys();
    allNames += unreadable.keys();
    allNames.sort();
    for (const QString &name : std::as_const(allNames)) {
        const QRegularExpressionMatch match = ticketName.match(name);
        if (!match.hasMatch())
            continue;
        bool ok = false;
        const int number = match.captured(1).toInt(&ok);
        if (!ok || number < 1 || number > TicketCount) {
            folder.problems
                << QStringLiteral("%1: there are only %2 tickets").arg(name).arg(TicketCount);
        } else if (names.contains(number)) {
            folder.problems << QStringLiteral("ticket %1: two files, \"%2\" and \"%3\"")
                                   .arg(number)
                                   .arg(names.value(number), name);
        } else {
            names.insert(number, name);
        }
    }

    TicketReader reader(lookup, folder);
    for (int ticket = 1; ticket <= TicketCount; ++ticket) {
        const QString name = names.value(ticket);
        if (name.isEmpty())
            folder.problems
                << QStringLiteral("ticket %1: \"Билет %1.json\" is missing").arg(ticket);
        else if (unreadable.contains(name))
            folder.problems << QStringLiteral("%1: %2").arg(name, unreadable.value(name));
        else
            reader.readTicket(ticket, name, files.value(name));
        if (onTicket)
            onTicket(ticket);
    }
    return folder;
}

JsonTicketFolder readJsonTickets(const TicketSource &source, const QString &category,
                                 const std::function<void(int)> &onTicket)
{
    return readJsonTickets(
        source.ticketFiles(category), source.ticketErrors(category),
        [&source](const QString &relative) { return source.lookup(relative); }, onTicket);
}
