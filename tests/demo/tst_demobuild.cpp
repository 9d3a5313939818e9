#include "demobuild.h"
#include "generators.h"
#include "jpegcodec.h"
#include "madeupwords.h"
#include "questiondatabase.h"
#include "sourcereader.h"
#include "ticketassembler.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QSet>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

// The demo as a whole: the generated questions, the tickets laid out from a
// pool, the source folder the dbv tool reads, and the database built from it.
class TestDemoBuild : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void generated_questionsAreWellFormed();
    void run_twice_writesIdenticalBytes();
    void run_output_isValidSourceOf800DistinctQuestions();
    void run_poolSize_decidesWhereQuestionsComeFrom_data();
    void run_poolSize_decidesWhereQuestionsComeFrom();
    void assemble_tooFewQuestions_failsAndSaysSo();
    void run_poolError_failsNamingFileAndLine();
    void run_duplicatePoolQuestion_isDroppedAndReported();
    void run_unwritableOutput_failsNamingThePath();
    void builtDatabase_holds800DistinctReadableQuestions();

private:
    QString writePool(int count, const QByteArray &extra = {});

    QTemporaryDir m_dir;
    QList<DemoQuestion> m_generated;
    QString m_fullPool;
    QString m_first;
    QStringList m_firstMessages;
    int m_poolCounter = 0;
};

namespace {

QString identity(const QString &text, const QByteArray &picture)
{
    return text + u'#' +
           QString::fromLatin1(QCryptographicHash::hash(picture, QCryptographicHash::Sha1).toHex());
}

bool encodable(const QString &value)
{
    QStringEncoder encoder("windows-1251");
    const QByteArray bytes = encoder.encode(value);
    return !encoder.hasError() && bytes.size() == value.size();
}

QMap<QString, QByteArray> folderContents(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            files.insert(QDir(folder).relativeFilePath(path), file.readAll());
    }
    return files;
}

} // namespace

QString TestDemoBuild::writePool(int count, const QByteArray &extra)
{
    const QString folder = m_dir.filePath(QStringLiteral("pool%1").arg(++m_poolCounter));
    QDir().mkpath(folder);
    QByteArray text = "# Тема: общие положения\n";
    for (int i = 0; i < count; ++i) {
        const int variants = 2 + i % 4;
        text += "question\ncorrect " + QByteArray::number(1 + i % variants) +
                "\ntext Пробный вопрос о правилах: " + madeUpWords(i).toUtf8() + "?\n";
        for (int v = 1; v <= variants; ++v)
            text += "variant Ответ " + QByteArray::number(v) + ".\n";
        text += "comment Пояснение к вопросу " + QByteArray::number(i) + ".\n\n";
    }
    QFile file(folder + QStringLiteral("/a-general.txt"));
    if (file.open(QIODevice::WriteOnly))
        file.write(text + extra);
    return folder;
}

void TestDemoBuild::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_generated = Generators::all();
    m_fullPool = writePool(560);
    m_first = m_dir.filePath(QStringLiteral("first"));
    QVERIFY2(DemoBuild::run(m_fullPool, m_first, m_firstMessages),
             qPrintable(m_firstMessages.join(u'\n')));
}

void TestDemoBuild::generated_questionsAreWellFormed()
{
    QVERIFY(m_generated.size() >= 400);
    QSet<QString> seen;
    for (const DemoQuestion &q : std::as_const(m_generated)) {
        const QString where = q.origin + QStringLiteral(": ") + q.text;
        QVERIFY2(q.text.endsWith(u'?'), qPrintable(where));
        QVERIFY2(q.variants.size() >= 2 && q.variants.size() <= 5, qPrintable(where));
        QVERIFY2(q.correct >= 1 && q.correct <= q.variants.size(), qPrintable(where));
        QVERIFY2(QSet<QString>(q.variants.begin(), q.variants.end()).size() == q.variants.size(),
                 qPrintable(where));
        QVERIFY2(q.comment.endsWith(u'.') && q.comment.size() > 20, qPrintable(where));
        QVERIFY2(!q.comment.contains(QStringLiteral(" ,")) &&
                     !q.comment.contains(QStringLiteral("  ")),
                 qPrintable(q.comment));
        for (const QString &part : QStringList{q.text, q.comment} + q.variants) {
            QVERIFY2(!part.contains(u'*'), qPrintable(where));
            QVERIFY2(encodable(part), qPrintable(part));
        }
        QVERIFY2(!q.jpeg.isEmpty() && q.jpeg.size() < 30000, qPrintable(where));
        const std::optional<QImage> picture = JpegCodec::decode(q.jpeg);
        QVERIFY2(picture && picture->size() == QSize(706, 274), qPrintable(where));
        const QString key = TicketAssembler::identity(q);
        QVERIFY2(!seen.contains(key), qPrintable(QStringLiteral("twice: ") + where));
        seen.insert(key);
    }
}

