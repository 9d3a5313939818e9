// A sign in a comment is a link: a click shows it in «Справочник» while the
// attempt goes on.
#include "databasewriter.h"
#include "examtestbench.h"
#include "questiondatabase.h"
#include "referencewindow.h"
#include "syntheticdatabase.h"

#include <QAbstractTextDocumentLayout>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace {

// The exam window's host with a reference: a link opens the real window.
class ReferenceHost : public FakeHost
{
public:
    Reference held;
    ReferenceWindow window;

    const Reference *reference() override { return held.isEmpty() ? nullptr : &held; }
    void openReferenceEntry(ReferenceKind kind, const QString &number) override
    {
        window.setReference(held);
        window.showEntry(kind, number);
    }
};

// Where `text` stands in a label's rich text, as the label lays it out.
QPoint positionOf(QLabel *label, const QString &text)
{
    QTextDocument document;
    document.setDefaultFont(label->font());
    document.setDocumentMargin(0);
    document.setHtml(label->text());
    document.setTextWidth(label->contentsRect().width());
    document.size(); // lays the document out
    const QTextCursor found = document.find(text);
    const QTextBlock block = found.block();
    const int inBlock = found.selectionStart() - block.position();
    const QRectF blockRect = document.documentLayout()->blockBoundingRect(block);
    const QTextLine line = block.layout()->lineForTextPosition(inBlock);
    if (found.isNull() || !line.isValid())
        return {};
    const qreal x = line.cursorToX(inBlock) + 3;
    return label->contentsRect().topLeft() +
           QPoint(qRound(blockRect.x() + x), qRound(blockRect.y() + line.y() + line.height() / 2));
}

} // namespace

class CommentLinkTest : public QObject
{
    Q_OBJECT

private slots:
    void learning_clickOnSignInComment_opensItAndTheAttemptGoesOn()
    {
        ExamTestBench bench;
        // Question 1 with a comment that names a sign.
        const QString path = bench.dir() + QStringLiteral("/test.dbv");
        DatabaseWriter writer;
        SyntheticDatabase::fill(writer);
        QStringList lines = SyntheticDatabase::questionLines(1);
        lines.replaceInStrings(QStringLiteral("Комментарий к вопросу 1"),
                               QStringLiteral("Знак 2.4 «Уступите дорогу» требует уступить."));
        writer.setQuestion(1, DatabaseWriter::textBlock(lines), {});
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(writer.toBytes());
        file.close();
        globalQuestionDatabase().openDatabase(path);

        ReferenceHost host;
        host.held.signs << ReferenceGroup{"Знаки приоритета",
                                          {{"2.4", "Уступите дорогу", "Уступите дорогу.", {}}}};
        bench.form.setHost(&host);
        bench.start(0, 1);
        bench.answerWrong();
        QLabel *comment = bench.label("Label4");
        QVERIFY(comment->isVisible());
        QVERIFY(comment->text().contains("zeltrak-reference:sign/2.4"));

        QTest::mouseClick(comment, Qt::LeftButton, {}, positionOf(comment, "2.4"));
        QTRY_VERIFY(host.window.isVisible());
        QCOMPARE(host.window.findChild<QLabel *>("referenceTitle")->text(),
                 QStringLiteral("2.4 Уступите дорогу"));
        QVERIFY(bench.attempt().isRunning());
        QVERIFY(bench.form.isVisible());
        host.window.close();

        // Without a reference the comment is plain text.
        host.held = Reference();
        bench.answerWrong();
        QVERIFY(!comment->text().contains("zeltrak-reference"));
        bench.form.setHost(&bench.host);
    }
};

QTEST_MAIN(CommentLinkTest)
#include "tst_commentlink.moc"
