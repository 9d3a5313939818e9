#include "intersectionscene.h"
#include "lintchecks.h"
#include "linttext.h"
#include "ruleparagraphs.h"
#include "scenekit.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <algorithm>

// The content of the built demo database against the targets of its third
// edition: what a learner would notice (repeats, giveaways, pictures, the
// balance of topics, habits of the key, the rules in force) measured on the
// very file that ships.
class TestDemoContent : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void target_data();
    void target();
    void topics_officialThemesAskedTenTimes_data();
    void topics_officialThemesAskedTenTimes();
    void topics_intersectionsTenToFourteenPercent();
    void layout_noKindHoldsAPlaceInHalfTheTickets();
    void comments_citeParagraphsThatExist();
    void giveWay_nobodyIsAtMostFortyPercent();
    void giveWay_commentAccountsForEveryVehicle();
    void rules2023_personalMobilityDevicesAsked();
    void pictures_showCrossingsRailwaysTramsAndLanes();
    void pictures_sixtyOrMoreFromTheDriversSeat();
    void pictures_controllerQuestionsShowTheController();
    void formats_officialKindsAsked_data();
    void formats_officialKindsAsked();
    void formats_letteredVariantsInTheirUsualOrder();
    void content_nothingBeyondCategoriesAAndB();
    void layout_disabledDriverQuestionsInDifferentTickets();
    void arrows_neverShareAHead();
    void topicsFile_listsEveryQuestionOnce();

private:
    struct SourceEntry
    {
        QString origin;
        QString text;
        bool picture = false;
    };

    QList<LintQuestion> m_questions;
    LintReport m_report;
    QList<SourceEntry> m_source; // in question order, from the ticket files
};

void TestDemoContent::initTestCase()
{
    QString error;
    m_questions = loadLintQuestions(QStringLiteral(DEMO_DATABASE), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(m_questions.size(), 800);
    m_report = lintQuestions(m_questions);

    // The ticket files keep, in a comment before each question, where it
    // came from: a generated kind or a pool file and line.
    for (int t = 1; t <= 40; ++t) {
        QFile file(QDir(QStringLiteral(DEMO_SOURCE))
                       .filePath(QStringLiteral("ticket%1.txt").arg(t, 2, 10, QLatin1Char('0'))));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QString origin;
        for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
            if (line.startsWith(QStringLiteral("# ")))
                origin = line.mid(2);
            else if (line.startsWith(QStringLiteral("question ")))
                m_source << SourceEntry{origin, {}, false};
            else if (line.startsWith(QStringLiteral("picture ")))
                m_source.last().picture = true;
            else if (line.startsWith(QStringLiteral("text ")))
                m_source.last().text = line.mid(5);
        }
    }
    QCOMPARE(m_source.size(), 800);
}

void TestDemoContent::target_data()
{
    QTest::addColumn<double>("measured");
    QTest::addColumn<double>("limit");
    QTest::addColumn<bool>("atLeast");
    const LintSummary &s = m_report.summary;
    QTest::newRow("near-duplicate copies at most 2 %")
        << double(s.duplicateCopies) << 16.0 << false;
    QTest::newRow("correct variant the longest at most 40 %") << s.longestShare() << 0.40 << false;
    QTest::newRow("numeric variants out of order: none")
        << double(s.unorderedNumeric) << 0.0 << false;
    QTest::newRow("answers given away in a ticket: none") << double(s.leaks) << 0.0 << false;
    QTest::newRow("at least 300 (37.5 %) with a picture")
        << double(s.withPictures) << 300.0 << true;
    QTest::newRow("groups of one rule with one answer at most 5")
        << double(s.ruleGroups) << 5.0 << false;
    QTest::newRow("no rule taught twice in a ticket")
        << double(s.ticketRuleRepeats) << 0.0 << false;
    QTest::newRow("no answer position keyed in more than 35 %") << s.topKeyShare() << 0.35 << false;
    QTest::newRow("yes/no keyed \"forbidden\" at most 60 %")
        << s.prohibitiveShare() << 0.60 << false;
    QTest::newRow("yes/no keyed \"forbidden\" at least 40 %")
        << s.prohibitiveShare() << 0.40 << true;
    QTest::newRow("no comment that only restates the answer")
        << double(s.restating) << 0.0 << false;
    QTest::newRow("at least 600 comments cite a paragraph") << double(s.citing) << 600.0 << true;
    QTest::newRow("no picture used more than 3 times") << double(s.maxPictureUses) << 3.0 << false;
    QTest::newRow("every variant ends with \" *\"") << double(s.markerProblems) << 0.0 << false;
    QTest::newRow("every comment starts with a capital")
        << double(s.commentProblems) << 0.0 << false;
    QTest::newRow("every cited paragraph exists") << double(s.unknownParagraphs) << 0.0 << false;
    QTest::newRow("dbv lint passes with its defaults")
        << double(m_report.exceeded.size()) << 0.0 << false;
}

