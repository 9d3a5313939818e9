#include "commentlinks.h"
#include "demoreference.h"
#include "markingscene.h"
#include "picturestyle.h"
#include "question.h"
#include "questionbankerror.h"
#include "questiondatabase.h"
#include "questionindexentry.h"
#include "referencefile.h"
#include "referencereader.h"
#include "referencetexts.h"
#include "signpainter.h"
#include "signtable.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QSvgRenderer>
#include <QTest>

// The demo's own reference: complete for what the demo draws, pictures that
// show what the questions show, the file the build wrote, and no comment of
// the demo that names a sign or marking the reference lacks.
class TestDemoReference : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void entries_everyDrawnSignOnceWithTextAndPicture();
    void entries_inGroupsAndOrderOfTheRules();
    void titles_sameAsTheQuestionsName();
    void signPictures_svgDrawsAsThePainter_data();
    void signPictures_svgDrawsAsThePainter();
    void markingPictures_svgDrawsAsTheScene_data();
    void markingPictures_svgDrawsAsTheScene();
    void builtFile_sameBytesAsThisRevisionBuilds();
    void demoComments_everyMentionHeldByTheReference();

private:
    Reference m_reference;
};

namespace {

// The share of pixels that differ visibly between two pictures of one size.
double differingShare(const QImage &a, const QImage &b)
{
    const QImage left = a.convertToFormat(QImage::Format_RGB32);
    const QImage right = b.convertToFormat(QImage::Format_RGB32);
    qint64 differing = 0;
    for (int y = 0; y < left.height(); ++y) {
        const auto *l = reinterpret_cast<const QRgb *>(left.constScanLine(y));
        const auto *r = reinterpret_cast<const QRgb *>(right.constScanLine(y));
        for (int x = 0; x < left.width(); ++x) {
            const int diff =
                std::max({std::abs(qRed(l[x]) - qRed(r[x])), std::abs(qGreen(l[x]) - qGreen(r[x])),
                          std::abs(qBlue(l[x]) - qBlue(r[x]))});
            differing += diff > 96 ? 1 : 0;
        }
    }
    return double(differing) / (qint64(left.width()) * left.height());
}

QImage rendered(const QByteArray &svg, const QSize &size, const QColor &background)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(background);
    QSvgRenderer renderer(svg);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

} // namespace

void TestDemoReference::initTestCase()
{
    m_reference = DemoReference::build();
}

void TestDemoReference::entries_everyDrawnSignOnceWithTextAndPicture()
{
    QStringList signs;
    for (const ReferenceGroup &group : std::as_const(m_reference.signs)) {
        for (const ReferenceEntry &entry : group.entries) {
            signs << entry.number;
            // A picture exactly where the demo can draw one.
            const bool mirrored = entry.number == u"5.19.2";
            QCOMPARE(entry.svg.isEmpty(), !SignPainter::canPaint(entry.number) && !mirrored);
        }
    }
    for (const QString &drawn : SignPainter::numbers())
        QVERIFY2(signs.contains(drawn), qPrintable(drawn));
    for (const MarkingText &marking : ReferenceTexts::markings()) {
        QCOMPARE(m_reference.find(ReferenceKind::Marking, marking.number)->svg.isEmpty(),
                 !marking.layout.has_value());
    }

    // No number twice, every picture drawable (the checks of `dbv check`).
    QCOMPARE(ReferenceFile::problems(m_reference), QStringList());
    for (ReferenceKind kind : {ReferenceKind::Sign, ReferenceKind::Marking}) {
        for (const ReferenceGroup &group : m_reference.groups(kind)) {
            for (const ReferenceEntry &entry : group.entries)
                QVERIFY2(!entry.title.isEmpty() && entry.description.size() > 20,
                         qPrintable(entry.number));
        }
    }
    QVERIFY(m_reference.penalties.isEmpty());
}

void TestDemoReference::entries_inGroupsAndOrderOfTheRules()
{
    const QStringList annexOrder = {"Предупреждающие знаки",
                                    "Знаки приоритета",
                                    "Запрещающие знаки",
                                    "Предписывающие знаки",
                                    "Знаки особых предписаний",
                                    "Информационные знаки",
                                    "Знаки сервиса",
                                    "Знаки дополнительной информации (таблички)"};
    int lastGroup = -1;
    for (const ReferenceGroup &group : std::as_const(m_reference.signs)) {
        const int index = int(annexOrder.indexOf(group.name));
        QVERIFY2(index > lastGroup, qPrintable(group.name));
        lastGroup = index;
        QVERIFY(!group.entries.isEmpty());
        for (qsizetype i = 0; i < group.entries.size(); ++i) {
            const QString number = group.entries.at(i).number;
            QCOMPARE(ReferenceTexts::signGroup(number), group.name);
            if (i > 0) {
                QVERIFY2(ReferenceReader::numberLess(group.entries.at(i - 1).number, number),
                         qPrintable(number));
            }
        }
    }
    QCOMPARE(m_reference.markings.size(), 1);
    QCOMPARE(m_reference.markings.first().name, QStringLiteral("Горизонтальная разметка"));
    const QList<ReferenceEntry> &markings = m_reference.markings.first().entries;
    for (qsizetype i = 1; i < markings.size(); ++i)
        QVERIFY(ReferenceReader::numberLess(markings.at(i - 1).number, markings.at(i).number));
    QCOMPARE(ReferenceTexts::signGroup("9.1"), QString());
}

