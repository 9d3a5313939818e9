#include "archivemaker.h"
#include "jpegcodec.h"
#include "jsonticketfixture.h"
#include "sourcefixture.h"
#include "topicsfile.h"
#include "windows1251text.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

using SourceFixture::dbv;
using SourceFixture::readFile;

// dbv import: a folder of JSON tickets into a database and its topics file.
class TestDbvImport : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void roundTrip_dumpGivesBackTheTickets();
    void pictures_data();
    void pictures();
    void pictures_sharedFileStoredOnce_strayFolderFound();
    void errors_data();
    void errors();
    void errors_allReported_oldOutputKept();
    void archive_sameAsFolder_unsafeRefusedWithExitTwo();

    void brokenTopicsFile_checkFails_dumpGoesOn();

    void windows1251_data();
    void windows1251();

private:
    QJsonObject dumpOf(const QString &database);
    QByteArray pictureBytes(const QString &database, const QJsonObject &question);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<JsonTicketFolderFixture> m_folder;
    QString m_out;
};

void TestDbvImport::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_folder = std::make_unique<JsonTicketFolderFixture>(m_dir->filePath("source"));
    m_out = m_dir->filePath("out/tickets-AB.dbv");
    QDir().mkpath(m_dir->filePath("out"));
}

QJsonObject TestDbvImport::dumpOf(const QString &database)
{
    const SourceFixture::Result dump = dbv({"dump", database});
    if (dump.exitCode != 0)
        qWarning() << dump.err;
    return QJsonDocument::fromJson(dump.out).object();
}

QByteArray TestDbvImport::pictureBytes(const QString &database, const QJsonObject &question)
{
    const QJsonObject picture = question.value("picture").toObject();
    return readFile(database).mid(picture.value("offset").toInt(), picture.value("length").toInt());
}

void TestDbvImport::roundTrip_dumpGivesBackTheTickets()
{
    // Typography the code page lacks, and a line break inside a string.
    m_folder->question(2, 3)["question"] = "Скорость ≤ 60 км/ч\nна участке 1‑2?";
    m_folder->question(2, 3)["answer_tip"] = "Пункт 10.2 —\r\nв населённых пунктах.";
    m_folder->question(40, 20)["topic"] = QJsonArray{"Разметка", "Скорость"};
    m_folder->write();

    const SourceFixture::Result result =
        dbv({"import", m_folder->root(), m_out, "--title", "Мои билеты"});
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(result.err.isEmpty(), result.err); // no progress line off a terminal
    QVERIFY(result.out.contains("800 questions, 0 pictures"));
    QVERIFY(result.out.contains("2 characters mapped"));
    QVERIFY(result.out.contains("U+2264 '≤' -> '<=': 1"));
    QVERIFY(result.out.contains("U+2011 '‑' -> '-': 1"));
    QCOMPARE(dbv({"check", m_out}).exitCode, 0);

    const QJsonObject dump = dumpOf(m_out);
    QCOMPARE(dump.value("title").toString(), QStringLiteral("Мои билеты"));
    const QJsonArray questions = dump.value("questions").toArray();
    QCOMPARE(questions.size(), 800);
    for (int t = 1; t <= 40; ++t) {
        for (int q = 1; q <= 20; ++q) {
            const QJsonObject got = questions.at((t - 1) * 20 + q - 1).toObject();
            const QJsonObject source = m_folder->question(t, q);
            QString text = source.value("question").toString();
            QString comment = source.value("answer_tip").toString();
            if (t == 2 && q == 3) {
                text = "Скорость <= 60 км/ч на участке 1-2?";
                comment = "Пункт 10.2 — в населённых пунктах.";
            }
            QCOMPARE(got.value("text").toString(), text);
            QCOMPARE(got.value("comment").toString(), comment);
            QCOMPARE(got.value("correct").toInt(), 1);
            const QJsonArray variants = got.value("variants").toArray();
            const QJsonArray answers = source.value("answers").toArray();
            QCOMPARE(variants.size(), answers.size());
            for (qsizetype v = 0; v < answers.size(); ++v) {
                QCOMPARE(variants.at(v).toString(),
                         answers.at(v).toObject().value("answer_text").toString() + " *");
            }
            QCOMPARE(got.value("topics").toArray(), source.value("topic").toArray());
        }
    }

    // Topics in the order they first appear, a question in each of its own.
    const auto topics = TopicsFile::read(TopicsFile::pathFor(m_out));
    QVERIFY(topics);
    QCOMPARE(topics->size(), 3);
    QCOMPARE(topics->at(0).name, QStringLiteral("Дорожные знаки"));
    QCOMPARE(topics->at(0).questions.size(), 400);
    QCOMPARE(topics->at(1).name, QStringLiteral("Разметка"));
    QCOMPARE(topics->at(2), (Topic{"Скорость", {800}}));
    QVERIFY(topics->at(1).questions.contains(800));

    // extract writes the topics into the source folder; build takes them back.
    const QString source = m_dir->filePath("extracted");
    QCOMPARE(dbv({"extract", m_out, source}).exitCode, 0);
    QVERIFY(QFile::exists(source + "/topics.json"));
    const QString rebuilt = m_dir->filePath("out/rebuilt.dbv");
    QCOMPARE(dbv({"build", source, rebuilt}).exitCode, 0);
    QCOMPARE(TopicsFile::read(TopicsFile::pathFor(rebuilt)), topics);
}