void TestDemoContent::target()
{
    QFETCH(double, measured);
    QFETCH(double, limit);
    QFETCH(bool, atLeast);
    QVERIFY2(atLeast ? measured >= limit : measured <= limit,
             qPrintable(QStringLiteral("%1 against %2; %3")
                            .arg(measured)
                            .arg(limit)
                            .arg(m_report.exceeded.join(QStringLiteral("; ")))));
}

void TestDemoContent::topics_officialThemesAskedTenTimes_data()
{
    QTest::addColumn<QString>("pattern");
    // Each theme of the official exam by the words that name it in a
    // question or its comment.
    QTest::newRow("markings") << "разметк";
    QTest::newRow("safe driving technique")
        << "занос|тормозн\\w* пут|дистанци|скользк|гололед|туман";
    QTest::newRow("first aid") << "первой помощи|первую помощь|кровотечени|реанимац|пострадавш";
    QTest::newRow("liability and paperwork") << "ОСАГО|КоАП|ДТП|освидетельствован";
    QTest::newRow("vehicles with special signals") << "проблесков\\w* маячк|специальн\\w* звуков";
    QTest::newRow("plates 8.x") << "[Тт]абличк";
    QTest::newRow("roundabouts") << "кругов\\w* движени|на круг|по кругу|4\\.3";
    QTest::newRow("traffic controller") << "егулировщик";
    QTest::newRow("railway crossings") << "переезд";
    QTest::newRow("motorways") << "автомагистрал";
    QTest::newRow("towing") << "буксир";
    QTest::newRow("lights") << "фар|габаритн|световы\\w* прибор";
    QTest::newRow("personal mobility devices")
        << "индивидуальной мобильности|\\bСИМ\\b|электросамокат|моноколес";
    QTest::newRow("passengers and pedestrians") << "[Пп]ассажир|[Пп]ешеход";
}

void TestDemoContent::topics_officialThemesAskedTenTimes()
{
    QFETCH(QString, pattern);
    const QRegularExpression theme(pattern, QRegularExpression::UseUnicodePropertiesOption);
    QVERIFY(theme.isValid());
    int count = 0;
    for (const LintQuestion &q : std::as_const(m_questions))
        count += (q.text + u' ' + q.variants.join(u' ') + u' ' + q.comment).contains(theme) ? 1 : 0;
    QVERIFY2(count >= 10, qPrintable(QString::number(count)));
}

void TestDemoContent::topics_intersectionsTenToFourteenPercent()
{
    // About the official share: intersections were a quarter of the second
    // edition.
    QFile file(QStringLiteral(DEMO_TOPICS));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonArray topics =
        QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("topics")).toArray();
    int intersections = -1;
    for (const QJsonValue &topic : topics) {
        if (topic[QStringLiteral("name")].toString() == QStringLiteral("Проезд перекрёстков"))
            intersections = int(topic[QStringLiteral("questions")].toArray().size());
    }
    QVERIFY2(intersections >= 80 && intersections <= 112,
             qPrintable(QString::number(intersections)));
}

