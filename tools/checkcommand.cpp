#include "commandline.h"
#include "commands.h"
#include "console.h"
#include "jpegcodec.h"
#include "questionbankerror.h"
#include "questiondatabase.h"
#include "questionreport.h"
#include "questionrules.h"
#include "referencefile.h"
#include "topicsbeside.h"

#include <QFile>
#include <QFileInfo>

using namespace QuestionBankLayout;

int runCheck(const QStringList &arguments, Console &console)
{
    QCommandLineParser parser;
    const int stop = parseCommandLine(parser, QStringLiteral("check"), arguments, 1, 1, console);
    if (stop >= 0)
        return stop;
    const QString path = parser.positionalArguments().at(0);

    QuestionDatabase database;
    try {
        database.openDatabase(path);
    } catch (const QuestionBankError &error) {
        console.report(QStringLiteral("dbv check: %1").arg(error.message()));
        return DbvExit::UsageOrIoError;
    }

    int problems = 0;
    const auto fileProblem = [&](const QString &message) {
        console.report(QStringLiteral("%1: %2").arg(path, message));
        ++problems;
    };
    if (database.fileSize() < HeaderSize) {
        fileProblem(QStringLiteral("the file is %1 bytes, shorter than its title and index (%2 "
                                   "bytes); the missing index entries read as zero")
                        .arg(database.fileSize())
                        .arg(HeaderSize));
    }
    // The reader shows at most 50 title characters whatever the length byte
    // says; a larger length byte means the title field is damaged.
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray lengthByte = file.read(1);
        if (!lengthByte.isEmpty() && quint8(lengthByte.at(0)) > MaxTitleLength) {
            fileProblem(QStringLiteral("the title length is %1; at most %2 characters fit")
                            .arg(quint8(lengthByte.at(0)))
                            .arg(MaxTitleLength));
        }
    }

    int withPictures = 0;
    for (int a = 1; a <= QuestionCount; ++a) {
        if (database.entry(a).hasPicture())
            ++withPictures;
        Question question;
        try {
            database.readQuestion(a, question);
        } catch (const QuestionBankError &error) {
            console.report(questionPrefix(a) + rejectionReason(a, error));
            ++problems;
            continue;
        }
        for (const QString &problem : questionRuleProblems(question)) {
            console.report(questionPrefix(a) + problem);
            ++problems;
        }
        // The program shows a damaged picture as far as it decodes; the
        // check still calls it a problem.
        if (question.picture) {
            const QString damage =
                JpegCodec::decodeChecked(database.readQuestionPictureBytes(a)).problem;
            if (!damage.isEmpty()) {
                console.report(questionPrefix(a) + damage);
                ++problems;
            }
        }
    }

    // The topics file is optional; when it is there it must be sound.
    QStringList topicProblems;
    const std::optional<QList<Topic>> topics = TopicsBeside::load(path, &topicProblems);
    for (const QString &problem : std::as_const(topicProblems)) {
        console.report(QStringLiteral("%1: %2").arg(TopicsFile::pathFor(path), problem));
        ++problems;
    }
    if (topics && !topics->isEmpty()) {
        console.print(
            QStringLiteral("%1: %2 topics").arg(TopicsFile::pathFor(path)).arg(topics->size()));
    }

    // So is the reference.
    const QString referencePath = ReferenceFile::pathFor(path);
    if (QFileInfo::exists(referencePath) || QFileInfo(referencePath).isSymLink()) {
        QStringList referenceProblems;
        const std::optional<Reference> reference =
            ReferenceFile::read(referencePath, &referenceProblems);
        for (const QString &problem : std::as_const(referenceProblems)) {
            console.report(QStringLiteral("%1: %2").arg(referencePath, problem));
            ++problems;
        }
        if (reference) {
            console.print(QStringLiteral("%1: %2 signs, %3 markings, %4 penalties")
                              .arg(referencePath)
                              .arg(reference->entryCount(ReferenceKind::Sign))
                              .arg(reference->entryCount(ReferenceKind::Marking))
                              .arg(reference->penalties.size()));
        }
    }

    console.print(QStringLiteral("%1 questions, %2 with pictures, %3 problems")
                      .arg(QuestionCount)
                      .arg(withPictures)
                      .arg(problems));
    return problems == 0 ? DbvExit::Success : DbvExit::ProblemsFound;
}