void TestDbvImport::pictures_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("outcome"); // as counted in the summary
    QTest::addColumn<bool>("sameBytes");

    const QByteArray small = JsonTicketFolderFixture::jpeg({604, 225});
    QVERIFY(small.size() <= 30000);
    QTest::newRow("JPEG that fits: kept") << small << "1 kept" << true;
    QTest::newRow("JPEG too large: re-encoded")
        << JsonTicketFolderFixture::jpeg({300, 200}, true) << "1 re-encoded" << false;
    QTest::newRow("16-bit PNG with alpha")
        << JsonTicketFolderFixture::png16WithAlpha({604, 225}) << "1 re-encoded" << false;
    QTest::newRow("WebP") << JsonTicketFolderFixture::webp({604, 225}) << "1 re-encoded" << false;
    QTest::newRow("noise too large even at low quality: scaled")
        << JsonTicketFolderFixture::jpeg({1200, 900}, true) << "1 scaled" << false;
}

void TestDbvImport::pictures()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, outcome);
    QFETCH(bool, sameBytes);
    // Named .jpg whatever it is, as in the wild.
    m_folder->writePicture("images/A_B/picture.jpg", bytes);
    m_folder->setImage(5, 7, "./images/A_B/picture.jpg");
    m_folder->write();

    const SourceFixture::Result result = dbv({"import", m_folder->root(), m_out});
    QVERIFY2(result.exitCode == 0, result.err);
    QVERIFY2(result.out.contains(outcome.toUtf8()), result.out);
    QCOMPARE(dbv({"check", m_out}).exitCode, 0);

    const QJsonObject question =
        dumpOf(m_out).value("questions").toArray().at(4 * 20 + 6).toObject();
    const QByteArray stored = pictureBytes(m_out, question);
    QVERIFY(stored.size() <= 30000);
    QCOMPARE(stored == bytes, sameBytes);
    const std::optional<QImage> image = JpegCodec::decode(stored);
    QVERIFY(image);
    if (QTest::currentDataTag() == QLatin1String("16-bit PNG with alpha")) {
        // The transparent half is flattened onto white, the opaque half stays red.
        const QColor right = image->pixelColor(image->width() * 3 / 4, image->height() / 2);
        const QColor left = image->pixelColor(image->width() / 4, image->height() / 2);
        QVERIFY2(right.red() > 240 && right.green() > 240 && right.blue() > 240,
                 qPrintable(right.name()));
        QVERIFY2(left.red() > 200 && left.green() < 60, qPrintable(left.name()));
    }
    if (outcome.contains("scaled"))
        QVERIFY(image->width() < 1200 && image->height() < 900);
    else
        QCOMPARE(image->width() == 604 || image->width() == 300, true);
}