void TestDemoBuild::run_twice_writesIdenticalBytes()
{
    const QString second = m_dir.filePath(QStringLiteral("second"));
    QStringList messages;
    QVERIFY(DemoBuild::run(m_fullPool, second, messages));
    QCOMPARE(messages, m_firstMessages);
    const QMap<QString, QByteArray> a = folderContents(m_first);
    const QMap<QString, QByteArray> b = folderContents(second);
    QCOMPARE(a.keys(), b.keys());
    for (auto it = a.cbegin(); it != a.cend(); ++it)
        QVERIFY2(it.value() == b.value(it.key()), qPrintable(it.key()));
    // A second run into the same folder leaves no stale files behind.
    QVERIFY(DemoBuild::run(m_fullPool, second, messages));
    QCOMPARE(folderContents(second).keys(), a.keys());
}

void TestDemoBuild::run_output_isValidSourceOf800DistinctQuestions()
{
    SourceReader reader(m_first);
    const DatabaseSource source = reader.read();
    QStringList problems;
    for (const SourceProblem &problem : reader.problems())
        problems << problem.toString();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    QCOMPARE(source.title, DemoBuild::Title);
    QVERIFY(source.title.size() <= 50);

    QSet<QString> seen;
    QSet<int> variantCounts;
    QSet<int> pictureCorrectPositions;
    int pictures = 0;
    for (int t = 0; t < 40; ++t) {
        int ticketPictures = 0;
        for (int q = 0; q < 20; ++q) {
            const SourceQuestion &question = source.questions.at(t * 20 + q);
            QVERIFY(question.correct >= 1 && question.correct <= question.variants.size());
            QVERIFY(question.variants.size() >= 2 && question.variants.size() <= 5);
            for (const QString &variant : question.variants)
                QVERIFY2(variant.endsWith(QStringLiteral(" *")) && variant.count(u'*') == 1,
                         qPrintable(variant));
            QVERIFY(!question.comment.isEmpty());
            const QString key = identity(question.text, question.picture);
            QVERIFY2(!seen.contains(key), qPrintable(question.text));
            seen.insert(key);
            variantCounts.insert(static_cast<int>(question.variants.size()));
            if (!question.picture.isEmpty()) {
                ++ticketPictures;
                pictureCorrectPositions.insert(question.correct);
                QVERIFY(question.picture.size() < 30000);
            }
        }
        QVERIFY2(ticketPictures >= 6, qPrintable(QString::number(t + 1)));
        pictures += ticketPictures;
    }
    QCOMPARE(seen.size(), 800);
    QVERIFY(pictures >= 200);
    QVERIFY(variantCounts.contains(2) && variantCounts.contains(3) && variantCounts.contains(4));
    QVERIFY(pictureCorrectPositions.size() >= 3);
}

void TestDemoBuild::run_poolSize_decidesWhereQuestionsComeFrom_data()
{
    QTest::addColumn<int>("poolSize");
    QTest::addColumn<bool>("succeeds");
    QTest::addColumn<QString>("message");

    // The pictures, one rule asked once, number about 315: the pool gives
    // the rest.
    QTest::newRow("more than needed: pool gives the rest")
        << 900 << true << QStringLiteral("пул: 900 вопросов, взято 485");
    QTest::newRow("pool short: too few questions")
        << 300 << false << QStringLiteral("вопросов не хватает");
    // Each picture serves at most three questions and near repeats are
    // dropped, so the generated questions alone no longer fill 800 places.
    QTest::newRow("no pool at all: too few questions")
        << 0 << false << QStringLiteral("вопросов не хватает");
}

void TestDemoBuild::run_poolSize_decidesWhereQuestionsComeFrom()
{
    QFETCH(int, poolSize);
    QFETCH(bool, succeeds);
    QFETCH(QString, message);
    const QString out = m_dir.filePath(QStringLiteral("size%1").arg(poolSize));
    QStringList messages;
    QCOMPARE(DemoBuild::run(writePool(poolSize), out, messages), succeeds);
    QVERIFY2(messages.join(u'\n').contains(message), qPrintable(messages.join(u'\n')));
    if (!succeeds) {
        QVERIFY(!QFile::exists(out + QStringLiteral("/title.txt")));
        return;
    }
    SourceReader reader(out);
    const DatabaseSource source = reader.read();
    QVERIFY(reader.problems().isEmpty());
    QSet<QString> seen;
    for (const SourceQuestion &question : source.questions)
        seen.insert(identity(question.text, question.picture));
    QCOMPARE(seen.size(), 800);
}

