#include "databasewriter.h"
#include "hostilejpeg.h"
#include "jpegcodec.h"
#include "questiondatabase.h"
#include "sourcefixture.h"
#include "statrecord.h"
#include "syntheticdatabase.h"
#include "ticketstatus.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <algorithm>

using namespace SourceFixture;
using namespace QuestionBankLayout;

namespace {

// A well-formed block: correct answer, text, variants, closing line, comment.
QByteArray block(const QByteArray &correct, int variants)
{
    QByteArray b = correct + "\r\nText\r\n";
    for (int v = 1; v <= variants; ++v)
        b += "*v" + QByteArray::number(v) + "\r\n";
    return b + "\r\nComment\r\n";
}

QByteArray syntheticWith(int a, const QByteArray &text, const QByteArray &jpeg = {})
{
    DatabaseWriter writer;
    SyntheticDatabase::fill(writer);
    writer.setQuestion(a, text, jpeg);
    return writer.toBytes();
}

QByteArray patched(QByteArray bytes, qsizetype offset, qint32 value)
{
    qToLittleEndian<qint32>(value, bytes.data() + offset);
    return bytes;
}

qsizetype entryField(int a, int field)
{
    return IndexOffset + (a - 1) * IndexEntrySize + field * 4;
}

} // namespace

class TestDbvCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void usage_exitCodesAndStreams_data();
    void usage_exitCodesAndStreams();
    void check_syntheticDatabase_noProblems();
    void check_damagedDatabase_reportsEachProblem_data();
    void check_damagedDatabase_reportsEachProblem();
    void dump_syntheticDatabase_asTheProgramParsesIt();
    void dump_rejectedQuestion_carriesOnlyTheError();
    void extract_folderNotEmpty_refusedUnlessForced();
    void extract_unreadableQuestionAndTitleBreak_notedAndReported();
    void stat_record_reportedAsJsonWithoutChangingTheFile();
    void stat_defaultFile_isStatDatInCurrentFolder();
    void stat_damagedFile_data();
    void stat_damagedFile();

private:
    QTemporaryDir m_dir;
    QString m_database;
};

void TestDbvCommands::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_database = m_dir.filePath(QStringLiteral("synthetic.dbv"));
    QVERIFY(SyntheticDatabase::write(m_database));
}

void TestDbvCommands::usage_exitCodesAndStreams_data()
{
    // "%DB%" stands for the synthetic database, "%DIR%" for a fresh folder.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stdoutPart");
    QTest::addColumn<QString>("stderrPart");

    QTest::newRow("no arguments") << QStringList{} << 2 << ""
                                  << "Usage: dbv COMMAND";
    QTest::newRow("--help") << QStringList{"--help"} << 0 << "Usage: dbv COMMAND"
                            << "";
    QTest::newRow("help command") << QStringList{"help", "extract"} << 0
                                  << "Usage: dbv extract FILE.dbv DIR"
                                  << "";
    QTest::newRow("command --help")
        << QStringList{"dump", "--help"} << 0 << "Usage: dbv dump FILE.dbv [--question N]"
        << "";
    QTest::newRow("command -h") << QStringList{"build", "-h"} << 0 << "Usage: dbv build"
                                << "";
    QTest::newRow("--version") << QStringList{"--version"} << 0 << "dbv "
                               << "";
    QTest::newRow("unknown command") << QStringList{"frobnicate"} << 2 << ""
                                     << "unknown command 'frobnicate'";
    QTest::newRow("help for unknown command") << QStringList{"help", "frob"} << 2 << ""
                                              << "unknown command 'frob'";
    QTest::newRow("missing operand") << QStringList{"check"} << 2 << ""
                                     << "missing operand";
    QTest::newRow("too many operands") << QStringList{"check", "%DB%", "x"} << 2 << ""
                                       << "too many operands";
    QTest::newRow("unknown option") << QStringList{"dump", "--bogus", "%DB%"} << 2 << ""
                                    << "Unknown option 'bogus'";
    QTest::newRow("question out of range")
        << QStringList{"dump", "%DB%", "--question", "801"} << 2 << ""
        << "--question must be 1..800, not '801'";
    QTest::newRow("question not a number") << QStringList{"dump", "%DB%", "--question=x"} << 2 << ""
                                           << "--question must be 1..800";
    QTest::newRow("check missing file") << QStringList{"check", "%DIR%/none.dbv"} << 2 << ""
                                        << "none.dbv";
    QTest::newRow("dump missing file") << QStringList{"dump", "%DIR%/none.dbv"} << 2 << ""
                                       << "";
    QTest::newRow("build missing folder")
        << QStringList{"build", "%DIR%/none", "%DIR%/o.dbv"} << 2 << ""
        << "is not a folder";
    QTest::newRow("build into missing folder")
        << QStringList{"build", "%SRC%", "%DIR%/no/such/o.dbv"} << 2 << ""
        << "cannot write";
    QTest::newRow("extract onto a file") << QStringList{"extract", "%DB%", "%DB%"} << 2 << ""
                                         << "is not a folder";
    QTest::newRow("stat missing file") << QStringList{"stat", "%DIR%/stat.dat"} << 2 << ""
                                       << "cannot open";
    QTest::newRow("stat too many operands") << QStringList{"stat", "a", "b"} << 2 << ""
                                            << "too many operands";
}