void TestDbvImport::pictures_sharedFileStoredOnce_strayFolderFound()
{
    m_folder->writePicture("images/A_B/shared.jpg", JsonTicketFolderFixture::webp({604, 225}));
    m_folder->setImage(1, 1, "./images/A_B/shared.jpg");
    m_folder->setImage(9, 10, "./images/A_B/shared.jpg");
    // A stray leading folder: found from "images/" on.
    m_folder->setImage(30, 2, "./tmp/images/A_B/shared.jpg");
    m_folder->write();

    const SourceFixture::Result result = dbv({"import", m_folder->root(), m_out, "--quiet"});
    QVERIFY2(result.exitCode == 0, result.err);
    QVERIFY2(result.out.contains("1 pictures (0 kept, 1 re-encoded, 0 scaled)"), result.out);
    QVERIFY2(result.out.contains("1 picture paths did not exist as written"), result.out);

    const QJsonArray questions = dumpOf(m_out).value("questions").toArray();
    const QJsonValue first = questions.at(0).toObject().value("picture");
    QVERIFY(first.isObject());
    QCOMPARE(questions.at(8 * 20 + 9).toObject().value("picture"), first);
    QCOMPARE(questions.at(29 * 20 + 1).toObject().value("picture"), first);
}

void TestDbvImport::errors_data()
{
    using Change = std::function<void(JsonTicketFolderFixture &)>;
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("message");

    QTest::newRow("bad JSON, with file and position") << Change([](JsonTicketFolderFixture &f) {
        f.write();
        SourceFixture::writeFile(f.ticketFile(7), "[\n  {\"question\": \"a\",\n    oops}\n]");
    }) << "Билет 7.json:3:6: not valid JSON";
    QTest::newRow("missing ticket") << Change([](JsonTicketFolderFixture &f) {
        f.write();
        QFile::remove(f.ticketFile(12));
    }) << "ticket 12: \"Билет 12.json\" is missing";
    QTest::newRow("missing question") << Change([](JsonTicketFolderFixture &f) {
        f.write();
        QJsonArray ticket = QJsonDocument::fromJson(readFile(f.ticketFile(3))).array();
        ticket.removeLast();
        SourceFixture::writeFile(f.ticketFile(3), QJsonDocument(ticket).toJson());
    }) << "ticket 3, question 20: missing";
    QTest::newRow("no correct answer") << Change([](JsonTicketFolderFixture &f) {
        QJsonArray answers = f.question(4, 5)["answers"].toArray();
        QJsonObject first = answers.at(0).toObject();
        first["is_correct"] = false;
        answers[0] = first;
        f.question(4, 5)["answers"] = answers;
        f.write();
    }) << "ticket 4, question 5: 0 answers marked correct, exactly one expected";
    QTest::newRow("two correct answers") << Change([](JsonTicketFolderFixture &f) {
        QJsonArray answers = f.question(4, 6)["answers"].toArray();
        QJsonObject second = answers.at(1).toObject();
        second["is_correct"] = true;
        answers[1] = second;
        f.question(4, 6)["answers"] = answers;
        f.write();
    }) << "ticket 4, question 6: 2 answers marked correct";
    QTest::newRow("one answer") << Change([](JsonTicketFolderFixture &f) {
        QJsonArray answers = f.question(6, 1)["answers"].toArray();
        f.question(6, 1)["answers"] = QJsonArray{answers.at(0)};
        f.write();
    }) << "ticket 6, question 1: 1 answers, 2 to 5 expected";
    QTest::newRow("six answers") << Change([](JsonTicketFolderFixture &f) {
        QJsonArray answers = f.question(6, 2)["answers"].toArray();
        for (int i = 0; i < 3; ++i)
            answers.append(QJsonObject{{"answer_text", "ещё"}, {"is_correct", false}});
        f.question(6, 2)["answers"] = answers;
        f.write();
    }) << "ticket 6, question 2: 6 answers, 2 to 5 expected";
    QTest::newRow("stated answer disagrees") << Change([](JsonTicketFolderFixture &f) {
        f.question(8, 8)["correct_answer"] = "Правильный ответ: 3";
        f.write();
    }) << "ticket 8, question 8: \"correct_answer\" says 3, but answer 1 is marked correct";
    QTest::newRow("missing picture") << Change([](JsonTicketFolderFixture &f) {
        f.setImage(10, 4, "./images/A_B/nowhere.jpg");
        f.write();
    }) << "ticket 10, question 4: picture \"./images/A_B/nowhere.jpg\" not found";
    QTest::newRow("picture outside the folder") << Change([](JsonTicketFolderFixture &f) {
        f.setImage(10, 5, "../../etc/passwd");
        f.write();
    }) << "ticket 10, question 5: picture path \"../../etc/passwd\" leaves the folder";
    QTest::newRow("undecodable picture") << Change([](JsonTicketFolderFixture &f) {
        f.writePicture("images/A_B/broken.jpg", QByteArray(5000, 'x'));
        f.setImage(11, 6, "./images/A_B/broken.jpg");
        f.write();
    }) << "ticket 11, question 6: picture images/A_B/broken.jpg: not a picture";
    QTest::newRow("JPEG cut short") << Change([](JsonTicketFolderFixture &f) {
        f.writePicture("images/A_B/cut.jpg", JsonTicketFolderFixture::jpeg({604, 225}).left(2000));
        f.setImage(11, 7, "./images/A_B/cut.jpg");
        f.write();
    }) << "ticket 11, question 7: picture images/A_B/cut.jpg: a JPEG that does not decode cleanly";
    QTest::newRow("character without an equivalent") << Change([](JsonTicketFolderFixture &f) {
        f.question(12, 12)["answer_tip"] = "Улыбнитесь ☺";
        f.write();
    }) << "ticket 12, question 12: character U+263A '☺' has no Windows-1251 equivalent";
}

