#include "textblock.h"

#include "questionbankerror.h"
#include "questionindexentry.h"

#include "windows1251.h"

namespace {

QString lineAt(const QStringList &lines, qsizetype index)
{
    return index < lines.size() ? lines.at(index) : QString();
}

} // namespace

QStringList splitTextBlock(const QByteArray &block)
{
    qsizetype end = block.indexOf('\0');
    if (end < 0)
        end = block.size();
    // Windows-1251 maps CR and LF to themselves, so the block is decoded once
    // and split afterwards.
    const QString text = decodeWindows1251(QByteArrayView(block).first(end));

    QStringList lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c == u'\n' || c == u'\r') {
            lines.append(text.sliced(start, i - start));
            ++i;
            if (c == u'\r' && i < text.size() && text.at(i) == u'\n')
                ++i; // CR LF is one line end
            start = i;
        } else {
            ++i;
        }
    }
    if (start < text.size())
        lines.append(text.sliced(start));
    return lines;
}

QString questionErrorMessage(int absoluteNumber, const QString &reason)
{
    using namespace QuestionBankLayout;
    return QStringLiteral("Вопрос №%1 (билет %2, вопрос %3) не может быть прочитан: %4")
        .arg(absoluteNumber)
        .arg(ticketOf(absoluteNumber))
        .arg(questionOf(absoluteNumber))
        .arg(reason);
}

void parseQuestion(const QStringList &lines, Question &question, int absoluteNumber)
{
    const QString star = QStringLiteral("*");
    const QString first = lineAt(lines, 0);
    if (first.isEmpty() || first.at(0) < QLatin1Char('1') || first.at(0) > QLatin1Char('5')) {
        throw QuestionBankError(questionErrorMessage(
            absoluteNumber,
            QStringLiteral("первая строка должна начинаться с номера правильного ответа (1–5)")));
    }

    // Work on a copy so that a rejected block leaves the caller's question as it was.
    Question parsed = question;
    parsed.correctVariant = first.at(0).digitValue();
    parsed.questionText = lineAt(lines, 1);
    parsed.answerTexts[1] = lineAt(lines, 2);

    qsizetype i = 2;
    QString current = lineAt(lines, 2);
    while (current.contains(star)) {
        ++i;
        current = lineAt(lines, i);
        if (current.contains(star)) {
            if (i - 1 > QuestionBankLayout::MaxVariants) {
                throw QuestionBankError(questionErrorMessage(
                    absoluteNumber, QStringLiteral("вариантов ответа больше пяти")));
            }
            parsed.answerTexts[i - 1] = current;
        }
    }

    if (i + 1 >= lines.size()) {
        throw QuestionBankError(
            questionErrorMessage(absoluteNumber, QStringLiteral("нет строки комментария")));
    }
    parsed.commentText = lines.at(i + 1);
    parsed.answerCount = int(i - 2);
    question = std::move(parsed);
}