void TestDemoContent::layout_noKindHoldsAPlaceInHalfTheTickets()
{
    // The kind of a picture question is what drew it (intersection diagram,
    // sign by the road, signs in a row...); a text question's kind is its
    // topic. No place in a ticket holds one kind in more than 20 tickets.
    QFile file(QStringLiteral(DEMO_TOPICS));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QHash<int, QString> topicOf;
    const QJsonArray topics =
        QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("topics")).toArray();
    for (const QJsonValue &topic : topics) {
        for (const QJsonValue &number : topic[QStringLiteral("questions")].toArray())
            topicOf.insert(number.toInt(), topic[QStringLiteral("name")].toString());
    }
    for (int place = 0; place < 20; ++place) {
        QHash<QString, int> kinds;
        for (int ticket = 0; ticket < 40; ++ticket) {
            const SourceEntry &entry = m_source.at(ticket * 20 + place);
            const QString kind = entry.picture ? entry.origin.section(u':', 0, 0)
                                               : topicOf.value(ticket * 20 + place + 1);
            ++kinds[kind];
        }
        for (auto it = kinds.cbegin(); it != kinds.cend(); ++it)
            QVERIFY2(it.value() <= 20, qPrintable(QStringLiteral("place %1: %2 in %3 tickets")
                                                      .arg(place + 1)
                                                      .arg(it.key())
                                                      .arg(it.value())));
    }
}

void TestDemoContent::comments_citeParagraphsThatExist()
{
    // A cited number the rules do not have is a typing error.
    int cited = 0;
    for (const LintQuestion &q : std::as_const(m_questions)) {
        for (const QString &paragraph : LintText::citedParagraphs(q.comment)) {
            // Numbers after «Перечень неисправностей» belong to that list.
            if (q.comment.contains(QStringLiteral("Перечень неисправностей")))
                continue;
            ++cited;
            QVERIFY2(RuleParagraphs::exists(paragraph),
                     qPrintable(QStringLiteral("%1: п. %2").arg(q.number).arg(paragraph)));
        }
    }
    QVERIFY(cited >= 600);
}

namespace {

bool asksWhomToYield(const LintQuestion &q)
{
    return q.hasPicture() && q.text.endsWith(QStringLiteral("Кому вы должны уступить дорогу?"));
}

QString bare(const QString &variant)
{
    return QString(variant).remove(u'*').trimmed();
}

} // namespace

void TestDemoContent::giveWay_nobodyIsAtMostFortyPercent()
{
    int asked = 0;
    int nobody = 0;
    for (const LintQuestion &q : std::as_const(m_questions)) {
        if (!asksWhomToYield(q))
            continue;
        ++asked;
        nobody += bare(q.variants.at(q.correct - 1)).startsWith(QStringLiteral("Никому")) ? 1 : 0;
    }
    QVERIFY(asked >= 40);
    QVERIFY2(nobody * 10 <= asked * 4,
             qPrintable(QStringLiteral("%1 of %2").arg(nobody).arg(asked)));
}

void TestDemoContent::giveWay_commentAccountsForEveryVehicle()
{
    // Every vehicle the variants name has its reason in the comment: it is
    // given way to, it gives way, or its path does not cross yours.
    static const QStringList vehicles = {"грузов", "автобус", "мотоцикл", "трамва"};
    for (const LintQuestion &q : std::as_const(m_questions)) {
        if (!asksWhomToYield(q))
            continue;
        const QString variants = q.variants.join(u' ').toLower();
        const QString comment = q.comment.toLower();
        for (const QString &vehicle : vehicles) {
            if (variants.contains(vehicle))
                QVERIFY2(comment.contains(vehicle),
                         qPrintable(QStringLiteral("%1: %2").arg(q.number).arg(q.comment)));
        }
    }
}

void TestDemoContent::rules2023_personalMobilityDevicesAsked()
{
    static const QRegularExpression device(
        QStringLiteral("индивидуальной мобильности|\\bСИМ\\b|электросамокат|моноколес"));
    int count = 0;
    for (const LintQuestion &q : std::as_const(m_questions)) {
        const QString all = q.text + u' ' + q.variants.join(u' ') + u' ' + q.comment;
        count += all.contains(device) ? 1 : 0;
    }
    QVERIFY2(count >= 10, qPrintable(QString::number(count)));
}

