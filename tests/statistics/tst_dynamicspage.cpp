// "Динамика", the statistics window's page over the answer history: after
// the four pages it always had, empty with its no-data labels without a
// history, and the per-day series of a seeded one.
#include "dailychart.h"
#include "dynamicspage.h"
#include "statisticswindow.h"
#include "tabrows.h"

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
    void page_comesAfterTheFourExistingOnes_everyTabWholeAndInSight();
    void noHistory_chartsEmptyWithNoDataLabels();
    void seededHistory_showsAnswersShareAndReadinessPerDay();
};

void TestDynamicsPage::page_comesAfterTheFourExistingOnes_everyTabWholeAndInSight()
{
    StatisticsWindow window;
    auto *pages = window.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
    QCOMPARE(pages->count(), 5);
    const QStringList existing{"TabSheet1", "TabSheet5", "TabSheet6", "TabSheet4"};
    for (int i = 0; i < existing.size(); ++i)
        QCOMPARE(pages->widget(i)->objectName(), existing[i]);
    QCOMPARE(pages->tabText(4), QStringLiteral("Динамика"));
    QCOMPARE(pages->widget(4), window.dynamicsPage());

    // Every tab is whole and in sight, at whatever scale the test runs: no
    // caption is cut and none hides behind scroll arrows.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!pages->tabBar()->isVisible());
    auto *tabs = window.findChild<TabRows *>(QStringLiteral("pageTabs"));
    QVERIFY(tabs && tabs->isVisible());
    QVERIFY(tabs->findChildren<QToolButton *>().isEmpty());
    for (int i = 0; i < pages->count(); ++i) {
        const QRect rect = tabs->tabRect(i);
        QVERIFY2(tabs->rect().contains(rect), qPrintable(pages->tabText(i)));
        QVERIFY2(rect.width() >= tabs->neededWidth(i), qPrintable(pages->tabText(i)));
        for (int j = 0; j < i; ++j)
            QVERIFY(!rect.intersects(tabs->tabRect(j)));
    }
    // The pages keep their design height under the tabs: the explanation
    // under each chart is not cut, and nothing below the pages is covered.
    for (const char *name : {"Label3", "Label4", "Label5", "Label11"}) {
        auto *label = window.findChild<QLabel *>(QString::fromLatin1(name));
        QVERIFY2(label->geometry().bottom() < label->parentWidget()->height(), name);
    }
    const QRect pagesArea = pages->geometry();
    for (const char *name : {"Label2", "rb1", "BitBtn1"}) {
        auto *below = window.findChild<QWidget *>(QString::fromLatin1(name));
        QVERIFY2(below->geometry().top() >= pagesArea.bottom(), name);
        QVERIFY2(window.rect().contains(below->geometry()), name);
    }

    // One click on its tab opens the page; the arrow keys walk the tabs.
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(4).center());
    QCOMPARE(pages->currentIndex(), 4);
    QVERIFY(window.dynamicsPage()->isVisible());
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
    QCOMPARE(pages->currentIndex(), 0);
    tabs->setFocus();
    QTest::keyClick(tabs, Qt::Key_Right);
    QCOMPARE(pages->currentIndex(), 1);
    QTest::keyClick(tabs, Qt::Key_Left);
    QCOMPARE(pages->currentIndex(), 0);
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
