#include "databasewriter.h"
#include "jpegcodec.h"
#include "questionbankerror.h"
#include "questiondatabase.h"
#include "syntheticdatabase.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace QuestionBankLayout;

namespace {

QString openBytes(QuestionDatabase &db, const QByteArray &bytes)
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    return db.openDevice(std::move(buffer));
}

void patchEntry(QByteArray &bytes, int a, int field, qint32 value)
{
    qToLittleEndian<qint32>(value,
                            bytes.data() + IndexOffset + (a - 1) * IndexEntrySize + field * 4);
}

enum Field
{
    TextOffset,
    TextLength,
    PictureOffset,
    PictureLength
};

} // namespace

// Opening databases and reading their questions, including damaged entries.
class TestQuestionDatabase : public QObject
{
    Q_OBJECT

private slots:
    void open_readsTitleAndEveryQuestion();
    void open_missingFile_throws();
    void open_readOnlyFile_opens();
    void open_shortFile_keepsPreviousIndex();
    void open_titleLongerThanField_cutTo50();

    void picture_offsetZero_meansNone();
    void picture_decodedAtStoredSize();

    void damagedEntry_rejectsOnlyThatQuestion_data();
    void damagedEntry_rejectsOnlyThatQuestion();

    void closed_readThrows();
};

void TestQuestionDatabase::open_readsTitleAndEveryQuestion()
{
    QuestionDatabase db;
    QCOMPARE(openBytes(db, SyntheticDatabase::bytes(QStringLiteral("Билеты АВ"))),
             QStringLiteral("Билеты АВ"));
    Question q;
    for (int a = 1; a <= QuestionCount; ++a) {
        db.readQuestion(a, q);
        const QStringList expected = SyntheticDatabase::questionLines(a);
        QCOMPARE(q.questionText, expected.at(1));
        QCOMPARE(q.correctVariant, SyntheticDatabase::correctVariant(a));
        QCOMPARE(q.answerCount, SyntheticDatabase::variantCount(a));
        QCOMPARE(q.commentText, expected.last());
        QCOMPARE(q.picture.has_value(), SyntheticDatabase::hasPicture(a));
    }
}

void TestQuestionDatabase::open_missingFile_throws()
{
    QTemporaryDir dir;
    QuestionDatabase db;
    QVERIFY_THROWS_EXCEPTION(QuestionBankError, db.openDatabase(dir.filePath("нет.dbv")));
    QVERIFY(!db.isOpen());
}

void TestQuestionDatabase::open_readOnlyFile_opens()
{
    // The program only reads databases; one installed read-only must open.
    QTemporaryDir dir;
    const QString path = dir.filePath("dataAB.dbv");
    QVERIFY(SyntheticDatabase::write(path));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QuestionDatabase db;
    QCOMPARE(db.openDatabase(path), QStringLiteral("Тестовая база"));
    QCOMPARE(db.readQuestionText(800).at(1), SyntheticDatabase::questionLines(800).at(1));
}

void TestQuestionDatabase::open_shortFile_keepsPreviousIndex()
{
    QuestionDatabase db;
    const QByteArray full = SyntheticDatabase::bytes();
    openBytes(db, full);
    const QuestionIndexEntry entry700 = db.entry(700);

    const QuestionIndexEntry entry13 = db.entry(13);
    QVERIFY(entry13.hasPicture());

    // Title, 12 whole entries and half of the 13th: no error, the rest stays,
    // even the unread half of entry 13.
    QByteArray shortFile = DatabaseWriter().toBytes().left(IndexOffset + 12 * 16 + 8);
    patchEntry(shortFile, 13, TextOffset, 4242);
    QCOMPARE(openBytes(db, shortFile), QString());
    QCOMPARE(db.entry(1).textLength, 0);
    QCOMPARE(db.entry(13).textOffset, 4242);
    QCOMPARE(db.entry(13).pictureOffset, entry13.pictureOffset);
    QCOMPARE(db.entry(13).pictureLength, entry13.pictureLength);
    QCOMPARE(db.entry(700), entry700);

    // A fresh database opened on a file shorter than the title field.
    QuestionDatabase fresh;
    QCOMPARE(openBytes(fresh, QByteArray("\x02\xc0\xc1", 3)), QStringLiteral("АБ"));
    QCOMPARE(fresh.entry(1), QuestionIndexEntry{});
}

