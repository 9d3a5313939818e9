#include "statrecord.h"

#include <QTest>
#include <QtEndian>

namespace {

qint32 int32At(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<qint32>(bytes.constData() + offset);
}

} // namespace

// The byte layout of the progress record and its counters.
class TestStatRecord : public QObject
{
    Q_OBJECT

private slots:
    void layout_fieldsAtTheirOffsets();
    void layout_questionStatsAtTheirOffsets_data();
    void layout_questionStatsAtTheirOffsets();
    void fromBytes_roundTripsEveryByte();
    void counters_wrapAfter255();
    void seconds_countPerMode();
    void reset_clearsProgressKeepsLaunchCountAndReserved();
};

void TestStatRecord::layout_fieldsAtTheirOffsets()
{
    StatRecord r;
    QCOMPARE(r.toBytes().size(), 16176);
    QCOMPARE(r.toBytes(), QByteArray(16176, '\0'));

    r.setTicketStatus(1, TicketStatus::ExamPassed);
    r.setTicketStatus(40, TicketStatus::LearningCompleted);
    r.setLaunchCount(0x01020304);
    const QByteArray bytes = r.toBytes();
    QCOMPARE(int32At(bytes, 8), 1);
    QCOMPARE(int32At(bytes, 8 + 4 * 39), 4);
    QCOMPARE(bytes.mid(168, 4), QByteArray("\x04\x03\x02\x01"));
    QCOMPARE(r.ticketStatus(40), 4);
}

void TestStatRecord::layout_questionStatsAtTheirOffsets_data()
{
    QTest::addColumn<int>("ticket");
    QTest::addColumn<int>("question");
    QTest::addColumn<int>("offset");
    QTest::newRow("first") << 1 << 1 << 176;
    QTest::newRow("second question") << 1 << 2 << 196;
    QTest::newRow("second ticket") << 2 << 1 << 176 + 20 * 20;
    QTest::newRow("last") << 40 << 20 << 16176 - 20;
}

void TestStatRecord::layout_questionStatsAtTheirOffsets()
{
    QFETCH(int, ticket);
    QFETCH(int, question);
    QFETCH(int, offset);

    StatRecord r;
    QuestionStats s;
    s.correct = {1, 2, 3};
    s.wrong = {4, 5, 6};
    s.seconds = {0x0100, 0x020000, -1};
    r.setQuestionStats(ticket, question, s);
    const QByteArray bytes = r.toBytes();
    QCOMPARE(bytes.mid(offset, 8), QByteArray("\x01\x02\x03\x04\x05\x06\x00\x00", 8));
    QCOMPARE(int32At(bytes, offset + 8), 0x0100);
    QCOMPARE(int32At(bytes, offset + 12), 0x020000);
    QCOMPARE(int32At(bytes, offset + 16), -1);
    // Nothing else was touched.
    QCOMPARE(bytes.count('\0'), 16176 - 12); // 6 counters, 1 + 1 + 4 seconds bytes
    QCOMPARE(r.questionStats(ticket, question), s);
}

void TestStatRecord::fromBytes_roundTripsEveryByte()
{
    QByteArray bytes(16176, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7 + 3);
    const StatRecord r = StatRecord::fromBytes(bytes);
    QCOMPARE(r.toBytes(), bytes);
    QCOMPARE(r.ticketStatus(1), int32At(bytes, 8));
}

void TestStatRecord::counters_wrapAfter255()
{
    StatRecord r;
    for (int i = 0; i < 255; ++i)
        r.addCorrect(3, 7, StatMode::Training);
    QCOMPARE(r.questionStats(3, 7).correct[1], quint8(255));
    r.addCorrect(3, 7, StatMode::Training);
    QCOMPARE(r.questionStats(3, 7).correct[1], quint8(0));

    for (int i = 0; i < 256 + 2; ++i)
        r.addWrong(3, 7, StatMode::Exam);
    QCOMPARE(r.questionStats(3, 7).wrong[2], quint8(2));
    // The neighbours in the record are untouched by the wrap.
    QCOMPARE(r.questionStats(3, 8), QuestionStats{});
    QCOMPARE(r.questionStats(3, 7).correct[2], quint8(0));
}

void TestStatRecord::seconds_countPerMode()
{
    StatRecord r;
    r.addSecond(40, 20, StatMode::Learning);
    r.addSecond(40, 20, StatMode::Learning);
    r.addSecond(40, 20, StatMode::Exam);
    const QuestionStats s = r.questionStats(40, 20);
    QCOMPARE(s.seconds[0], 2);
    QCOMPARE(s.seconds[1], 0);
    QCOMPARE(s.seconds[2], 1);
    QCOMPARE(s.secondsTotal(), 3);
}

void TestStatRecord::reset_clearsProgressKeepsLaunchCountAndReserved()
{
    QByteArray bytes(16176, char(0x11));
    StatRecord r = StatRecord::fromBytes(bytes);
    r.reset();
    const QByteArray after = r.toBytes();

    QCOMPARE(int32At(after, 0), 0);
    QCOMPARE(int32At(after, 4), 0);
    for (int t = 1; t <= 40; ++t)
        QCOMPARE(r.ticketStatus(t), 0);
    QCOMPARE(int32At(after, 168), 0x11111111); // launch-counter copy
    QCOMPARE(int32At(after, 172), 0x11111111); // reserved
    for (int a = 0; a < 800; ++a) {
        const int base = 176 + a * 20;
        QCOMPARE(after.mid(base, 6), QByteArray(6, '\0'));
        QCOMPARE(after.mid(base + 6, 2), QByteArray(2, char(0x11)));
        QCOMPARE(after.mid(base + 8, 12), QByteArray(12, '\0'));
    }
}

QTEST_GUILESS_MAIN(TestStatRecord)
#include "tst_statrecord.moc"
