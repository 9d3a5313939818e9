#include "barchart.h"
#include "chartseries.h"
#include "help.h"
#include "messageboxes.h"
#include "samplerecord.h"
#include "statisticswindow.h"
#include "statrecord.h"
#include "tabrows.h"
#include "ticketlistview.h"

#include <QAbstractBarSeries>
#include <QApplication>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGraphicsSimpleTextItem>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QValueAxis>

#include <functional>
#include <memory>
#include <tuple>

namespace {

using Setup = std::function<void(StatRecord &)>;

const QColor Red(255, 0, 0);
const QColor Green(0, 128, 0);
const QColor Blue(0, 0, 255);

void answer(StatRecord &record, int ticket, int correct, int wrong, int seconds,
            int mode = StatMode::Training)
{
    for (int i = 0; i < correct; ++i)
        record.addCorrect(ticket, i % 20 + 1, mode);
    for (int i = 0; i < wrong; ++i)
        record.addWrong(ticket, i % 20 + 1, mode);
    for (int i = 0; i < seconds; ++i)
        record.addSecond(ticket, i % 20 + 1, mode);
}

QPoint textCentre(QListWidget *list, int row)
{
    return static_cast<TicketListView *>(list)->textRect(list->model()->index(row, 0)).center();
}

enum Page
{
    RatingPage = 0,
    TimePage = 1,
    AnswersPage = 2,
    QuestionPage = 3
};

} // namespace

Q_DECLARE_METATYPE(Setup)

class TestStatisticsWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void rating_barsAndColours_data();
    void rating_barsAndColours();
    void questionAnswers_drawnGreenAndRedUnderSeriesColours();
    void noDataLabels_followLargestValues_data();
    void noDataLabels_followLargestValues();
    void filter_sumsItsModes_data();
    void filter_sumsItsModes();
    void barPress_opensQuestionPageForTicket_data();
    void barPress_opensQuestionPageForTicket();
    void barPress_showsValueMessage_data();
    void barPress_showsValueMessage();
    void bars_showHandPointer();
    void valueAxis_holdsNegativeBars();
    void reopening_keepsFilterAndShowsRatingWithTicketOne();
    void firstOpening_questionChartsFollowTicketOne();
    void noSelection_filterChangeLeavesQuestionCharts();
    void ticketList_hotTracksEntryText();
    void ownMessageBox_doesNotRepeatActivation();
    void helpButton_opensStatTopic();
    void okAndEnter_closeWithAccept();

private:
    void open();
    void clickTab(int page);
    void pressBar(const QString &chart, const QString &series, int index,
                  Qt::MouseButton button = Qt::LeftButton);
    QPoint barCentre(BarChart *chart, ChartSeries *series, int index) const;
    ChartSeries *series(const QString &name) const;
    template <typename T> T *child(const QString &name) const
    {
        T *found = m_form->findChild<T *>(name);
        if (!found)
            qFatal("no child %s", qPrintable(name));
        return found;
    }
    QList<double> values(const QString &seriesName) const;

    std::unique_ptr<StatisticsWindow> m_form;
};

void TestStatisticsWindow::init()
{
    globalStatRecord().reset();
    MessageBoxes::clearShown();
    MessageBoxes::setNextAnswers({});
    Help::clearRequests();
    m_form = std::make_unique<StatisticsWindow>();
}

void TestStatisticsWindow::cleanup()
{
    m_form.reset();
}

void TestStatisticsWindow::open()
{
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

void TestStatisticsWindow::clickTab(int page)
{
    auto *tabs = child<TabRows>(QStringLiteral("pageTabs"));
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(page).center());
    QCOMPARE(child<QTabWidget>(QStringLiteral("PageControl1"))->currentIndex(), page);
}

ChartSeries *TestStatisticsWindow::series(const QString &name) const
{
    return child<ChartSeries>(name);
}

