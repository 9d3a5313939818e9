#include "commentlinks.h"

#include <QTest>

// Each row is a comment and the links found in it, written
// "kind number" with the linked text in brackets ("sign 3.28 []" for a
// number inside a range, which has no text of its own).
class CommentLinksTest : public QObject
{
    Q_OBJECT

private:
    static Reference reference()
    {
        Reference reference;
        QList<ReferenceEntry> signs;
        for (const char *number : {"1.1", "1.5", "2.1", "2.4", "2.5", "3.1", "3.20", "3.27", "3.28",
                                   "3.29", "3.30", "5.15.1", "5.15.2", "8.2.1"})
            signs << ReferenceEntry{QString::fromLatin1(number), {}, {}, {}};
        reference.signs << ReferenceGroup{"Знаки", signs};
        QList<ReferenceEntry> markings;
        for (const char *number : {"1.1", "1.3", "1.5", "1.12", "1.14.1", "1.20", "2.1.1"})
            markings << ReferenceEntry{QString::fromLatin1(number), {}, {}, {}};
        reference.markings << ReferenceGroup{"Горизонтальная разметка", markings};
        return reference;
    }

    static QStringList describe(const QString &text, const QList<CommentLink> &links)
    {
        QStringList described;
        for (const CommentLink &link : links) {
            described << QStringLiteral("%1 %2 [%3]")
                             .arg(link.kind == ReferenceKind::Sign ? "sign" : "marking",
                                  link.number, text.mid(link.start, link.length));
        }
        return described;
    }

private slots:
    void find_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("single sign")
            << "Знак 2.4 «Уступите дорогу» требует уступить." << QStringList{"sign 2.4 [2.4]"};
        QTest::newRow("instrumental case, title before the number")
            << "Перекрёсток обозначен знаком «Главная дорога» 2.1."
            << QStringList{"sign 2.1 [2.1]"};
        QTest::newRow("list with и") << "Знаки 3.27 и 3.28 действуют до перекрёстка."
                                     << QStringList{"sign 3.27 [3.27]", "sign 3.28 [3.28]"};
        QTest::newRow("list with commas and titles")
            << "знаков 2.4 «Уступите дорогу», 2.5 «Движение без остановки запрещено» и 3.1"
            << QStringList{"sign 2.4 [2.4]", "sign 2.5 [2.5]", "sign 3.1 [3.1]"};
        QTest::newRow("range with an en dash")
            << "Зона действия знаками 3.27–3.30 не прерывается."
            << QStringList{"sign 3.27 [3.27]", "sign 3.28 []", "sign 3.29 []", "sign 3.30 [3.30]"};
        QTest::newRow("range with a hyphen and spaces")
            << "знаки 3.27 - 3.29"
            << QStringList{"sign 3.27 [3.27]", "sign 3.28 []", "sign 3.29 [3.29]"};
        QTest::newRow("three-part numbers")
            << "знаками 5.15.1 или 5.15.2"
            << QStringList{"sign 5.15.1 [5.15.1]", "sign 5.15.2 [5.15.2]"};
        QTest::newRow("plate with adjectives")
            << "табличка 8.2.1 указывает зону; знак дополнительной информации 8.2.1"
            << QStringList{"sign 8.2.1 [8.2.1]", "sign 8.2.1 [8.2.1]"};
        QTest::newRow("marking in several cases")
            << "Разметка 1.1 запрещает; пересекать разметку 1.5 можно; линия разметки 1.14.1."
            << QStringList{"marking 1.1 [1.1]", "marking 1.5 [1.5]", "marking 1.14.1 [1.14.1]"};
        QTest::newRow("same number, sign and marking")
            << "Знак 1.1 и разметка 1.1" << QStringList{"sign 1.1 [1.1]", "marking 1.1 [1.1]"};
        QTest::newRow("a clause of the rules is no sign")
            << "Согласно пункту 13.9 Правил вы должны уступить." << QStringList{};
        QTest::newRow("the sign's clause is no sign")
            << "Знак требует, по пункту 13.9, уступить дорогу." << QStringList{};
        QTest::newRow("an article of the code is no sign")
            << "штраф по ч. 2 ст. 12.9" << QStringList{};
        QTest::newRow("a number the reference lacks")
            << "Знак 4.1.1 «Движение прямо» и знак 2.4." << QStringList{"sign 2.4 [2.4]"};
        QTest::newRow("a list stops at another kind of number")
            << "знак 3.20 и пункт 11.4" << QStringList{"sign 3.20 [3.20]"};
        QTest::newRow("a similar word is no keyword")
            << "знакомый водитель 2.4 раза" << QStringList{};
        QTest::newRow("a number in brackets") << "знака (2.4)" << QStringList{"sign 2.4 [2.4]"};
        QTest::newRow("a sentence ends after the number")
            << "Это знак 2.4. Затем 3.1 не ссылка." << QStringList{"sign 2.4 [2.4]"};
        QTest::newRow("a speed is no sign")
            << "знак ограничивает скорость 60 км/ч" << QStringList{};
        QTest::newRow("lines and a triangle are markings")
            << "Линию 1.1 пересекать нельзя; стоп-линия 1.12; двойная сплошная линия 1.3; "
               "треугольником 1.20 и линиями 1.5 или 1.14.1"
            << QStringList{"marking 1.1 [1.1]",   "marking 1.12 [1.12]", "marking 1.3 [1.3]",
                           "marking 1.20 [1.20]", "marking 1.5 [1.5]",   "marking 1.14.1 [1.14.1]"};
        QTest::newRow("a line's marking keyword is not taken twice")
            << "линии разметки 1.1" << QStringList{"marking 1.1 [1.1]"};
        QTest::newRow("a tram line is no marking")
            << "знак 1.5 «Пересечение с трамвайной линией» стоит за 50–100 м"
            << QStringList{"sign 1.5 [1.5]"};
        QTest::newRow("a similar word is no line") << "линейка 1.5 и линолеум 1.1" << QStringList{};
    }

    void find()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        const Reference held = reference();
        QCOMPARE(describe(text, CommentLinks::find(text, &held)), expected);
    }

    // Without a reference every mention is found, held or not.
    void find_withoutReference_keepsEveryNumber()
    {
        const QString text = QStringLiteral("знак 4.1.1 и разметка 1.25");
        QCOMPARE(describe(text, CommentLinks::find(text)),
                 (QStringList{"sign 4.1.1 [4.1.1]", "marking 1.25 [1.25]"}));
    }

    void toHtml_linksWrittenNumbersAndEscapesTheRest()
    {
        const QString text = QStringLiteral("<b> знаки 3.27–3.29\nи всё");
        const Reference held = reference();
        QCOMPARE(CommentLinks::toHtml(text, CommentLinks::find(text, &held)),
                 QStringLiteral("&lt;b&gt; знаки <a href=\"zeltrak-reference:sign/3.27\">3.27</a>–"
                                "<a href=\"zeltrak-reference:sign/3.29\">3.29</a><br>и всё"));
    }

    void fromUrl_readsWhatLinkUrlWrites()
    {
        const auto link =
            CommentLinks::fromUrl(CommentLinks::linkUrl(ReferenceKind::Marking, "1.14.1"));
        QVERIFY(link);
        QCOMPARE(link->kind, ReferenceKind::Marking);
        QCOMPARE(link->number, QStringLiteral("1.14.1"));
        QVERIFY(!CommentLinks::fromUrl(QUrl("https://example.org/sign/2.4")));
        QVERIFY(!CommentLinks::fromUrl(QUrl("zeltrak-reference:lamp/2.4")));
    }
};

QTEST_GUILESS_MAIN(CommentLinksTest)
#include "tst_commentlinks.moc"