void TestDbvCommands::usage_exitCodesAndStreams()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, stdoutPart);
    QFETCH(QString, stderrPart);

    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("src"));
    if (arguments.contains(QStringLiteral("%SRC%")))
        writeSource(source);
    for (QString &argument : arguments) {
        argument.replace(QStringLiteral("%DB%"), m_database)
            .replace(QStringLiteral("%DIR%"), dir.path())
            .replace(QStringLiteral("%SRC%"), source);
    }
    const Result result = dbv(arguments);
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY2(QString::fromUtf8(result.out).contains(stdoutPart), result.out.constData());
    QVERIFY2(QString::fromUtf8(result.err).contains(stderrPart), result.err.constData());
    // Usage errors and failures say something on the error stream only.
    if (exitCode == 2) {
        QVERIFY(result.out.isEmpty());
        QVERIFY(!result.err.isEmpty());
    }
}

void TestDbvCommands::check_syntheticDatabase_noProblems()
{
    const Result result = dbv({"check", m_database});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, QByteArray("800 questions, 80 with pictures, 0 problems\n"));
    QCOMPARE(result.err, QByteArray());
}

void TestDbvCommands::check_damagedDatabase_reportsEachProblem_data()
{
    QTest::addColumn<QByteArray>("database");
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QString>("summary");

    const QByteArray good = SyntheticDatabase::bytes();
    const QString prefix5 = QStringLiteral("question 5 (ticket 1, question 5): ");
    QTest::newRow("line 0 without digit")
        << syntheticWith(5, block("x", 2)) << prefix5 + "первая строка должна начинаться"
        << "800 questions, 80 with pictures, 1 problems";
    QTest::newRow("no comment line")
        << syntheticWith(5, "1\r\nText\r\n*a\r\n*b\r\n\r\n") << prefix5 + "нет строки комментария"
        << "800 questions, 80 with pictures, 1 problems";
    QTest::newRow("six variants") << syntheticWith(5, block("1", 6))
                                  << prefix5 + "вариантов ответа больше пяти"
                                  << "800 questions, 80 with pictures, 1 problems";
    QTest::newRow("one variant") << syntheticWith(5, block("1", 1))
                                 << prefix5 + "1 answer variant; 2 to 5 are needed"
                                 << "800 questions, 80 with pictures, 1 problems";
    QTest::newRow("no variants") << syntheticWith(5, "1\r\nText\r\nno star\r\nComment\r\n")
                                 << prefix5 + "0 answer variants; 2 to 5 are needed"
                                 << "800 questions, 80 with pictures, 1 problems";
    QTest::newRow("correct above variant count")
        << syntheticWith(5, block("4", 3)) << prefix5 + "correct answer 4 is not one of the 3"
        << "800 questions, 80 with pictures, 1 problems";
    QTest::newRow("picture does not decode")
        << syntheticWith(5, block("1", 2), "not a jpeg") << prefix5 + "рисунок не является JPEG"
        << "800 questions, 81 with pictures, 1 problems";
    // Pictures that decode with a warning: the program shows what it can,
    // the check calls them problems.
    const QByteArray sound = JpegCodec::encode(SyntheticDatabase::picture(5));
    QTest::newRow("picture cut in half")
        << syntheticWith(5, block("1", 2), sound.left(sound.size() / 2))
        << prefix5 + "рисунок повреждён: …"
        << "800 questions, 81 with pictures, 1 problems";
    QByteArray scrambled = sound;
    for (qsizetype i = scrambled.size() / 3; i < scrambled.size() - 2; i += 5)
        scrambled[i] = char(scrambled[i] ^ 0x5A);
    QTest::newRow("picture with scrambled bytes")
        << syntheticWith(5, block("1", 2), scrambled) << prefix5 + "рисунок …"
        << "800 questions, 81 with pictures, 1 problems";
    QTest::newRow("picture header 4096 x 4096 without data")
        << syntheticWith(5, block("1", 2), HostileJpeg::headerOnly(4096, 4096))
        << prefix5 + "рисунок повреждён: …"
        << "800 questions, 81 with pictures, 1 problems";
    QTest::newRow("picture header 65500 x 256 without data")
        << syntheticWith(5, block("1", 2), HostileJpeg::headerOnly(65500, 256))
        << prefix5 + "рисунок повреждён: …"
        << "800 questions, 81 with pictures, 1 problems";
    QTest::newRow("picture with 694 scans")
        << syntheticWith(5, block("1", 2), HostileJpeg::manyScans(1024, 1024, 10))
        << prefix5 + "рисунок слишком сложен для показа…"
        << "800 questions, 81 with pictures, 1 problems";
    QTest::newRow("text beyond the end of the file")
        << patched(good, entryField(5, 0), good.size() - 3)
        << prefix5 + "блок текста (смещение …) выходит за пределы файла"
        << "800 questions, 80 with pictures, 1 problems";
    QTest::newRow("text longer than 30000")
        << patched(good, entryField(5, 1), 30001)
        << prefix5 + "длина …(30001 байт) вне допустимых пределов 0–30000"
        << "800 questions, 80 with pictures, 1 problems";
    QTest::newRow("negative picture length")
        << patched(good, entryField(3, 3), -1)
        << QStringLiteral(
               "question 3 (ticket 1, question 3): длина …(-1 байт) вне допустимых пределов")
        << "800 questions, 80 with pictures, 1 problems";
    QByteArray longTitle = good;
    longTitle[0] = char(60);
    QTest::newRow("title length above 50")
        << longTitle
        << QStringLiteral("…damaged.dbv: the title length is 60; at most 50 characters fit")
        << "800 questions, 80 with pictures, 1 problems";
    // Entries that were not read stay zero: those questions are empty blocks.
    QTest::newRow("file shorter than the index")
        << good.left(1000)
        << QStringLiteral("…damaged.dbv: the file is 1000 bytes, shorter than its title and index")
        << "800 questions, 6 with pictures, 801 problems";
}

