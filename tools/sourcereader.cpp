#include "sourcereader.h"

#include "jpegcodec.h"
#include "question.h"
#include "questionbankerror.h"
#include "textblock.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

using namespace QuestionBankLayout;

namespace {

const QStringList Keywords = {QStringLiteral("question"), QStringLiteral("picture"),
                              QStringLiteral("correct"),  QStringLiteral("text"),
                              QStringLiteral("variant"),  QStringLiteral("end"),
                              QStringLiteral("comment")};

// The characters of `value` that Windows-1251 has no code for, each described
// as 'c' (U+XXXX).
QStringList unencodableCharacters(const QString &value)
{
    // encode() converts lazily: the result must be taken for the error to show.
    QStringEncoder whole("windows-1251");
    const QByteArray encoded = whole.encode(value);
    if (!whole.hasError())
        return {};
    QStringList found;
    for (const char32_t c : value.toUcs4()) {
        const QString one = QString::fromUcs4(&c, 1);
        QStringEncoder encoder("windows-1251");
        const QByteArray encodedOne = encoder.encode(one);
        if (encoder.hasError()) {
            const QString code = QString::number(uint(c), 16).toUpper().rightJustified(4, u'0');
            const QString description = QStringLiteral("'%1' (U+%2)").arg(one, code);
            if (!found.contains(description))
                found << description;
        }
    }
    return found;
}

std::optional<int> digitValue(const QString &value, int low, int high)
{
    bool ok = false;
    const QString trimmed = value.trimmed();
    for (const QChar c : trimmed) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    const int number = trimmed.toInt(&ok);
    if (!ok || number < low || number > high)
        return std::nullopt;
    return number;
}

} // namespace

QString SourceProblem::toString() const
{
    if (line > 0)
        return QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(message);
    return QStringLiteral("%1: %2").arg(file, message);
}

struct SourceReader::PendingQuestion
{
    bool active = false;
    int number = 0; // 1..20; 0 when its "question" line was not usable
    int line = 0;
    SourceQuestion question;
    int correctLine = 0;
    int textLine = 0;
    int endLine = 0;
    int commentLine = 0;
    int pictureLine = 0;
    QList<int> variantLines;
    qsizetype problemsBefore = 0;
};

SourceReader::SourceReader(const QString &folder) : m_folder(folder) {}

DatabaseSource SourceReader::read()
{
    DatabaseSource source;
    m_problems.clear();
    if (!QFileInfo(m_folder).isDir()) {
        problem(m_folder, 0, QStringLiteral("not a folder"));
        return source;
    }
    readTitle(source);
    for (int ticket = 1; ticket <= TicketCount; ++ticket)
        readTicket(ticket, source);
    return source;
}

QString SourceReader::path(const QString &name) const
{
    return QDir(m_folder).filePath(name);
}

void SourceReader::problem(const QString &file, int line, const QString &message)
{
    m_problems.append({file, line, message});
}

bool SourceReader::readLines(const QString &name, QStringList &lines)
{
    const QString file = path(name);
    QFile in(file);
    if (!in.exists()) {
        problem(file, 0, QStringLiteral("file is missing"));
        return false;
    }
    if (!in.open(QIODevice::ReadOnly)) {
        problem(file, 0, QStringLiteral("cannot be read: %1").arg(in.errorString()));
        return false;
    }
    QByteArray bytes = in.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QList<QByteArray> raw = bytes.split('\n');
    if (!raw.isEmpty() && raw.last().isEmpty())
        raw.removeLast();
    lines.clear();
    m_badLines.clear();
    for (qsizetype i = 0; i < raw.size(); ++i) {
        QByteArray line = raw.at(i);
        if (line.endsWith('\r'))
            line.chop(1);
        QStringDecoder decoder(QStringDecoder::Utf8);
        QString text = decoder.decode(line);
        if (decoder.hasError()) {
            problem(file, int(i + 1), QStringLiteral("not valid UTF-8"));
            m_badLines.insert(int(i + 1));
        }
        lines << text;
    }
    return true;
}

bool SourceReader::checkStorable(const QString &value, const QString &file, int line)
{
    if (m_badLines.contains(line))
        return false; // reported as not UTF-8 already
    bool fine = true;
    if (value.contains(u'\r') || value.contains(QChar(0))) {
        problem(file, line,
                QStringLiteral("contains a CR or NUL character, which no stored line can hold"));
        fine = false;
    }
    const QStringList bad = unencodableCharacters(value);
    if (!bad.isEmpty()) {
        const QString message =
            bad.size() == 1 ? QStringLiteral("character %1 cannot be encoded in Windows-1251")
                            : QStringLiteral("characters %1 cannot be encoded in Windows-1251");
        problem(file, line, message.arg(bad.join(QStringLiteral(", "))));
        fine = false;
    }
    return fine;
}