void TestDemoReference::titles_sameAsTheQuestionsName()
{
    // Where the questions name a sign, the reference names it the same way.
    for (const ReferenceGroup &group : std::as_const(m_reference.signs)) {
        for (const ReferenceEntry &entry : group.entries) {
            if (const SignInfo *info = SignTable::find(entry.number))
                QCOMPARE(entry.title, info->name);
        }
    }
}

void TestDemoReference::signPictures_svgDrawsAsThePainter_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("drawn");
    QTest::addColumn<bool>("mirrored");
    for (const SignText &sign : ReferenceTexts::signs()) {
        if (SignPainter::canPaint(sign.number))
            QTest::newRow(qPrintable(sign.number)) << sign.number << sign.number << false;
        else if (!sign.mirrorOf.isEmpty())
            QTest::newRow(qPrintable(sign.number)) << sign.number << sign.mirrorOf << true;
    }
}

void TestDemoReference::signPictures_svgDrawsAsThePainter()
{
    // The SVG, drawn at twice its size, against the painter drawing the
    // sign straight into pixels: text, stripes cut to the plate and curves
    // must survive.
    QFETCH(QString, number);
    QFETCH(QString, drawn);
    QFETCH(bool, mirrored);
    const QByteArray svg = m_reference.find(ReferenceKind::Sign, number)->svg;
    const QSize size = (QSvgRenderer(svg).viewBoxF().size() * 2).toSize();
    const QImage fromSvg = rendered(svg, size, Qt::white);
    QImage direct(size, QImage::Format_RGB32);
    direct.fill(Qt::white);
    {
        QPainter painter(&direct);
        SignPainter::paint(painter, drawn, QPointF(size.width() / 2.0, size.height() / 2.0),
                           size.height() * 100.0 / 104.0);
    }
    if (mirrored)
        direct = direct.mirrored(true, false);
    const double share = differingShare(fromSvg, direct);
    QVERIFY2(share < 0.002, qPrintable(QString::number(share)));
    // And not a blank picture.
    QImage blank(size, QImage::Format_RGB32);
    blank.fill(Qt::white);
    QVERIFY(differingShare(fromSvg, blank) > 0.1);
}

void TestDemoReference::markingPictures_svgDrawsAsTheScene_data()
{
    QTest::addColumn<int>("index");
    const QList<MarkingText> &markings = ReferenceTexts::markings();
    for (int i = 0; i < markings.size(); ++i) {
        if (markings.at(i).layout)
            QTest::newRow(qPrintable(markings.at(i).number)) << i;
    }
}

void TestDemoReference::markingPictures_svgDrawsAsTheScene()
{
    QFETCH(int, index);
    const MarkingText &marking = ReferenceTexts::markings().at(index);
    const QByteArray svg = m_reference.find(ReferenceKind::Marking, marking.number)->svg;
    const QImage scene = MarkingScene::picture(*marking.layout);
    QCOMPARE(QSvgRenderer(svg).viewBoxF().size(), QSizeF(scene.size()));
    const double share = differingShare(rendered(svg, scene.size(), Qt::black), scene);
    QVERIFY2(share < 0.002, qPrintable(QString::number(share)));
}

void TestDemoReference::builtFile_sameBytesAsThisRevisionBuilds()
{
    QFile file(QStringLiteral(DEMO_REFERENCE));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    const QByteArray built = file.readAll();
    QCOMPARE(built, ReferenceFile::toJson(m_reference));
    QCOMPARE(ReferenceFile::toJson(DemoReference::build()), built);
    QCOMPARE(ReferenceFile::pathFor(QStringLiteral(DEMO_DATABASE)), QStringLiteral(DEMO_REFERENCE));
    QStringList problems;
    QVERIFY(ReferenceFile::parse(built, &problems));
    QCOMPARE(problems, QStringList());
}

void TestDemoReference::demoComments_everyMentionHeldByTheReference()
{
    QuestionDatabase database;
    database.openDatabase(QStringLiteral(DEMO_DATABASE));
    int mentioning = 0;
    int linked = 0;
    QStringList missing;
    for (int a = 1; a <= QuestionBankLayout::QuestionCount; ++a) {
        Question question;
        database.readQuestion(a, question);
        const QList<CommentLink> mentions = CommentLinks::find(question.commentText);
        mentioning += mentions.isEmpty() ? 0 : 1;
        linked += CommentLinks::find(question.commentText, &m_reference).isEmpty() ? 0 : 1;
        for (const CommentLink &mention : mentions) {
            if (!m_reference.find(mention.kind, mention.number)) {
                missing << QStringLiteral("question %1: %2 %3")
                               .arg(a)
                               .arg(mention.kind == ReferenceKind::Sign ? "sign" : "marking",
                                    mention.number);
            }
        }
    }
    qInfo("%d of %d comments name a sign or a marking; %d of them link to the reference",
          mentioning, QuestionBankLayout::QuestionCount, linked);
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(u'\n')));
    QCOMPARE(linked, mentioning);
    QVERIFY(linked > 100);
}

QTEST_MAIN(TestDemoReference)
#include "tst_demoreference.moc"