void TestDemoContent::pictures_showCrossingsRailwaysTramsAndLanes()
{
    const auto pattern = [](const char16_t *text) {
        return QRegularExpression(QString::fromUtf16(text),
                                  QRegularExpression::UseUnicodePropertiesOption);
    };
    const QList<QPair<QString, QRegularExpression>> themes = {
        {"pedestrian crossings", pattern(u"пешеходн\\w* переход")},
        {"railway crossings", pattern(u"переезд")},
        {"tram tracks", pattern(u"трамвайн\\w* пут")},
        {"lanes", pattern(u"полос")},
    };
    for (const auto &[name, pattern] : themes) {
        int count = 0;
        for (const LintQuestion &q : std::as_const(m_questions))
            count += q.hasPicture() && (q.text + q.comment).contains(pattern) ? 1 : 0;
        QVERIFY2(count >= 2, qPrintable(QStringLiteral("%1: %2").arg(name).arg(count)));
    }
}

void TestDemoContent::pictures_sixtyOrMoreFromTheDriversSeat()
{
    int scenes = 0;
    for (const SourceEntry &entry : std::as_const(m_source))
        scenes += entry.picture && entry.origin.contains(SceneKit::DriverView) ? 1 : 0;
    QVERIFY2(scenes >= 60, qPrintable(QString::number(scenes)));
}

void TestDemoContent::pictures_controllerQuestionsShowTheController()
{
    // A controller asked about in a picture is drawn: from the driver's seat
    // or in the junction seen from above.
    for (const SourceEntry &entry : std::as_const(m_source)) {
        if (entry.picture && entry.text.contains(QStringLiteral("егулировщик")))
            QVERIFY2(entry.origin.contains(SceneKit::DriverView) ||
                         entry.origin.startsWith(QStringLiteral("регулировщик")),
                     qPrintable(entry.text));
    }
}

void TestDemoContent::formats_officialKindsAsked_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("least");
    QTest::newRow("«Только А / А и Б / Все» at least 15") << "letters" << 15;
    QTest::newRow("pictures of a traffic controller at least 8") << "controller" << 8;
    QTest::newRow("lights with additional sections at least 15") << "sections" << 15;
}

void TestDemoContent::formats_officialKindsAsked()
{
    QFETCH(QString, kind);
    QFETCH(int, least);
    static const QRegularExpression letters(
        QStringLiteral("^(Только [АБВГ]|[АБВГ] и [АБВГ]|Все)\\.$"));
    int count = 0;
    for (int i = 0; i < m_questions.size(); ++i) {
        const LintQuestion &q = m_questions.at(i);
        if (!q.hasPicture())
            continue;
        if (kind == u"letters") {
            count += std::all_of(q.variants.cbegin(), q.variants.cend(),
                                 [](const QString &v) { return bare(v).contains(letters); })
                         ? 1
                         : 0;
        } else if (kind == u"controller") {
            count += q.text.contains(QStringLiteral("регулировщик")) ? 1 : 0;
        } else {
            // Drawn as a light with additional sections, or explained by them.
            count += m_source.at(i).origin.startsWith(QStringLiteral("секции светофора")) ||
                             q.comment.contains(QStringLiteral("дополнительной секции"))
                         ? 1
                         : 0;
        }
    }
    QVERIFY2(count >= least, qPrintable(QString::number(count)));
}

void TestDemoContent::content_nothingBeyondCategoriesAAndB()
{
    // Speeds and lanes of lorries over 3.5 t, the work of bus drivers,
    // people in a lorry's body: category C and D matters that an A/B exam
    // does not ask. (Where such lorries may park in a residential zone is
    // asked: every driver meets that sign.)
    static const QRegularExpression beyond(
        QStringLiteral("(скорост|полос)\\w*.*(более 3,5 т|12 т|7 т)|в кузове грузового|"
                       "«Автопоезд»|водител\\w* автобуса|организованн\\w* перевозк"),
        QRegularExpression::UseUnicodePropertiesOption);
    for (const LintQuestion &q : std::as_const(m_questions)) {
        const QString asked = q.text + u' ' + q.variants.at(q.correct - 1);
        QVERIFY2(!asked.contains(beyond), qPrintable(q.text));
    }
}