QList<double> TestStatisticsWindow::values(const QString &seriesName) const
{
    const ChartSeries *s = series(seriesName);
    QList<double> result;
    for (int i = 0; i < s->count(); ++i)
        result.append(s->value(i));
    return result;
}

// Where bar `index` of `series` is drawn, in the chart view's viewport. Bars
// of several series share a category: series s of n takes the s-th part of
// the bar width, as Qt Charts lays them out.
QPoint TestStatisticsWindow::barCentre(BarChart *chart, ChartSeries *s, int index) const
{
    const QList<ChartSeries *> &all = chart->series();
    const int n = int(all.size());
    const int slot = int(all.indexOf(s));
    const double width = chart->barSeries()->barWidth();
    const double x = n == 1 ? index : index - width / 2 + (slot + 0.5) * width / n;
    const QPointF inChart =
        chart->chart()->mapToPosition(QPointF(x, s->value(index) / 2), chart->barSeries());
    return chart->view()->mapFromScene(chart->chart()->mapToScene(inChart));
}

void TestStatisticsWindow::pressBar(const QString &chartName, const QString &seriesName, int index,
                                    Qt::MouseButton button)
{
    auto *chart = child<BarChart>(chartName);
    ChartSeries *s = series(seriesName);
    QVERIFY2(s->value(index) > 0, "a bar of height 0 cannot be hit");
    QVERIFY(chart->isVisible());
    const QPoint at = barCentre(chart, s, index);
    QTest::mousePress(chart->view()->viewport(), button, {}, at);
    QTest::mouseRelease(chart->view()->viewport(), button, {}, at);
}

void TestStatisticsWindow::rating_barsAndColours_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<bool>("bars");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("red");

    QTest::newRow("all zero") << Setup([](StatRecord &) {}) << false << 0 << 0;
    QTest::newRow("answers without seconds")
        << Setup([](StatRecord &r) { answer(r, 4, 12, 1, 0); }) << false << 0 << 0;
    QTest::newRow("one positive ticket: green, no red")
        << Setup([](StatRecord &r) { answer(r, 7, 10, 2, 16); }) << true << 7 << 0;
    QTest::newRow("tie for best") << Setup([](StatRecord &r) {
        answer(r, 9, 4, 0, 4);
        answer(r, 3, 6, 2, 4);
        answer(r, 12, 2, 0, 4);
    }) << true << 3 << 12;
    QTest::newRow("tie for worst") << Setup([](StatRecord &r) {
        answer(r, 10, 8, 0, 8);
        answer(r, 6, 3, 1, 8);
        answer(r, 4, 2, 0, 8);
    }) << true << 10 << 4;
    QTest::newRow("more wrong than correct") << Setup([](StatRecord &r) {
        answer(r, 8, 3, 9, 10);
        answer(r, 9, 5, 0, 10);
        answer(r, 11, 20, 0, 10);
    }) << true << 11 << 9;
    QTest::newRow("rating of 9999 or more") << Setup([](StatRecord &r) {
        for (int q = 1; q <= 20; ++q) {
            QuestionStats stats;
            stats.correct = {255, 255, 0};
            r.setQuestionStats(2, q, stats);
        }
        r.addSecond(2, 1, StatMode::Learning);
        answer(r, 5, 3, 0, 3);
        answer(r, 6, 0, 0, 3);
    }) << true << 2 << 5;
}

