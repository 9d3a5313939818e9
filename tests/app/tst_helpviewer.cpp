#include "helpviewer.h"
#include "statisticswindow.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>

// The help window opened from a modal window: it must take clicks and keys
// while the modal window waits for it, and closing it leads back there.
// Input goes in through the window system, as a user's does: QTest's widget
// overloads deliver straight to the widget and would pass a blocked window.
void clickThroughWindow(QWidget *widget)
{
    QWidget *window = widget->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      widget->mapTo(window, widget->rect().center()));
}

class TestHelpViewer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { HelpViewer::install(); }
    void fromModalStatisticsWindow_isFollowedScrolledAndClosed();
};

void TestHelpViewer::fromModalStatisticsWindow_isFollowedScrolledAndClosed()
{
    StatisticsWindow statistics;
    QUrl opened, home, back;
    int scrolledTo = -1;
    bool modalAfterClose = false;
    QTimer::singleShot(0, this, [&] {
        // The real "?" button of the modal statistics window.
        QTest::mouseClick(statistics.findChild<QToolButton *>(QStringLiteral("SpeedButton1")),
                          Qt::LeftButton);
        HelpViewer *help = HelpViewer::instance();
        if (help && help->isVisible()) {
            QTextBrowser *browser = help->browser();
            opened = browser->source();
            clickThroughWindow(help->findChild<QToolButton *>(QStringLiteral("HomeButton")));
            home = browser->source();
            clickThroughWindow(help->findChild<QToolButton *>(QStringLiteral("BackButton")));
            back = browser->source();
            help->resize(300, 120); // short enough for the page to scroll
            QApplication::processEvents();
            browser->setFocus();
            QTest::keyClick(help->windowHandle(), Qt::Key_PageDown);
            scrolledTo = browser->verticalScrollBar()->value();
            help->close();
        }
        modalAfterClose = QApplication::activeModalWidget() == &statistics;
        statistics.reject();
    });
    statistics.exec();

    QCOMPARE(opened.fileName(), QStringLiteral("stat.html"));
    QCOMPARE(home.fileName(), QStringLiteral("glavn.html"));
    QCOMPARE(back.fileName(), QStringLiteral("stat.html"));
    QVERIFY(scrolledTo > 0);
    QVERIFY(modalAfterClose);
}

QTEST_MAIN(TestHelpViewer)
#include "tst_helpviewer.moc"
