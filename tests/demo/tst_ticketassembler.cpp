#include "madeupwords.h"
#include "ticketassembler.h"

#include <QHash>
#include <QSet>
#include <QTest>

// Laying questions out into tickets, on small made-up questions: which
// questions are chosen, how they are spread and in what order a ticket shows
// them.
class TestTicketAssembler : public QObject
{
    Q_OBJECT

private slots:
    void assemble_mixesPicturesIntoEveryTicket();
    void assemble_ticketShowsTopicsInOrder();
    void assemble_largePool_keepsEveryFilesShare();
    void assemble_largePool_smallTopicsTakenWhole_data();
    void assemble_largePool_smallTopicsTakenWhole();
    void assemble_pictureKinds_keepTheirShares();
    void assemble_sameInput_sameLayout();
    void assemble_duplicates_areDroppedAndReported();
    void identity_samePictureOrText_data();
    void identity_samePictureOrText();
};

namespace {

// `unique` picks the made-up words of the text: distinct for every question
// of a pool.
DemoQuestion textQuestion(const QString &file, int number, int rank, int unique)
{
    DemoQuestion question;
    question.text = QStringLiteral("Вопрос %1 из %2?").arg(madeUpWords(unique), file);
    question.variants = {QStringLiteral("Да."), QStringLiteral("Нет.")};
    question.correct = 1;
    question.comment = QStringLiteral("Так.");
    question.origin = QStringLiteral("%1:%2").arg(file).arg(number);
    question.group = file;
    question.topicRank = rank;
    return question;
}

DemoQuestion pictureQuestion(const QString &group, int number, int rank)
{
    DemoQuestion question = textQuestion(group, number, rank, number);
    question.text = QStringLiteral("Как поступить?");
    question.jpeg = QByteArray("jpeg-") + group.toUtf8() + QByteArray::number(number);
    question.origin = group;
    return question;
}

QList<DemoQuestion> pool(int files, int perFile)
{
    QList<DemoQuestion> result;
    for (int f = 0; f < files; ++f) {
        for (int i = 0; i < perFile; ++i)
            result << textQuestion(QStringLiteral("f%1.txt").arg(f), i, 10 + 10 * f,
                                   f * perFile + i);
    }
    return result;
}

QList<DemoQuestion> generated()
{
    QList<DemoQuestion> result;
    const QList<QPair<QString, int>> kinds = {{QStringLiteral("знаки"), 200},
                                              {QStringLiteral("перекрёстки"), 200},
                                              {QStringLiteral("разметка"), 20},
                                              {QStringLiteral("светофоры"), 20}};
    for (const auto &[group, count] : kinds) {
        for (int i = 0; i < count; ++i)
            result << pictureQuestion(group, i, group == QStringLiteral("знаки") ? 20 : 60);
    }
    return result;
}

QHash<QString, int> countByGroup(const TicketAssembler::Result &result)
{
    QHash<QString, int> counts;
    for (const auto &ticket : result.tickets) {
        for (const DemoQuestion &question : ticket)
            ++counts[question.group];
    }
    return counts;
}

} // namespace

void TestTicketAssembler::assemble_mixesPicturesIntoEveryTicket()
{
    const TicketAssembler::Result result = TicketAssembler::assemble(pool(5, 120), generated());
    QVERIFY(result.ok());
    QCOMPARE(result.tickets.size(), 40);
    int total = 0;
    for (const auto &ticket : result.tickets) {
        QCOMPARE(ticket.size(), 20);
        int pictures = 0;
        for (const DemoQuestion &question : ticket)
            pictures += question.jpeg.isEmpty() ? 0 : 1;
        QVERIFY2(pictures >= 9 && pictures <= 10, qPrintable(QString::number(pictures)));
        total += pictures;
    }
    QCOMPARE(total, TicketAssembler::PictureTarget);
}