void SourceReader::readTitle(DatabaseSource &source)
{
    QStringList lines;
    if (!readLines(SourceFiles::titleFile(), lines))
        return;
    const QString file = path(SourceFiles::titleFile());
    const QString title = lines.value(0);
    if (!checkStorable(title, file, 1))
        return;
    if (title.size() > MaxTitleLength) {
        problem(file, 1,
                QStringLiteral("title is %1 characters long; at most %2 fit")
                    .arg(title.size())
                    .arg(MaxTitleLength));
        return;
    }
    source.title = title;
}

void SourceReader::readTicket(int ticket, DatabaseSource &source)
{
    QStringList lines;
    if (!readLines(SourceFiles::ticketFile(ticket), lines))
        return;
    const QString file = path(SourceFiles::ticketFile(ticket));

    std::array<int, QuestionsPerTicket + 1> definedAt{};
    PendingQuestion pending;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int lineNumber = int(i + 1);
        // Indentation before the keyword is allowed; the value is kept as is.
        qsizetype start = 0;
        while (start < lines.at(i).size() &&
               (lines.at(i).at(start) == u' ' || lines.at(i).at(start) == u'\t'))
            ++start;
        const QString line = lines.at(i).mid(start);
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype space = line.indexOf(u' ');
        const QString keyword = space < 0 ? line : line.left(space);
        const QString value = space < 0 ? QString() : line.mid(space + 1);

        if (keyword == u"question") {
            finishQuestion(pending, ticket, file, source);
            pending = PendingQuestion();
            pending.active = true;
            pending.line = lineNumber;
            pending.problemsBefore = m_problems.size();
            const std::optional<int> number = digitValue(value, 1, QuestionsPerTicket);
            if (!number) {
                problem(file, lineNumber,
                        QStringLiteral("question number must be 1..20, not '%1'").arg(value));
            } else if (definedAt[size_t(*number)] != 0) {
                problem(file, lineNumber,
                        QStringLiteral("question %1 is already defined at line %2")
                            .arg(*number)
                            .arg(definedAt[size_t(*number)]));
            } else {
                pending.number = *number;
                definedAt[size_t(*number)] = lineNumber;
            }
            continue;
        }
        if (!Keywords.contains(keyword)) {
            problem(file, lineNumber,
                    QStringLiteral("unknown keyword '%1' (expected one of: %2)")
                        .arg(keyword, Keywords.join(QStringLiteral(", "))));
            continue;
        }
        if (!pending.active) {
            problem(file, lineNumber,
                    QStringLiteral("'%1' before the first 'question' line").arg(keyword));
            continue;
        }
        handleLine(pending, keyword, value, file, lineNumber);
    }
    finishQuestion(pending, ticket, file, source);

    for (int q = 1; q <= QuestionsPerTicket; ++q) {
        if (definedAt[size_t(q)] == 0)
            problem(file, 0, QStringLiteral("question %1 is missing").arg(q));
    }
}

void SourceReader::handleLine(PendingQuestion &pending, const QString &keyword,
                              const QString &value, const QString &file, int line)
{
    SourceQuestion &q = pending.question;
    const auto once = [&](int &seenAt) {
        if (seenAt != 0) {
            problem(file, line,
                    QStringLiteral("second '%1' in this question (first at line %2)")
                        .arg(keyword)
                        .arg(seenAt));
            return false;
        }
        seenAt = line;
        return true;
    };

    if (keyword == u"picture") {
        if (!once(pending.pictureLine))
            return;
        const QString name = value.trimmed();
        if (name.isEmpty() || name.contains(u'/') || name.contains(u'\\') || name == u"." ||
            name == u"..") {
            problem(file, line,
                    QStringLiteral("'%1' is not a file name in %2/")
                        .arg(name, SourceFiles::picturesFolder()));
            return;
        }
        q.pictureName = name;
        q.picture = picture(name, file, line);
    } else if (keyword == u"correct") {
        if (!once(pending.correctLine))
            return;
        const std::optional<int> number = digitValue(value, 1, MaxVariants);
        if (!number) {
            problem(
                file, line,
                QStringLiteral("the correct answer must be a number 1..5, not '%1'").arg(value));
            return;
        }
        q.correct = *number;
    } else if (keyword == u"text") {
        if (once(pending.textLine) && checkStorable(value, file, line))
            q.text = value;
    } else if (keyword == u"variant") {
        pending.variantLines << line;
        if (!checkStorable(value, file, line))
            return;
        if (!value.contains(u'*')) {
            problem(file, line,
                    QStringLiteral("answer variant without '*' (the program would take it for "
                                   "the end of the variant list)"));
        }
        q.variants << value;
    } else if (keyword == u"end") {
        if (!once(pending.endLine) || !checkStorable(value, file, line))
            return;
        if (value.contains(u'*')) {
            problem(file, line,
                    QStringLiteral("the line that ends the variant list must not contain '*'"));
        }
        q.endLine = value;
    } else if (keyword == u"comment") {
        if (once(pending.commentLine) && checkStorable(value, file, line))
            q.comment = value;
    }
}

