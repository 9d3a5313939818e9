#include "ticketjsonfolder.h"

#include "questionindexentry.h"

#include <QDir>
#include <QFile>
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
// A ticket file of 20 questions is a few tens of kilobytes; anything far
// larger is not one and is not read into memory.
constexpr qint64 MaxTicketFileSize = 8 * 1024 * 1024;

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
    TicketReader(const QDir &root, JsonTicketFolder &folder) : m_root(root), m_folder(folder) {}

    void readTicket(int ticket, const QString &path);

private:
    void readQuestion(int ticket, int number, const QJsonObject &object);
    QString resolvePicture(const QString &where, const QString &image);
    void problem(const QString &message) { m_folder.problems << message; }

    const QDir &m_root;
    JsonTicketFolder &m_folder;
};

void TicketReader::readTicket(int ticket, const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const QFileInfo info(path);
    if (!info.isFile()) {
        problem(QStringLiteral("%1: not a regular file").arg(name));
        return;
    }
    if (info.size() > MaxTicketFileSize) {
        problem(QStringLiteral("%1: %2 bytes, too large for a ticket").arg(name).arg(info.size()));
        return;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        problem(QStringLiteral("%1: cannot read: %2").arg(name, file.errorString()));
        return;
    }
    const QByteArray bytes = file.readAll();
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
            problem(QStringLiteral("ticket %1, question %2: not an object").arg(ticket).arg(number));
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
            problem(where + QStringLiteral(": answer %1 has no true/false \"is_correct\"").arg(i + 1));
        } else if (isCorrect.toBool()) {
            ++correctCount;
            question.correct = int(i + 1);
        }
        question.answers << text;
    }
    if (correctCount != 1 && !answers.isEmpty()) {
        problem(where + QStringLiteral(": %1 answers marked correct, exactly one expected")
                            .arg(correctCount));
    }
    // "Правильный ответ: N" repeats the marked answer; when the two disagree
    // one of them is wrong, and a learner must not be taught either.
    static const QRegularExpression statedNumber(QStringLiteral("(\\d+)\\s*$"));
    const QRegularExpressionMatch stated =
        statedNumber.match(object.value(u"correct_answer").toString());
    if (correctCount == 1 && stated.hasMatch() && stated.captured(1).toInt() != question.correct) {
        problem(where + QStringLiteral(": \"correct_answer\" says %1, but answer %2 is marked correct")
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
    const QFileInfo literal(m_root.filePath(relative));
    if (literal.isFile())
        return literal.absoluteFilePath();
    const qsizetype images = relative.indexOf(QStringLiteral("/images/"));
    if (images >= 0) {
        const QFileInfo fromImages(m_root.filePath(relative.mid(images + 1)));
        if (fromImages.isFile()) {
            ++m_folder.picturesFoundFromImages;
            return fromImages.absoluteFilePath();
        }
    }
    problem(where + QStringLiteral(": picture \"%1\" not found").arg(image));
    return {};
}

} // namespace

QString joinLines(const QString &text)
{
    static const QRegularExpression breaks(QStringLiteral("\\s*(\\r\\n|[\\r\\n\\x{2028}\\x{2029}])\\s*"));
    return QString(text).replace(breaks, QStringLiteral(" ")).trimmed();
}

JsonTicketFolder readJsonTicketFolder(const QString &root, const QString &category,
                                      const std::function<void(int)> &onTicket)
{
    JsonTicketFolder folder;
    const QDir rootDir(root);
    const QDir tickets(rootDir.filePath(QStringLiteral("questions/%1/tickets").arg(category)));
    if (!tickets.exists()) {
        folder.problems << QStringLiteral("%1: no such folder").arg(tickets.path());
        return folder;
    }

    // Ticket files by their number: "Билет 10" comes after "Билет 9".
    static const QRegularExpression ticketName(QStringLiteral("^Билет (\\d+)\\.json$"));
    QMap<int, QString> files;
    for (const QString &name : tickets.entryList(QDir::Files | QDir::NoDotAndDotDot)) {
        const QRegularExpressionMatch match = ticketName.match(name);
        if (!match.hasMatch())
            continue;
        const int number = match.captured(1).toInt();
        if (number < 1 || number > TicketCount)
            folder.problems << QStringLiteral("%1: there are only %2 tickets").arg(name).arg(TicketCount);
        else
            files.insert(number, tickets.filePath(name));
    }

    TicketReader reader(rootDir, folder);
    for (int ticket = 1; ticket <= TicketCount; ++ticket) {
        if (!files.contains(ticket)) {
            folder.problems << QStringLiteral("ticket %1: \"Билет %1.json\" is missing").arg(ticket);
        } else {
            reader.readTicket(ticket, files.value(ticket));
        }
        if (onTicket)
            onTicket(ticket);
    }
    return folder;
}
