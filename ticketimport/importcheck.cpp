#include "importcheck.h"

#include "jpegcodec.h"
#include "questionbankerror.h"
#include "questiondatabase.h"
#include "questionindexentry.h"
#include "questionrules.h"
#include "topicsfile.h"

#include <QBuffer>

namespace ImportCheck {

QStringList problems(const QByteArray &database, const QByteArray &topicsJson)
{
    using namespace QuestionBankLayout;
    QStringList found;
    QuestionDatabase reader;
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(database);
    try {
        reader.openDevice(std::move(buffer));
    } catch (const QuestionBankError &error) {
        return {QStringLiteral("the database written would not open: %1").arg(error.message())};
    }
    const auto prefix = [](int a) {
        return QStringLiteral("ticket %1, question %2: ").arg(ticketOf(a)).arg(questionOf(a));
    };
    for (int a = 1; a <= QuestionCount; ++a) {
        Question question;
        try {
            reader.readQuestion(a, question);
        } catch (const QuestionBankError &error) {
            found << prefix(a) + error.message();
            continue;
        }
        for (const QString &problem : questionRuleProblems(question))
            found << prefix(a) + problem;
        if (question.picture) {
            const QString damage =
                JpegCodec::decodeChecked(reader.readQuestionPictureBytes(a)).problem;
            if (!damage.isEmpty())
                found << prefix(a) + damage;
        }
    }
    if (!topicsJson.isEmpty()) {
        QStringList topicProblems;
        if (!TopicsFile::parse(topicsJson, &topicProblems)) {
            for (const QString &problem : std::as_const(topicProblems))
                found << QStringLiteral("topics: %1").arg(problem);
        }
    }
    return found;
}

} // namespace ImportCheck