void TestDbvImport::errors()
{
    QFETCH(std::function<void(JsonTicketFolderFixture &)>, change);
    QFETCH(QString, message);
    change(*m_folder);

    const SourceFixture::Result result = dbv({"import", m_folder->root(), m_out});
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(QString::fromUtf8(result.err).contains(message), result.err);
    QVERIFY(result.err.contains("not written"));
    QVERIFY(!QFile::exists(m_out));
    QVERIFY(!QFile::exists(TopicsFile::pathFor(m_out)));
}

void TestDbvImport::errors_allReported_oldOutputKept()
{
    SourceFixture::writeFile(m_out, "the previous database");
    m_folder->question(1, 1)["answers"] = QJsonArray();
    m_folder->question(20, 20)["question"] = "";
    m_folder->setImage(39, 1, "./images/A_B/absent.jpg");
    m_folder->write();
    QFile::remove(m_folder->ticketFile(40));

    const SourceFixture::Result result = dbv({"import", m_folder->root(), m_out});
    QCOMPARE(result.exitCode, 1);
    const QString err = QString::fromUtf8(result.err);
    QVERIFY(err.contains("ticket 1, question 1: 0 answers"));
    QVERIFY(err.contains("ticket 20, question 20: no question text"));
    QVERIFY(err.contains("ticket 39, question 1: picture"));
    QVERIFY(err.contains("ticket 40: \"Билет 40.json\" is missing"));
    QVERIFY(err.contains("4 problems; "));
    QCOMPARE(readFile(m_out), QByteArray("the previous database"));
}