void TestStatisticsWindow::rating_barsAndColours()
{
    QFETCH(Setup, setup);
    QFETCH(bool, bars);
    QFETCH(int, green);
    QFETCH(int, red);

    setup(globalStatRecord());
    open();

    const ChartSeries *rating = series(QStringLiteral("BarSeries2"));
    QCOMPARE(child<QLabel>(QStringLiteral("Label6"))->isVisible(), !bars);
    if (!bars) {
        QCOMPARE(rating->count(), 0);
        return;
    }
    QCOMPARE(rating->count(), 40);
    const TicketRatings ratings = computeTicketRatings(globalStatRecord(), ModeFilter::All);
    for (int i = 0; i < 40; ++i) {
        const int ticket = i + 1;
        QCOMPARE(rating->label(i), QString::number(ticket));
        const QColor expected = ticket == green ? Green : ticket == red ? Red : Blue;
        QCOMPARE(rating->barColour(i), expected);
        QCOMPARE(rating->value(i), ratings.percentOfBest(ticket));
    }
    QCOMPARE(rating->value(green - 1), 100.0);

    // Drawn: each bar in the bar set of its own colour, 0 in the others.
    const QList<QBarSet *> sets = child<BarChart>(QStringLiteral("Chart4"))->barSeries()->barSets();
    for (QBarSet *set : sets) {
        for (int i = 0; i < 40; ++i) {
            const double drawn = rating->barColour(i) == set->color() ? rating->value(i) : 0.0;
            QCOMPARE(set->at(i), drawn);
        }
    }
}

void TestStatisticsWindow::questionAnswers_drawnGreenAndRedUnderSeriesColours()
{
    globalStatRecord().addCorrect(1, 2, StatMode::Exam);
    globalStatRecord().addWrong(1, 3, StatMode::Exam);
    open();

    const QList<QBarSet *> sets = child<BarChart>(QStringLiteral("Chart1"))->barSeries()->barSets();
    QCOMPARE(sets.size(), 2);
    // Left of each pair: the correct answers, legend "Неправильно" in red,
    // every bar drawn green.
    QCOMPARE(sets[0]->label(), QStringLiteral("Неправильно"));
    QCOMPARE(sets[0]->color(), Red);
    QCOMPARE(sets[0]->selectedColor(), Green);
    QCOMPARE(sets[0]->selectedBars().size(), 20);
    QCOMPARE(sets[0]->at(1), 1.0);
    QCOMPARE(sets[1]->label(), QStringLiteral("Правильно"));
    QCOMPARE(sets[1]->color(), Green);
    QCOMPARE(sets[1]->selectedColor(), Red);
    QCOMPARE(sets[1]->selectedBars().size(), 20);
    QCOMPARE(sets[1]->at(2), 1.0);

    // The legend shows each title in its series colour.
    QHash<QString, QColor> legend;
    for (QGraphicsItem *item : child<BarChart>(QStringLiteral("Chart1"))->chart()->childItems()) {
        if (auto *text = dynamic_cast<QGraphicsSimpleTextItem *>(item); text && text->isVisible())
            legend.insert(text->text(), text->brush().color());
    }
    QCOMPARE(legend.value(QStringLiteral("Неправильно")), Red);
    QCOMPARE(legend.value(QStringLiteral("Правильно")), Green);
}

void TestStatisticsWindow::noDataLabels_followLargestValues_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QStringList>("visible");

    const QStringList all{"Label6", "Label7", "Label8", "Label9", "Label12"};
    QTest::newRow("all zero") << Setup([](StatRecord &) {}) << all;
    QTest::newRow("answers without seconds") << Setup([](StatRecord &r) { answer(r, 1, 3, 2, 0); })
                                             << QStringList{"Label6", "Label7", "Label9"};
    QTest::newRow("seconds without answers") << Setup([](StatRecord &r) { answer(r, 1, 0, 0, 5); })
                                             << QStringList{"Label6", "Label8", "Label12"};
    QTest::newRow("only wrong answers")
        << Setup([](StatRecord &r) { answer(r, 1, 0, 4, 5); }) << QStringList{"Label6"};
    QTest::newRow("another ticket than ticket 1")
        << Setup([](StatRecord &r) { answer(r, 2, 4, 0, 5); }) << QStringList{"Label9", "Label12"};
}

