// The "По темам" page driven by clicks: each row's button asks for its own
// topic, the bars show the counts, and without topics the list gives way to
// the explanation.
#include "topicspage.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTest>

namespace {

TopicProgress topic(const QString &name, int count, int answered, int right, QList<int> order)
{
    TopicProgress t;
    t.name = name;
    t.questionCount = count;
    t.answeredCount = answered;
    t.rightCount = right;
    t.runOrder = std::move(order);
    return t;
}

QList<int> range(int first, int count)
{
    QList<int> numbers;
    for (int i = 0; i < count; ++i)
        numbers << first + i;
    return numbers;
}

const QList<TopicProgress> ThreeTopics{
    topic(QStringLiteral("Дорожные знаки"), 31, 20, 12, range(101, 31)),
    topic(QStringLiteral("Начало движения, маневрирование, расположение транспортных "
                         "средств на проезжей части"),
          3, 3, 3, {7, 8, 9}),
    topic(QStringLiteral("Оказание доврачебной помощи"), 2, 0, 0, {500, 400}),
};

} // namespace

class TestTopicsPage : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void buttons_askForTheirOwnTopic_withItsNextBatch();
    void bars_showTheRightCounts();
    void noTopics_listHidden_explanationShown_untilTopicsComeBack();
    void topicWithoutQuestions_cannotBeStarted();
    void newTopicsFromTheRequest_replaceTheRowsSafely();

private:
    template <typename T> T *child(const QString &name) const
    {
        return m_page->findChild<T *>(name);
    }

    std::unique_ptr<TopicsPage> m_page;
};

void TestTopicsPage::init()
{
    m_page = std::make_unique<TopicsPage>();
    m_page->resize(600, 400);
    m_page->setTopics(ThreeTopics);
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
}

void TestTopicsPage::cleanup()
{
    m_page.reset();
}

void TestTopicsPage::buttons_askForTheirOwnTopic_withItsNextBatch()
{
    QCOMPARE(m_page->objectName(), QStringLiteral("topicsPage"));
    QSignalSpy requested(m_page.get(), &TopicsPage::topicRequested);
    for (const int index : {2, 0, 1}) {
        auto *button = child<QPushButton>(QStringLiteral("topicButton%1").arg(index));
        QVERIFY(button && button->isVisible() && button->isEnabled());
        QCOMPARE(button->text(), QStringLiteral("Учить"));
        QVERIFY(button->toolTip().contains(QStringLiteral("по 20")));
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QCOMPARE(requested.size(), 3);
    QCOMPARE(requested[0][0].toInt(), 2);
    QCOMPARE(requested[0][1].value<QList<int>>(), (QList<int>{500, 400}));
    QCOMPARE(requested[1][0].toInt(), 0);
    QCOMPARE(requested[1][1].value<QList<int>>(), range(101, 20));
    // A topic known through still runs, for repetition, and says so.
    QCOMPARE(requested[2][0].toInt(), 1);
    QCOMPARE(requested[2][1].value<QList<int>>(), (QList<int>{7, 8, 9}));
    QVERIFY(child<QPushButton>(QStringLiteral("topicButton1"))
                ->toolTip()
                .startsWith(QStringLiteral("На все вопросы темы последний ответ верный.")));
}

void TestTopicsPage::bars_showTheRightCounts()
{
    auto *bar = child<QProgressBar>(QStringLiteral("topicProgress0"));
    QVERIFY(bar && bar->isVisible());
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 31);
    QCOMPARE(bar->value(), 12);
    QCOMPARE(bar->text(), QStringLiteral("12 из 31 верно"));
    QVERIFY(bar->toolTip().contains(QStringLiteral("20 из 31")));
    QCOMPARE(child<QProgressBar>(QStringLiteral("topicProgress2"))->text(),
             QStringLiteral("0 из 2 верно"));
    QCOMPARE(child<QLabel>(QStringLiteral("topicName0"))->text(), QStringLiteral("Дорожные знаки"));

    // The long name wraps within the page rather than pushing the bar and
    // the button out of sight; all three columns line up.
    auto *longName = child<QLabel>(QStringLiteral("topicName1"));
    auto *scroll = child<QScrollArea>(QStringLiteral("topicsScrollArea"));
    auto *button = child<QPushButton>(QStringLiteral("topicButton1"));
    QVERIFY(longName->height() > longName->fontMetrics().height());
    QVERIFY(button->geometry().right() <= scroll->viewport()->width());
    QCOMPARE(button->x(), child<QPushButton>(QStringLiteral("topicButton0"))->x());
    QCOMPARE(child<QProgressBar>(QStringLiteral("topicProgress1"))->x(), bar->x());
    QVERIFY(child<QLabel>(QStringLiteral("topicsHeader"))->isVisible());
}