void TestDemoBuild::assemble_tooFewQuestions_failsAndSaysSo()
{
    QList<DemoQuestion> pool;
    for (int i = 0; i < 100; ++i) {
        DemoQuestion question;
        question.text = QStringLiteral("Вопрос %1?").arg(i);
        question.variants = {QStringLiteral("Да."), QStringLiteral("Нет.")};
        question.correct = 1;
        question.comment = QStringLiteral("Так.");
        pool << question;
    }
    const TicketAssembler::Result result = TicketAssembler::assemble(pool, m_generated.mid(0, 300));
    QVERIFY(!result.ok());
    QVERIFY(result.tickets.isEmpty());
    QVERIFY2(result.error.contains(QStringLiteral("вопросов не хватает")),
             qPrintable(result.error));
}

void TestDemoBuild::run_poolError_failsNamingFileAndLine()
{
    const QByteArray bad = "question\ncorrect 4\ntext Неверный вопрос?\nvariant Да.\n"
                           "variant Нет.\ncomment Пояснение.\n";
    const QString pool = writePool(600, bad);
    QFile written(pool + QStringLiteral("/a-general.txt"));
    QVERIFY(written.open(QIODevice::ReadOnly));
    // The "correct" line of the bad block comes right before its text.
    const int badLine = static_cast<int>(
        written.readAll().split('\n').indexOf(QByteArray("text Неверный вопрос?")));
    QStringList messages;
    QVERIFY(!DemoBuild::run(pool, m_dir.filePath(QStringLiteral("bad")), messages));
    QVERIFY2(messages.join(u'\n').contains(QStringLiteral("a-general.txt:%1:").arg(badLine)),
             qPrintable(messages.join(u'\n')));
}

void TestDemoBuild::run_duplicatePoolQuestion_isDroppedAndReported()
{
    const QByteArray again =
        "question\ncorrect 1\ntext Пробный вопрос о правилах: " + madeUpWords(5).toUtf8() +
        "?\nvariant Да.\nvariant Нет.\ncomment Другое пояснение.\n";
    QStringList messages;
    const QString out = m_dir.filePath(QStringLiteral("duplicate"));
    QVERIFY(DemoBuild::run(writePool(600, again), out, messages));
    QVERIFY2(messages.join(u'\n').contains(QStringLiteral("повтор")),
             qPrintable(messages.join(u'\n')));
    QVERIFY(messages.join(u'\n').contains(QStringLiteral("пул: 600 вопросов")));
}

void TestDemoBuild::run_unwritableOutput_failsNamingThePath()
{
    // A file where the output folder should be.
    const QString blocked = m_dir.filePath(QStringLiteral("blocked"));
    QFile file(blocked);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QStringList messages;
    QVERIFY(!DemoBuild::run(m_fullPool, blocked, messages));
    QVERIFY2(messages.last().contains(blocked), qPrintable(messages.join(u'\n')));
}

void TestDemoBuild::builtDatabase_holds800DistinctReadableQuestions()
{
#ifndef DEMO_DATABASE
    QSKIP("the demo database is not built in this configuration");
#else
    QuestionDatabase database;
    QCOMPARE(database.openDatabase(QStringLiteral(DEMO_DATABASE)), DemoBuild::Title);
    QSet<QString> seen;
    int pictures = 0;
    for (int a = 1; a <= 800; ++a) {
        Question question;
        database.readQuestion(a, question);
        QVERIFY(question.answerCount >= 2 && question.answerCount <= 5);
        QVERIFY(question.correctVariant >= 1 && question.correctVariant <= question.answerCount);
        QVERIFY(!question.commentText.isEmpty());
        const QByteArray picture = database.readQuestionPictureBytes(a);
        if (!picture.isEmpty()) {
            ++pictures;
            QVERIFY(question.picture.has_value());
        }
        seen.insert(identity(question.questionText, picture));
    }
    QCOMPARE(seen.size(), 800);
    QVERIFY(pictures >= 200);
#endif
}

QTEST_MAIN(TestDemoBuild)
#include "tst_demobuild.moc"