void TestStatisticsWindow::noDataLabels_followLargestValues()
{
    QFETCH(Setup, setup);
    QFETCH(QStringList, visible);

    setup(globalStatRecord());
    open();
    for (const QString name : {"Label6", "Label7", "Label8", "Label9", "Label12"}) {
        auto *label = child<QLabel>(name);
        QVERIFY2(label->isHidden() != visible.contains(name), qPrintable(name));
    }
    // Empty data still gives bars of height 0.
    QCOMPARE(series(QStringLiteral("Series1"))->count(), 40);
    QCOMPARE(series(QStringLiteral("BarSeries4"))->count(), 20);
}

void TestStatisticsWindow::filter_sumsItsModes_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("correct");
    QTest::addColumn<int>("wrong");
    QTest::addColumn<int>("seconds");

    QTest::newRow("Общая") << "rb1" << 111 << 222 << 333;
    // Preparation attempts count under the learning index.
    QTest::newRow("Обучение") << "rb2" << 1 << 2 << 3;
    QTest::newRow("Тренировка") << "rb3" << 10 << 20 << 30;
    QTest::newRow("Экзамен") << "rb4" << 100 << 200 << 300;
}

void TestStatisticsWindow::filter_sumsItsModes()
{
    QFETCH(QString, button);
    QFETCH(int, correct);
    QFETCH(int, wrong);
    QFETCH(int, seconds);

    QuestionStats stats;
    stats.correct = {1, 10, 100};
    stats.wrong = {2, 20, 200};
    stats.seconds = {3, 30, 300};
    globalStatRecord().setQuestionStats(1, 5, stats);
    globalStatRecord().setQuestionStats(1, 6, stats);
    globalStatRecord().setQuestionStats(3, 5, stats);
    open();
    // Start from another filter so that every row really changes it.
    QTest::mouseClick(child<QRadioButton>(button == "rb4" ? "rb3" : "rb4"), Qt::LeftButton);
    QTest::mouseClick(child<QRadioButton>(button), Qt::LeftButton);
    QVERIFY(child<QRadioButton>(button)->isChecked());

    QCOMPARE(series(QStringLiteral("Series1"))->value(0), 2.0 * seconds);
    QCOMPARE(series(QStringLiteral("Series2"))->value(0), 2.0 * correct);
    QCOMPARE(series(QStringLiteral("BarSeries1"))->value(0), 2.0 * wrong);
    QCOMPARE(series(QStringLiteral("Series1"))->value(2), 1.0 * seconds);
    QCOMPARE(series(QStringLiteral("Series1"))->value(1), 0.0);
    QCOMPARE(series(QStringLiteral("BarSeries4"))->value(4), 1.0 * seconds);
    QCOMPARE(series(QStringLiteral("BarSeries3"))->value(5), 1.0 * correct);
    QCOMPARE(series(QStringLiteral("BarSeries7"))->value(5), 1.0 * wrong);
    QCOMPARE(series(QStringLiteral("BarSeries4"))->value(6), 0.0);
}

void TestStatisticsWindow::barPress_opensQuestionPageForTicket_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("chart");
    QTest::addColumn<QString>("series");
    QTest::addColumn<int>("index");
    QTest::addColumn<Qt::MouseButton>("button");

    QTest::newRow("rating") << int(RatingPage) << "Chart4"
                            << "BarSeries2" << 11 << Qt::LeftButton;
    QTest::newRow("rating, best ticket") << int(RatingPage) << "Chart4"
                                         << "BarSeries2" << 20 << Qt::LeftButton;
    QTest::newRow("seconds") << int(TimePage) << "Chart2"
                             << "Series1" << 4 << Qt::LeftButton;
    QTest::newRow("seconds, right button") << int(TimePage) << "Chart2"
                                           << "Series1" << 4 << Qt::RightButton;
    QTest::newRow("seconds, middle button") << int(TimePage) << "Chart2"
                                            << "Series1" << 39 << Qt::MiddleButton;
    QTest::newRow("wrong answers") << int(AnswersPage) << "Chart3"
                                   << "BarSeries1" << 20 << Qt::LeftButton;
    QTest::newRow("correct answers, same ticket") << int(AnswersPage) << "Chart3"
                                                  << "Series2" << 20 << Qt::LeftButton;
}