void TestDbvImport::archive_sameAsFolder_unsafeRefusedWithExitTwo()
{
    m_folder->write();
    QCOMPARE(dbv({"import", m_folder->root(), m_out}).exitCode, 0);
    const QByteArray fromFolder = readFile(m_out);

    QList<ArchiveMaker::Entry> entries = ArchiveMaker::entriesOf(m_folder->root(), "pdd-master/");
    const QString zip = m_dir->filePath("pdd-master.zip");
    QVERIFY(ArchiveMaker::writeFile(zip, ArchiveMaker::make(ArchiveMaker::Format::Zip, entries)));
    const QString fromZip = m_dir->filePath("out/zip.dbv");
    const SourceFixture::Result packed = dbv({"import", zip, fromZip});
    QCOMPARE(packed.exitCode, 0);
    QVERIFY(packed.out.startsWith(fromZip.toUtf8() + ": 800 questions"));
    QCOMPARE(readFile(fromZip), fromFolder);

    entries << ArchiveMaker::Entry{"pdd-master/../../etc/cron.d/x", "boom"};
    QVERIFY(ArchiveMaker::writeFile(zip, ArchiveMaker::make(ArchiveMaker::Format::Zip, entries)));
    const SourceFixture::Result unsafe = dbv({"import", zip, m_dir->filePath("out/unsafe.dbv")});
    QCOMPARE(unsafe.exitCode, 2);
    QCOMPARE(QString::fromUtf8(unsafe.err),
             "dbv import: archive entry \"pdd-master/../../etc/cron.d/x\" leaves the archive's "
             "folder\n");
    QVERIFY(!QFileInfo::exists(m_dir->filePath("out/unsafe.dbv")));
}

void TestDbvImport::brokenTopicsFile_checkFails_dumpGoesOn()
{
    m_folder->write();
    QCOMPARE(dbv({"import", m_folder->root(), m_out}).exitCode, 0);
    SourceFixture::writeFile(TopicsFile::pathFor(m_out),
                             R"({"topics":[{"name":"A","questions":[900]}]})");

    const SourceFixture::Result check = dbv({"check", m_out});
    QCOMPARE(check.exitCode, 1);
    QVERIFY2(check.err.contains("900 is not a question number"), check.err);
    QVERIFY(check.out.contains("800 questions, 0 with pictures, 1 problems"));

    const SourceFixture::Result dump = dbv({"dump", m_out, "--question", "3"});
    QCOMPARE(dump.exitCode, 0);
    QVERIFY(dump.err.contains("topics left out"));
    QVERIFY(!QJsonDocument::fromJson(dump.out).object().value("questions")[0].toObject().contains(
        "topics"));
}

void TestDbvImport::windows1251_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("encoded"); // empty: no equivalent
    QTest::addColumn<int>("replacements");

    QTest::newRow("plain Russian")
        << "Уступите дорогу «ёжику» №1…"
        << QByteArray("\xD3\xF1\xF2\xF3\xEF\xE8\xF2\xE5 \xE4\xEE\xF0\xEE\xE3\xF3 "
                      "\xAB\xB8\xE6\xE8\xEA\xF3\xBB \xB9"
                      "1\x85")
        << 0;
    QTest::newRow("comparison") << "v ≤ 60, v ≥ 5" << QByteArray("v <= 60, v >= 5") << 2;
    QTest::newRow("non-breaking hyphen and minus") << "1‑2 −3" << QByteArray("1-2 -3") << 2;
    QTest::newRow("figure dash to en dash") << "1‒2"
                                            << QByteArray("1\x96"
                                                          "2")
                                            << 1;
    QTest::newRow("narrow no-break space")
        << QStringLiteral("5\u202F\u043A\u043C") << QByteArray("5\xA0\xEA\xEC") << 1;
    QTest::newRow("stress mark dropped") << "до́ма" << QByteArray("\xE4\xEE\xEC\xE0") << 1;
    QTest::newRow("accented Latin by decomposition") << "café" << QByteArray("cafe") << 1;
    QTest::newRow("superscript by decomposition") << "м²"
                                                  << QByteArray("\xEC"
                                                                "2")
                                                  << 1;
    QTest::newRow("emoji has no equivalent") << "ok ☺" << QByteArray() << 0;
    QTest::newRow("Chinese has no equivalent") << "路" << QByteArray() << 0;
}

void TestDbvImport::windows1251()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, encoded);
    QFETCH(int, replacements);
    Windows1251Text converter;
    const std::optional<QByteArray> result = converter.encode(text);
    if (encoded.isEmpty()) {
        QVERIFY(!result);
        QVERIFY(converter.unmappable().startsWith("U+"));
        return;
    }
    QVERIFY(result);
    QCOMPARE(*result, encoded);
    QCOMPARE(converter.replacementCount(), replacements);
}

QTEST_MAIN(TestDbvImport)
#include "tst_dbvimport.moc"