void TestDbvCommands::check_damagedDatabase_reportsEachProblem()
{
    QFETCH(QByteArray, database);
    QFETCH(QString, problem);
    QFETCH(QString, summary);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("damaged.dbv"));
    writeFile(path, database);
    const Result result = dbv({"check", path});
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(QString::fromUtf8(result.out), summary + u'\n');
    // `problem` is one whole diagnostic line, "…" standing for any text.
    const QStringList parts = problem.split(u'…');
    const QStringList lines = QString::fromUtf8(result.err).split(u'\n');
    const bool found = std::any_of(lines.cbegin(), lines.cend(), [&](const QString &line) {
        qsizetype at = 0;
        for (const QString &part : parts) {
            at = line.indexOf(part, at);
            if (at < 0)
                return false;
            at += part.size();
        }
        return line.startsWith(parts.first());
    });
    QVERIFY2(found, result.err.left(2000).constData());
}

void TestDbvCommands::dump_syntheticDatabase_asTheProgramParsesIt()
{
    const Result result = dbv({"dump", m_database});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());
    QJsonParseError error;
    const QJsonObject root = QJsonDocument::fromJson(result.out, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(root["title"].toString(), QStringLiteral("Тестовая база"));
    const QJsonArray questions = root["questions"].toArray();
    QCOMPARE(questions.size(), 800);

    QuestionDatabase database;
    database.openDatabase(m_database);
    for (const int a : {1, 23, 800}) {
        const QJsonObject q = questions.at(a - 1).toObject();
        const QStringList lines = SyntheticDatabase::questionLines(a);
        const int count = SyntheticDatabase::variantCount(a);
        QCOMPARE(q["number"].toInt(), a);
        QCOMPARE(q["ticket"].toInt(), ticketOf(a));
        QCOMPARE(q["question"].toInt(), questionOf(a));
        QCOMPARE(q["correct"].toInt(), SyntheticDatabase::correctVariant(a));
        QCOMPARE(q["text"].toString(), lines.at(1));
        QCOMPARE(q["variants"].toArray(), QJsonArray::fromStringList(lines.mid(2, count)));
        QCOMPARE(q["comment"].toString(), lines.at(3 + count));
        QVERIFY(!q.contains("error"));
        if (SyntheticDatabase::hasPicture(a)) {
            const QuestionIndexEntry &entry = database.entry(a);
            QCOMPARE(q["picture"].toObject(), QJsonObject({{"offset", entry.pictureOffset},
                                                           {"length", entry.pictureLength},
                                                           {"width", 353},
                                                           {"height", 137}}));
        } else {
            QVERIFY(q["picture"].isNull());
        }
    }

    const Result one = dbv({"dump", m_database, "--question", "23"});
    QCOMPARE(one.exitCode, 0);
    const QJsonArray only = QJsonDocument::fromJson(one.out)["questions"].toArray();
    QCOMPARE(only.size(), 1);
    QCOMPARE(only.at(0), questions.at(22));
}