void TestStatisticsWindow::barPress_opensQuestionPageForTicket()
{
    QFETCH(int, page);
    QFETCH(QString, chart);
    QFETCH(QString, series);
    QFETCH(int, index);
    QFETCH(Qt::MouseButton, button);

    answer(globalStatRecord(), 12, 5, 1, 20);
    answer(globalStatRecord(), 21, 9, 2, 7);
    answer(globalStatRecord(), 5, 2, 2, 30);
    answer(globalStatRecord(), 40, 3, 0, 30);
    open();
    clickTab(page);

    pressBar(chart, series, index, button);

    QCOMPARE(child<QTabWidget>(QStringLiteral("PageControl1"))->currentIndex(), int(QuestionPage));
    auto *list = child<QListWidget>(QStringLiteral("ListView3"));
    QCOMPARE(list->selectedItems().size(), 1);
    QCOMPARE(list->row(list->selectedItems().first()), index);
    QVERIFY(list->visualItemRect(list->item(index)).intersects(list->viewport()->rect()));
    QList<double> seconds;
    for (int q = 1; q <= 20; ++q)
        seconds.append(globalStatRecord().questionStats(index + 1, q).secondsTotal());
    QCOMPARE(values(QStringLiteral("BarSeries4")), seconds);
}

void TestStatisticsWindow::barPress_showsValueMessage_data()
{
    QTest::addColumn<QString>("chart");
    QTest::addColumn<QString>("series");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");

    QTest::newRow("seconds") << "Chart5"
                             << "BarSeries4" << 6 << "ВРЕМЯ"
                             << "На решение вопроса №7 затрачено 1234567 сек.";
    QTest::newRow("correct answers, green")
        << "Chart1"
        << "BarSeries3" << 6 << "Правильные ответы"
        << "При решении вопроса №7 получено 200 правильных ответов.";
    QTest::newRow("wrong answers, red") << "Chart1"
                                        << "BarSeries7" << 19 << "Неправильные ответы"
                                        << "При решении вопроса №20 сделано 3 ошибок.";
}

void TestStatisticsWindow::barPress_showsValueMessage()
{
    QFETCH(QString, chart);
    QFETCH(QString, series);
    QFETCH(int, index);
    QFETCH(QString, caption);
    QFETCH(QString, text);

    QuestionStats seventh;
    seventh.correct = {200, 0, 0};
    seventh.seconds = {1234567, 0, 0};
    globalStatRecord().setQuestionStats(1, 7, seventh);
    globalStatRecord().addWrong(1, 20, StatMode::Learning);
    globalStatRecord().addWrong(1, 20, StatMode::Training);
    globalStatRecord().addWrong(1, 20, StatMode::Exam);
    globalStatRecord().addCorrect(1, 20, StatMode::Exam);
    open();
    clickTab(QuestionPage);

    MessageBoxes::setNextAnswer(QMessageBox::Ok);
    pressBar(chart, series, index);

    QCOMPARE(MessageBoxes::shown().size(), 1);
    const MessageBoxes::Shown &box = MessageBoxes::shown().first();
    QCOMPARE(box.owner.data(), m_form.get());
    QCOMPARE(box.icon, QMessageBox::Information);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box.caption, caption);
    QCOMPARE(box.text, text);
}