void TestTicketAssembler::assemble_ticketShowsTopicsInOrder()
{
    // Loosely: a question may come before one of an earlier topic, but never
    // more than the jitter allows, and the order is not the same everywhere.
    const TicketAssembler::Result result = TicketAssembler::assemble(pool(5, 120), generated());
    int outOfOrder = 0;
    for (const auto &ticket : result.tickets) {
        for (int i = 1; i < ticket.size(); ++i) {
            QVERIFY(ticket.at(i - 1).topicRank <
                    ticket.at(i).topicRank + TicketAssembler::TopicJitter);
            outOfOrder += ticket.at(i - 1).topicRank > ticket.at(i).topicRank ? 1 : 0;
        }
    }
    QVERIFY(outOfOrder > 0);
}

void TestTicketAssembler::assemble_largePool_keepsEveryFilesShare()
{
    // 5 files of 200: 420 are wanted, so each file gives about 84.
    const QHash<QString, int> counts =
        countByGroup(TicketAssembler::assemble(pool(5, 200), generated()));
    for (int f = 0; f < 5; ++f) {
        const int count = counts.value(QStringLiteral("f%1.txt").arg(f));
        QVERIFY2(count >= 83 && count <= 85, qPrintable(QString::number(count)));
    }
}

void TestTicketAssembler::assemble_largePool_smallTopicsTakenWhole_data()
{
    QTest::addColumn<int>("bigFiles");   // files of 150, a topic each
    QTest::addColumn<int>("smallFiles"); // files of one small topic each
    QTest::addColumn<int>("smallSize");  // questions in each
    QTest::addColumn<int>("taken");      // -1: fewer than all, as their share
    QTest::newRow("a topic of ten is taken whole") << 4 << 1 << 10 << 10;
    QTest::newRow("a topic at the size limit is taken whole")
        << 4 << 1 << TicketAssembler::WholeTopicSize << TicketAssembler::WholeTopicSize;
    QTest::newRow("a topic past the limit gives its share")
        << 4 << 1 << TicketAssembler::WholeTopicSize + 5 << -1;
    // Small topics that alone outnumber the 420 places are spread evenly.
    QTest::newRow("too many small topics share the places") << 0 << 40 << 12 << -1;
}

void TestTicketAssembler::assemble_largePool_smallTopicsTakenWhole()
{
    QFETCH(int, bigFiles);
    QFETCH(int, smallFiles);
    QFETCH(int, smallSize);
    QFETCH(int, taken);
    // The small topics come after the big files, with made-up words of
    // their own (numbers past the big files').
    QList<DemoQuestion> questions = pool(bigFiles, 150);
    for (int f = 0; f < smallFiles; ++f) {
        for (int i = 0; i < smallSize; ++i)
            questions << textQuestion(QStringLiteral("s%1.txt").arg(f), i, 100 + f,
                                      bigFiles * 150 + f * smallSize + i);
    }
    const TicketAssembler::Result result = TicketAssembler::assemble(questions, generated());
    QVERIFY2(result.ok(), qPrintable(result.error));
    const QHash<QString, int> counts = countByGroup(result);
    int small = 0;
    for (int f = 0; f < smallFiles; ++f)
        small += counts.value(QStringLiteral("s%1.txt").arg(f));
    if (taken >= 0)
        QCOMPARE(small, taken);
    else
        QVERIFY2(small > 0 && small < smallFiles * smallSize, qPrintable(QString::number(small)));
    // The big files share the rest evenly.
    int big = 0;
    for (int f = 0; f < bigFiles; ++f)
        big += counts.value(QStringLiteral("f%1.txt").arg(f));
    QCOMPARE(big + small, 800 - TicketAssembler::PictureTarget);
    for (int f = 0; f < bigFiles; ++f) {
        const int count = counts.value(QStringLiteral("f%1.txt").arg(f));
        QVERIFY2(std::abs(count * bigFiles - big) <= 2 * bigFiles,
                 qPrintable(QString::number(count)));
    }
}