void TestQuestionDatabase::open_titleLongerThanField_cutTo50()
{
    QByteArray bytes = DatabaseWriter().toBytes();
    bytes[0] = char(200);
    std::fill(bytes.begin() + 1, bytes.begin() + 51, char(0xC0));
    QuestionDatabase db;
    QCOMPARE(openBytes(db, bytes), QString(50, QChar(0x0410)));
}

void TestQuestionDatabase::picture_offsetZero_meansNone()
{
    QByteArray bytes = SyntheticDatabase::bytes();
    QVERIFY(SyntheticDatabase::hasPicture(3));
    patchEntry(bytes, 3, PictureOffset, 0); // the length still says there is one
    QuestionDatabase db;
    openBytes(db, bytes);
    QVERIFY(!db.readQuestionPicture(3).has_value());
    QVERIFY(db.readQuestionPictureBytes(3).isEmpty());
}

void TestQuestionDatabase::picture_decodedAtStoredSize()
{
    QuestionDatabase db;
    openBytes(db, SyntheticDatabase::bytes());
    const std::optional<QImage> picture = db.readQuestionPicture(13);
    QVERIFY(picture.has_value());
    QCOMPARE(picture->size(), QSize(353, 137));
    // Roughly the colours that were drawn (JPEG is lossy).
    const QColor corner = picture->pixelColor(2, 2);
    QVERIFY(corner.red() > 240 && corner.green() > 240 && corner.blue() > 240);
}

void TestQuestionDatabase::damagedEntry_rejectsOnlyThatQuestion_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<qint32>("value");
    QTest::addColumn<bool>("picture");

    QTest::newRow("text longer than the buffer") << int(TextLength) << qint32(30001) << false;
    QTest::newRow("negative text length") << int(TextLength) << qint32(-1) << false;
    QTest::newRow("text offset past the end") << int(TextOffset) << qint32(0x7fffff00) << false;
    QTest::newRow("negative text offset") << int(TextOffset) << qint32(-20) << false;
    QTest::newRow("text range past the end") << int(TextLength) << qint32(29999) << false;
    QTest::newRow("picture longer than the buffer") << int(PictureLength) << qint32(30001) << true;
    QTest::newRow("negative picture length") << int(PictureLength) << qint32(-5) << true;
    QTest::newRow("picture offset past the end") << int(PictureOffset) << qint32(1 << 30) << true;
    QTest::newRow("picture is not a JPEG") << int(PictureOffset) << qint32(IndexOffset) << true;
    QTest::newRow("garbage text") << int(TextOffset) << qint32(0) << false;
}

void TestQuestionDatabase::damagedEntry_rejectsOnlyThatQuestion()
{
    QFETCH(int, field);
    QFETCH(qint32, value);
    QFETCH(bool, picture);

    const int victim = 799; // the last question before the end of the file
    QVERIFY(SyntheticDatabase::hasPicture(793));
    const int a = picture ? 793 : victim;
    QByteArray bytes = SyntheticDatabase::bytes();
    patchEntry(bytes, a, field, value);

    QuestionDatabase db;
    openBytes(db, bytes);
    Question q;
    db.readQuestion(1, q);
    const Question before = q;
    try {
        db.readQuestion(a, q);
        QFAIL("damaged question was accepted");
    } catch (const QuestionBankError &e) {
        QVERIFY2(e.message().startsWith(QStringLiteral("Вопрос №%1 ").arg(a)),
                 qPrintable(e.message()));
    }
    QCOMPARE(q.questionText, before.questionText);

    // Its neighbours still read.
    db.readQuestion(a - 1, q);
    QCOMPARE(q.questionText, SyntheticDatabase::questionLines(a - 1).at(1));
    db.readQuestion(800, q);
    QCOMPARE(q.questionText, SyntheticDatabase::questionLines(800).at(1));
}

void TestQuestionDatabase::closed_readThrows()
{
    QuestionDatabase db;
    openBytes(db, SyntheticDatabase::bytes());
    db.closeDatabase();
    QVERIFY_THROWS_EXCEPTION(QuestionBankError, db.readQuestionText(1));
    QVERIFY_THROWS_EXCEPTION(QuestionBankError, db.readQuestionText(801));
}

QTEST_GUILESS_MAIN(TestQuestionDatabase)
#include "tst_questiondatabase.moc"