void TestDbvCommands::dump_rejectedQuestion_carriesOnlyTheError()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("damaged.dbv"));
    writeFile(path, syntheticWith(5, block("1", 2), "not a jpeg"));

    const Result result = dbv({"dump", path, "--question=5"});
    QCOMPARE(result.exitCode, 1);
    const QJsonObject q = QJsonDocument::fromJson(result.out)["questions"][0].toObject();
    QCOMPARE(q.keys(), QStringList({"error", "number", "question", "ticket"}));
    QCOMPARE(q["error"].toString(),
             QStringLiteral("Вопрос №5 (билет 1, вопрос 5) не может быть прочитан: рисунок не "
                            "является JPEG"));
    QVERIFY(result.err.startsWith("question 5 (ticket 1, question 5): "));

    QCOMPARE(dbv({"dump", path, "--question=6"}).exitCode, 0);
}

void TestDbvCommands::extract_folderNotEmpty_refusedUnlessForced()
{
    QTemporaryDir dir;
    const QString keep = dir.filePath(QStringLiteral("notes.txt"));
    writeFile(keep, "mine");

    const Result refused = dbv({"extract", m_database, dir.path()});
    QCOMPARE(refused.exitCode, 2);
    QVERIFY(refused.err.contains("--force"));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("title.txt"))));

    QCOMPARE(dbv({"extract", "--force", m_database, dir.path()}).exitCode, 0);
    QCOMPARE(readFile(dir.filePath(QStringLiteral("title.txt"))), QByteArray("Тестовая база\n"));
    QCOMPARE(readFile(keep), QByteArray("mine"));
}

void TestDbvCommands::extract_unreadableQuestionAndTitleBreak_notedAndReported()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("damaged.dbv"));
    DatabaseWriter writer;
    SyntheticDatabase::fill(writer);
    writer.setTitleBytes("Two\r\nlines");
    writer.setQuestion(5, block("x", 2));
    writeFile(path, writer.toBytes());
    const QString source = dir.filePath(QStringLiteral("src"));

    const Result extracted = dbv({"extract", path, source});
    QCOMPARE(extracted.exitCode, 1);
    const QStringList problems = QString::fromUtf8(extracted.err).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(problems.size(), 2);
    QVERIFY(problems.at(0).endsWith("the title contains a line break or NUL; written with spaces "
                                    "instead"));
    QVERIFY(problems.at(1).startsWith("question 5 (ticket 1, question 5): первая строка"));
    QCOMPARE(readFile(source + "/title.txt"), QByteArray("Two  lines\n"));
    QVERIFY(readFile(source + "/ticket01.txt").contains("# question 5 could not be read: "));
    QVERIFY(extracted.out.endsWith(": 40 tickets, 799 of 800 questions\n"));

    const Result rebuilt = dbv({"build", source, dir.filePath(QStringLiteral("again.dbv"))});
    QCOMPARE(rebuilt.exitCode, 1);
    QVERIFY2(rebuilt.err.contains("ticket01.txt: question 5 is missing"), rebuilt.err.constData());
}