void TestStatisticsWindow::bars_showHandPointer()
{
    answer(globalStatRecord(), 3, 2, 0, 40);
    open();
    clickTab(TimePage);
    auto *chart = child<BarChart>(QStringLiteral("Chart2"));
    QWidget *viewport = chart->view()->viewport();

    QTest::mouseMove(viewport, barCentre(chart, series(QStringLiteral("Series1")), 2));
    QTRY_COMPARE(viewport->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(viewport, QPoint(5, 5));
    QTRY_COMPARE(viewport->cursor().shape(), Qt::ArrowCursor);
}

// Negative seconds only come from a damaged progress file; the automatic
// value axis still has to reach down to them.
void TestStatisticsWindow::valueAxis_holdsNegativeBars()
{
    QuestionStats damaged;
    damaged.seconds = {-700, 0, 0};
    globalStatRecord().setQuestionStats(1, 3, damaged);
    answer(globalStatRecord(), 2, 1, 0, 40);
    open();

    for (const auto &[chart, low, high] :
         {std::tuple{"Chart2", -700.0, 40.0}, std::tuple{"Chart5", -700.0, 0.0}}) {
        const QList<QAbstractAxis *> axes = child<BarChart>(chart)->chart()->axes(Qt::Vertical);
        QCOMPARE(axes.size(), 1);
        const auto *axis = static_cast<QValueAxis *>(axes.first());
        QVERIFY2(axis->min() <= low && axis->max() >= high, chart);
        QVERIFY2(axis->max() - axis->min() < 4 * (high - low), chart);
    }
}

void TestStatisticsWindow::reopening_keepsFilterAndShowsRatingWithTicketOne()
{
    fillSampleRecord(globalStatRecord());
    open();
    QTest::mouseClick(child<QRadioButton>(QStringLiteral("rb3")), Qt::LeftButton);
    clickTab(QuestionPage);
    auto *list = child<QListWidget>(QStringLiteral("ListView3"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, textCentre(list, 4));
    QCOMPARE(list->currentRow(), 4);
    clickTab(AnswersPage);
    QTest::mouseClick(child<QPushButton>(QStringLiteral("BitBtn1")), Qt::LeftButton);
    QVERIFY(!m_form->isVisible());
    QCOMPARE(m_form->result(), int(QDialog::Accepted));

    open();
    QVERIFY(child<QRadioButton>(QStringLiteral("rb3"))->isChecked());
    QCOMPARE(m_form->modeFilter(), ModeFilter::Training);
    QCOMPARE(child<QTabWidget>(QStringLiteral("PageControl1"))->currentIndex(), int(RatingPage));
    QCOMPARE(list->selectedItems().size(), 1);
    QCOMPARE(list->row(list->selectedItems().first()), 0);
    QList<double> seconds;
    for (int q = 1; q <= 20; ++q)
        seconds.append(globalStatRecord().questionStats(1, q).seconds[StatMode::Training]);
    QCOMPARE(values(QStringLiteral("BarSeries4")), seconds);
}

void TestStatisticsWindow::firstOpening_questionChartsFollowTicketOne()
{
    answer(globalStatRecord(), 1, 3, 1, 9);
    // Before the first opening nothing is selected and nothing is shown.
    QCOMPARE(series(QStringLiteral("BarSeries4"))->count(), 0);
    QVERIFY(!child<QLabel>(QStringLiteral("Label12"))->isHidden());

    open();
    QCOMPARE(child<QListWidget>(QStringLiteral("ListView3"))->currentRow(), 0);
    QCOMPARE(series(QStringLiteral("BarSeries4"))->count(), 20);
    QCOMPARE(series(QStringLiteral("BarSeries3"))->value(0), 1.0);
    QCOMPARE(series(QStringLiteral("BarSeries7"))->value(0), 1.0);
    QVERIFY(child<QLabel>(QStringLiteral("Label12"))->isHidden());
    QCOMPARE(child<QTabWidget>(QStringLiteral("PageControl1"))->currentIndex(), int(RatingPage));
}

void TestStatisticsWindow::noSelection_filterChangeLeavesQuestionCharts()
{
    answer(globalStatRecord(), 1, 4, 1, 10, StatMode::Learning);
    answer(globalStatRecord(), 1, 2, 2, 60, StatMode::Exam);
    open();
    clickTab(QuestionPage);
    auto *list = child<QListWidget>(QStringLiteral("ListView3"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      QPoint(list->viewport()->width() - 3, textCentre(list, 0).y()));
    QVERIFY(list->selectedItems().isEmpty());

    const QList<double> shown = values(QStringLiteral("BarSeries4"));
    QTest::mouseClick(child<QRadioButton>(QStringLiteral("rb2")), Qt::LeftButton);
    QCOMPARE(values(QStringLiteral("BarSeries4")), shown);
    QCOMPARE(series(QStringLiteral("Series1"))->value(0), 10.0);

    // Choosing the ticket again brings the charts up to the filter.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, textCentre(list, 0));
    QCOMPARE(series(QStringLiteral("BarSeries4"))->value(0), 1.0);
}

void TestStatisticsWindow::ticketList_hotTracksEntryText()
{
    open();
    clickTab(QuestionPage);
    auto *list = static_cast<TicketListView *>(child<QListWidget>(QStringLiteral("ListView3")));
    QWidget *viewport = list->viewport();

    QTest::mouseMove(viewport, textCentre(list, 3));
    QTRY_COMPARE(list->hotIndex().row(), 3);
    QCOMPARE(viewport->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(viewport, QPoint(viewport->width() - 3, textCentre(list, 3).y()));
    QTRY_VERIFY(!list->hotIndex().isValid());
    QCOMPARE(viewport->cursor().shape(), Qt::ArrowCursor);
}

void TestStatisticsWindow::ownMessageBox_doesNotRepeatActivation()
{
    answer(globalStatRecord(), 3, 2, 1, 20);
    open();
    clickTab(TimePage);
    pressBar(QStringLiteral("Chart2"), QStringLiteral("Series1"), 2);
    QCOMPARE(child<QTabWidget>(QStringLiteral("PageControl1"))->currentIndex(), int(QuestionPage));

    // A real box this time, answered as the user would.
    QTimer::singleShot(0, this, [] {
        QTRY_VERIFY(QApplication::activeModalWidget());
        QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return);
    });
    pressBar(QStringLiteral("Chart5"), QStringLiteral("BarSeries4"), 0);
    QCOMPARE(MessageBoxes::shown().size(), 1);
    // The offscreen platform has no window manager to hand the focus back.
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));

    QCOMPARE(child<QTabWidget>(QStringLiteral("PageControl1"))->currentIndex(), int(QuestionPage));
    QCOMPARE(child<QListWidget>(QStringLiteral("ListView3"))->currentRow(), 2);
}

void TestStatisticsWindow::helpButton_opensStatTopic()
{
    open();
    QTest::mouseClick(child<QToolButton>(QStringLiteral("SpeedButton1")), Qt::LeftButton);
    QCOMPARE(Help::requests().size(), 1);
    QCOMPARE(Help::requests().first().topic, QStringLiteral("stat"));
}

void TestStatisticsWindow::okAndEnter_closeWithAccept()
{
    QTimer::singleShot(0, this, [this] {
        QTRY_VERIFY(m_form->isActiveWindow());
        QTest::mouseClick(child<QPushButton>(QStringLiteral("BitBtn1")), Qt::LeftButton);
    });
    QCOMPARE(m_form->exec(), int(QDialog::Accepted));

    QTimer::singleShot(0, this, [this] {
        QTRY_VERIFY(m_form->isActiveWindow());
        QWidget *focus = QApplication::focusWidget() ? QApplication::focusWidget() : m_form.get();
        QTest::keyClick(focus, Qt::Key_Return);
    });
    QCOMPARE(m_form->exec(), int(QDialog::Accepted));
    QVERIFY(!m_form->isVisible());
}

QTEST_MAIN(TestStatisticsWindow)
#include "tst_statisticswindow.moc"
