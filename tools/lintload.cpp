#include "lintquestion.h"

#include "question.h"
#include "questionbankerror.h"
#include "questiondatabase.h"
#include "textblock.h"

#include <QCryptographicHash>

using namespace QuestionBankLayout;

// Reads through the program's own reader, so that the lint sees each
// question exactly as a learner would.
QList<LintQuestion> loadLintQuestions(const QString &path, QString *error)
{
    QList<LintQuestion> result;
    QuestionDatabase database;
    try {
        database.openDatabase(path);
    } catch (const QuestionBankError &failure) {
        if (error)
            *error = failure.message();
        return result;
    }
    for (int a = 1; a <= QuestionCount; ++a) {
        LintQuestion item;
        item.number = a;
        item.ticket = ticketOf(a);
        try {
            Question question;
            parseQuestion(database.readQuestionText(a), question, a);
            item.text = question.questionText;
            for (int v = 1; v <= question.answerCount; ++v)
                item.variants << question.answerTexts[size_t(v)];
            item.correct = question.correctVariant;
            item.comment = question.commentText;
            const QByteArray picture = database.readQuestionPictureBytes(a);
            if (!picture.isEmpty())
                item.pictureHash = QCryptographicHash::hash(picture, QCryptographicHash::Sha1);
        } catch (const QuestionBankError &failure) {
            item.readError = failure.message();
        }
        result << item;
    }
    return result;
}