void TestDbvCommands::stat_record_reportedAsJsonWithoutChangingTheFile()
{
    StatRecord record;
    record.setLaunchCount(17);
    record.setTicketStatus(1, TicketStatus::ExamPassed);
    record.setTicketStatus(40, TicketStatus::LearningCompleted);
    record.addCorrect(2, 3, StatMode::Training);
    record.addCorrect(2, 3, StatMode::Training);
    record.addWrong(2, 3, StatMode::Exam);
    record.addSecond(40, 20, StatMode::Learning);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("stat.dat"));
    const QByteArray bytes = record.toBytes() + "tail";
    writeFile(path, bytes);

    const Result result = dbv({"stat", path});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(readFile(path), bytes);
    const QJsonObject root = QJsonDocument::fromJson(result.out).object();
    QCOMPARE(root["launchCount"].toInt(), 17);
    const QJsonArray tickets = root["tickets"].toArray();
    QCOMPARE(tickets.size(), 40);
    QCOMPARE(tickets.at(0).toObject(),
             QJsonObject({{"ticket", 1}, {"status", 1}, {"meaning", "exam passed"}}));
    QCOMPARE(tickets.at(1)["status"].toInt(), 0);
    QCOMPARE(tickets.at(39)["meaning"].toString(), QStringLiteral("learning completed"));

    const QJsonArray questions = root["questions"].toArray();
    QCOMPARE(questions.size(), 2);
    QCOMPARE(questions.at(0).toObject(),
             QJsonObject({{"number", 23},
                          {"ticket", 2},
                          {"question", 3},
                          {"training", QJsonObject{{"correct", 2}, {"wrong", 0}, {"seconds", 0}}},
                          {"exam", QJsonObject{{"correct", 0}, {"wrong", 1}, {"seconds", 0}}}}));
    QCOMPARE(questions.at(1)["number"].toInt(), 800);
    QCOMPARE(questions.at(1)["learning"]["seconds"].toInt(), 1);
}

void TestDbvCommands::stat_defaultFile_isStatDatInCurrentFolder()
{
    QTemporaryDir dir;
    StatRecord record;
    record.setLaunchCount(3);
    writeFile(dir.filePath(QStringLiteral("stat.dat")), record.toBytes());
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const Result result = dbv({"stat"});
    QDir::setCurrent(previous);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(QJsonDocument::fromJson(result.out)["launchCount"].toInt(), 3);
}

void TestDbvCommands::stat_damagedFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("json");
    QTest::addColumn<QString>("problem");

    QTest::newRow("shorter than a record")
        << QByteArray(StatRecord::Size - 1, '\0') << false
        << QStringLiteral("16175 bytes, shorter than one record (16176 bytes)");
    StatRecord unknown;
    unknown.setTicketStatus(7, 9);
    QTest::newRow("unknown status")
        << unknown.toBytes() << true << QStringLiteral("ticket 7 has the unknown status 9");
    QuestionStats negative;
    negative.seconds[2] = -5;
    StatRecord negativeSeconds;
    negativeSeconds.setQuestionStats(1, 1, negative);
    QTest::newRow("negative seconds")
        << negativeSeconds.toBytes() << true
        << QStringLiteral("question 1 has negative seconds (-5) in exam");
}

void TestDbvCommands::stat_damagedFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, json);
    QFETCH(QString, problem);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("stat.dat"));
    writeFile(path, bytes);
    const Result result = dbv({"stat", path});
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(QString::fromUtf8(result.err).contains(problem), result.err.constData());
    QCOMPARE(QJsonDocument::fromJson(result.out).isObject(), json);
}

QTEST_GUILESS_MAIN(TestDbvCommands)
#include "tst_dbvcommands.moc"