void SourceReader::finishQuestion(PendingQuestion &pending, int ticket, const QString &file,
                                  DatabaseSource &source)
{
    if (!pending.active || pending.number == 0)
        return;
    const int n = pending.number;
    const int at = pending.line;
    SourceQuestion &q = pending.question;
    const auto missing = [&](int seenAt, const char *keyword) {
        if (seenAt == 0)
            problem(file, at, QStringLiteral("question %1 has no '%2' line").arg(n).arg(keyword));
    };
    missing(pending.correctLine, "correct");
    missing(pending.textLine, "text");
    missing(pending.commentLine, "comment");

    const qsizetype count = pending.variantLines.size();
    if (count < 2) {
        problem(file, at,
                QStringLiteral("question %1 has %2 answer variant%3; 2 to 5 are needed")
                    .arg(n)
                    .arg(count)
                    .arg(count == 1 ? "" : "s"));
    } else if (count > MaxVariants) {
        problem(file, pending.variantLines.at(MaxVariants),
                QStringLiteral("question %1 has %2 answer variants; at most 5 are allowed")
                    .arg(n)
                    .arg(count));
    } else if (q.correct > count) {
        problem(file, pending.correctLine,
                QStringLiteral("correct answer %1 is above the number of variants (%2)")
                    .arg(q.correct)
                    .arg(count));
    }
    if (m_problems.size() != pending.problemsBefore)
        return;

    const QByteArray block = q.textBlock();
    if (block.size() > MaxBlockSize) {
        problem(file, at,
                QStringLiteral("the text block of question %1 is %2 bytes; at most %3 fit")
                    .arg(n)
                    .arg(block.size())
                    .arg(MaxBlockSize));
        return;
    }

    // The reader is the final judge: the block must read back as written.
    const int absolute = absoluteNumber(ticket, n);
    Question parsed;
    bool same = false;
    try {
        parseQuestion(splitTextBlock(block), parsed, absolute);
        same = parsed.correctVariant == q.correct && parsed.questionText == q.text &&
               parsed.answerCount == q.variants.size() && parsed.commentText == q.comment;
        for (int v = 1; same && v <= parsed.answerCount; ++v)
            same = parsed.answerTexts[size_t(v)] == q.variants.at(v - 1);
    } catch (const QuestionBankError &) {
        same = false;
    }
    if (!same) {
        problem(file, at, QStringLiteral("question %1 would not read back as written").arg(n));
        return;
    }
    source.questions[size_t(absolute - 1)] = q;
}

QByteArray SourceReader::picture(const QString &name, const QString &file, int line)
{
    if (!m_pictures.contains(name) && !m_pictureErrors.contains(name)) {
        const QString picturePath = path(SourceFiles::picturesFolder() + u'/' + name);
        QFile in(picturePath);
        QString error;
        QByteArray bytes;
        if (!in.exists()) {
            error = QStringLiteral("picture '%1' not found in %2/")
                        .arg(name, SourceFiles::picturesFolder());
        } else if (!in.open(QIODevice::ReadOnly)) {
            error = QStringLiteral("picture '%1' cannot be read: %2").arg(name, in.errorString());
        } else if (in.size() > MaxBlockSize) {
            error = QStringLiteral("picture '%1' is %2 bytes; at most %3 fit")
                        .arg(name)
                        .arg(in.size())
                        .arg(MaxBlockSize);
        } else {
            bytes = in.readAll();
            if (!JpegCodec::decode(bytes))
                error = QStringLiteral("picture '%1' is not a JPEG that can be decoded").arg(name);
        }
        if (error.isEmpty())
            m_pictures.insert(name, bytes);
        else
            m_pictureErrors.insert(name, error);
    }
    if (m_pictureErrors.contains(name)) {
        problem(file, line, m_pictureErrors.value(name));
        return {};
    }
    return m_pictures.value(name);
}