void TestTopicsPage::noTopics_listHidden_explanationShown_untilTopicsComeBack()
{
    m_page->showNoTopics(QStringLiteral("dataAB.topics.json"),
                         QStringLiteral("Файл тем «dataAB.topics.json» повреждён."));
    auto *label = child<QLabel>(QStringLiteral("noTopicsLabel"));
    QVERIFY(label->isVisible());
    QVERIFY(label->text().startsWith(QStringLiteral("Файл тем «dataAB.topics.json» повреждён.")));
    QVERIFY(label->text().contains(QStringLiteral("dbv import")));
    QVERIFY(!child<QScrollArea>(QStringLiteral("topicsScrollArea"))->isVisible());
    QVERIFY(!child<QLabel>(QStringLiteral("topicsHeader"))->isVisible());
    QVERIFY(!child<QPushButton>(QStringLiteral("topicButton0")));
    QVERIFY(m_page->topics().isEmpty());

    // Without a problem only the explanation.
    m_page->showNoTopics(QStringLiteral("Билеты.topics.json"));
    QVERIFY(label->text().startsWith(QStringLiteral("Темы берутся из файла «Билеты.topics.json»")));

    // Topics again: the list is back with only the new rows.
    m_page->setTopics({ThreeTopics[2]});
    QVERIFY(!label->isVisible());
    QVERIFY(child<QScrollArea>(QStringLiteral("topicsScrollArea"))->isVisible());
    QCOMPARE(m_page->findChildren<QPushButton *>().size(), 1);
    QCOMPARE(child<QLabel>(QStringLiteral("topicName0"))->text(),
             QStringLiteral("Оказание доврачебной помощи"));
}

void TestTopicsPage::topicWithoutQuestions_cannotBeStarted()
{
    // A count of 0 must not turn the bar into a busy indicator either.
    m_page->setTopics({topic(QStringLiteral("Пустая"), 0, 0, 0, {})});
    auto *bar = child<QProgressBar>(QStringLiteral("topicProgress0"));
    QVERIFY(bar->maximum() > bar->minimum());
    QCOMPARE(bar->text(), QStringLiteral("0 из 0 верно"));
    QSignalSpy requested(m_page.get(), &TopicsPage::topicRequested);
    auto *button = child<QPushButton>(QStringLiteral("topicButton0"));
    QVERIFY(!button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(requested.size(), 0);
}

void TestTopicsPage::newTopicsFromTheRequest_replaceTheRowsSafely()
{
    // The window may refresh the page while the clicked button's signal is
    // still being delivered.
    connect(m_page.get(), &TopicsPage::topicRequested, m_page.get(), [this] {
        m_page->setTopics({ThreeTopics[1], ThreeTopics[0]});
    });
    QTest::mouseClick(child<QPushButton>(QStringLiteral("topicButton2")), Qt::LeftButton);
    QCOMPARE(m_page->findChildren<QPushButton *>().size(), 2);
    QCOMPARE(child<QProgressBar>(QStringLiteral("topicProgress1"))->text(),
             QStringLiteral("12 из 31 верно"));
    QVERIFY(child<QPushButton>(QStringLiteral("topicButton1"))->isVisible());
    // The old rows leave no window of their own behind.
    for (const QWidget *window : QApplication::topLevelWidgets())
        QVERIFY(window == m_page.get() || !window->isVisible());
}

QTEST_MAIN(TestTopicsPage)
#include "tst_topicspage.moc"
