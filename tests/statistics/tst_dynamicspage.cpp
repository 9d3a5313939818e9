// "Динамика", the statistics window's page over the answer history: after
// the four pages it always had, empty with its no-data labels without a
// history, and the per-day series of a seeded one.
#include "dailychart.h"
#include "dynamicspage.h"
#include "statisticswindow.h"

#include <QBarSeries>
#include <QBarSet>
#include <QLabel>
#include <QLineSeries>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimeZone>
#include <QToolButton>

class TestDynamicsPage : public QObject
{
    Q_OBJECT
private slots:
    void page_comesAfterTheFourExistingOnes();
    void noHistory_chartsEmptyWithNoDataLabels();
    void seededHistory_showsAnswersShareAndReadinessPerDay();
};

void TestDynamicsPage::page_comesAfterTheFourExistingOnes()
{
    StatisticsWindow window;
    auto *pages = window.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
    QCOMPARE(pages->count(), 5);
    const QStringList existing{"TabSheet1", "TabSheet5", "TabSheet6", "TabSheet4"};
    for (int i = 0; i < existing.size(); ++i)
        QCOMPARE(pages->widget(i)->objectName(), existing[i]);
    QCOMPARE(pages->tabText(4), QStringLiteral("Динамика"));
    QCOMPARE(pages->widget(4), window.dynamicsPage());

    // Its tab can be reached with the mouse: the row scrolls to it, and the
    // four tabs before it keep their places.
    window.show();
    QTabBar *tabs = pages->tabBar();
    const QList<QRect> before{tabs->tabRect(0), tabs->tabRect(1), tabs->tabRect(2)};
    auto *right = tabs->findChildren<QToolButton *>().constLast();
    while (tabs->tabRect(4).right() > tabs->width() && right->isEnabled())
        QTest::mouseClick(right, Qt::LeftButton);
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(4).center());
    QCOMPARE(pages->currentIndex(), 4);
    QVERIFY(window.dynamicsPage()->isVisible());
    QCOMPARE(before[0].size(), tabs->tabRect(0).size());
    QCOMPARE(before[2].size(), tabs->tabRect(2).size());
}

void TestDynamicsPage::noHistory_chartsEmptyWithNoDataLabels()
{
    StatisticsWindow window;
    window.show();
    DynamicsPage *page = window.dynamicsPage();
    for (DailyChart *chart : {page->answersChart(), page->shareChart(), page->readinessChart()}) {
        QVERIFY(!chart->hasData());
        QVERIFY(!chart->noDataLabel()->isHidden());
    }
}

void TestDynamicsPage::seededHistory_showsAnswersShareAndReadinessPerDay()
{
    // Noon UTC keeps every answer on its own calendar day in any zone the
    // test may run in.
    const QDateTime now(QDate(2026, 3, 10), QTime(12, 0), QTimeZone::utc());
    const auto at = [&](int daysAgo) { return now.addDays(-daysAgo).toMSecsSinceEpoch(); };
    const QList<AnswerOutcome> answers{
        {1, false, at(3)}, {2, true, at(3)},                   // first day: half right
        {3, true, at(0)},  {4, true, at(0)}, {5, true, at(0)}, // today: all right
    };
    StatisticsWindow window;
    DynamicsPage *page = window.dynamicsPage();
    page->setClock([&] { return now; });
    page->setAnswerSource([&] { return answers; });
    window.show();

    const QBarSet *counts = page->answersChart()->countSeries()->barSets().constFirst();
    QCOMPARE(counts->count(), 4);
    QCOMPARE((QList<qreal>{counts->at(0), counts->at(1), counts->at(2), counts->at(3)}),
             (QList<qreal>{2, 0, 0, 3}));
    QVERIFY(page->answersChart()->noDataLabel()->isHidden());

    // Days without answers leave a gap in the share's line.
    const QList<QLineSeries *> share = page->shareChart()->percentSeries();
    QCOMPARE(share.size(), 2);
    QCOMPARE(share[0]->points(), (QList<QPointF>{{0, 50}}));
    QCOMPARE(share[1]->points(), (QList<QPointF>{{3, 100}}));

    const QList<QLineSeries *> readiness = page->readinessChart()->percentSeries();
    QCOMPARE(readiness.size(), 1);
    QCOMPARE(readiness[0]->count(), 4);
    for (const QPointF &point : readiness[0]->points())
        QVERIFY(point.y() >= 0 && point.y() <= 100);
    // Three more questions answered right raise the readiness.
    QVERIFY(readiness[0]->at(3).y() > readiness[0]->at(0).y());
}

QTEST_MAIN(TestDynamicsPage)
#include "tst_dynamicspage.moc"