void TestTicketAssembler::assemble_pictureKinds_keepTheirShares()
{
    const QHash<QString, int> counts =
        countByGroup(TicketAssembler::assemble(pool(5, 120), generated()));
    // The small kinds are taken whole, the large ones share the rest.
    QCOMPARE(counts.value(QStringLiteral("разметка")), 20);
    QCOMPARE(counts.value(QStringLiteral("светофоры")), 20);
    QVERIFY(counts.value(QStringLiteral("знаки")) >= 100);
    QVERIFY(counts.value(QStringLiteral("перекрёстки")) >= 100);
}

void TestTicketAssembler::assemble_sameInput_sameLayout()
{
    const TicketAssembler::Result a = TicketAssembler::assemble(pool(4, 150), generated());
    const TicketAssembler::Result b = TicketAssembler::assemble(pool(4, 150), generated());
    QCOMPARE(a.report, b.report);
    for (int t = 0; t < 40; ++t) {
        for (int q = 0; q < 20; ++q)
            QCOMPARE(TicketAssembler::identity(a.tickets.at(t).at(q)),
                     TicketAssembler::identity(b.tickets.at(t).at(q)));
    }
}

void TestTicketAssembler::assemble_duplicates_areDroppedAndReported()
{
    QList<DemoQuestion> questions = pool(5, 120);
    DemoQuestion again = questions.at(3);
    again.origin = QStringLiteral("g.txt:9");
    again.text = again.text.toUpper() + u' ';
    questions << again;
    const TicketAssembler::Result result = TicketAssembler::assemble(questions, generated());
    QVERIFY(result.ok());
    QVERIFY2(result.report.join(u'\n').contains(QStringLiteral("g.txt:9: повтор вопроса из "
                                                               "f0.txt:3")),
             qPrintable(result.report.join(u'\n')));
    QSet<QString> seen;
    for (const auto &ticket : result.tickets) {
        for (const DemoQuestion &question : ticket)
            seen.insert(TicketAssembler::identity(question));
    }
    QCOMPARE(seen.size(), 800);
}

void TestTicketAssembler::identity_samePictureOrText_data()
{
    QTest::addColumn<QString>("textA");
    QTest::addColumn<QByteArray>("pictureA");
    QTest::addColumn<QString>("textB");
    QTest::addColumn<QByteArray>("pictureB");
    QTest::addColumn<bool>("same");

    QTest::newRow("same text, other picture")
        << "Как называется этот знак?" << QByteArray("a") << "Как называется этот знак?"
        << QByteArray("b") << false;
    QTest::newRow("same text and picture")
        << "Как называется этот знак?" << QByteArray("a") << "Как называется этот знак?"
        << QByteArray("a") << true;
    QTest::newRow("other text, same picture")
        << "Можно ли?" << QByteArray("a") << "Нужно ли?" << QByteArray("a") << false;
    QTest::newRow("text only, case and spaces differ")
        << "Можно  ли обгонять?" << QByteArray() << "можно ли обгонять?" << QByteArray() << true;
    QTest::newRow("text only and the same text with a picture")
        << "Можно ли?" << QByteArray() << "Можно ли?" << QByteArray("a") << false;
}

void TestTicketAssembler::identity_samePictureOrText()
{
    QFETCH(QString, textA);
    QFETCH(QByteArray, pictureA);
    QFETCH(QString, textB);
    QFETCH(QByteArray, pictureB);
    QFETCH(bool, same);
    DemoQuestion a;
    a.text = textA;
    a.jpeg = pictureA;
    DemoQuestion b;
    b.text = textB;
    b.jpeg = pictureB;
    QCOMPARE(TicketAssembler::identity(a) == TicketAssembler::identity(b), same);
}

QTEST_GUILESS_MAIN(TestTicketAssembler)
#include "tst_ticketassembler.moc"