void TestDemoContent::layout_disabledDriverQuestionsInDifferentTickets()
{
    // Who may carry the «Инвалид» sign, and a sign that does not apply to
    // such a driver: the second gives the first away, in words the lint
    // cannot match.
    QSet<int> tickets;
    int count = 0;
    for (const LintQuestion &q : std::as_const(m_questions)) {
        if (q.text.contains(QStringLiteral("знак «Инвалид»"))) {
            tickets.insert(q.ticket);
            ++count;
        }
    }
    QCOMPARE(tickets.size(), count);
}

void TestDemoContent::arrows_neverShareAHead()
{
    using PriorityRules::Move;
    const QList<Move> moves = {Move::Straight, Move::Left, Move::Right};
    // Every way four vehicles can drive through: you from the south and
    // one vehicle from each other arm.
    for (int code = 0; code < 81; ++code) {
        QList<IntersectionVehicle> vehicles;
        int rest = code;
        for (int approach = 0; approach < 4; ++approach) {
            vehicles << IntersectionVehicle{
                {approach, moves.at(rest % 3)}, VehiclePainter::Type::Car, Qt::red};
            rest /= 3;
        }
        const QList<QPointF> tips = IntersectionScene::arrowTips(vehicles);
        for (int i = 0; i < tips.size(); ++i) {
            QVERIFY(QRectF(0, 0, 706, 274).contains(tips.at(i)));
            for (int j = i + 1; j < tips.size(); ++j) {
                const QPointF d = tips.at(i) - tips.at(j);
                QVERIFY2(
                    std::hypot(d.x(), d.y()) >= 16,
                    qPrintable(
                        QStringLiteral("layout %1, vehicles %2 and %3").arg(code).arg(i).arg(j)));
            }
        }
    }
}

void TestDemoContent::topicsFile_listsEveryQuestionOnce()
{
    QFile file(QStringLiteral(DEMO_TOPICS));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonArray topics = document.object().value(QStringLiteral("topics")).toArray();
    QVERIFY(topics.size() >= 15);
    QSet<int> seen;
    int previousFirst = 0;
    for (const QJsonValue &topic : topics) {
        QVERIFY(!topic[QStringLiteral("name")].toString().isEmpty());
        const QJsonArray numbers = topic[QStringLiteral("questions")].toArray();
        QVERIFY(!numbers.isEmpty());
        // Topics come in the order of their first question.
        QVERIFY(numbers.first().toInt() > previousFirst);
        previousFirst = numbers.first().toInt();
        for (const QJsonValue &number : numbers) {
            QVERIFY(number.toInt() >= 1 && number.toInt() <= 800);
            QVERIFY2(!seen.contains(number.toInt()), qPrintable(QString::number(number.toInt())));
            seen.insert(number.toInt());
        }
    }
    QCOMPARE(seen.size(), 800);
}

void TestDemoContent::formats_letteredVariantsInTheirUsualOrder()
{
    // «Только А», …, «А и Б», …, «Все» always in this order and four of
    // them, so that neither the place nor the count of the keyed one tells
    // anything.
    static const QStringList order = {"Только А.", "Только Б.", "Только В.", "А и Б.",
                                      "А и В.",    "Б и В.",    "Все."};
    int asked = 0;
    for (const LintQuestion &q : std::as_const(m_questions)) {
        QList<qsizetype> places;
        for (const QString &variant : q.variants)
            places << order.indexOf(bare(variant));
        if (places.contains(-1))
            continue;
        ++asked;
        QCOMPARE(places.size(), 4);
        QVERIFY2(std::is_sorted(places.cbegin(), places.cend()) &&
                     std::adjacent_find(places.cbegin(), places.cend()) == places.cend(),
                 qPrintable(q.text));
    }
    QVERIFY(asked >= 15);
}

QTEST_GUILESS_MAIN(TestDemoContent)
#include "tst_democontent.moc"
