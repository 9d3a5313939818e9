// Every window of the program on a 1920 x 1080 screen (the offscreen
// platform's screen, set by CTest), at the scale CTest sets: 100 % and
// 200 %. None is larger than the screen's available area or reaches past
// it, and at 100 % none is larger than the size the automatic scale counts
// with.
#include "everywindow.h"
#include "interfacescale.h"

#include <QPushButton>
#include <QScreen>
#include <QTest>

class TestWindowsFit : public QObject
{
    Q_OBJECT
private slots:
    void everyWindow_fitsTheScreen();
};

void TestWindowsFit::everyWindow_fitsTheScreen()
{
    EveryWindow every;
    QVERIFY(every.started());
    const double factor = qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble();
    const QList<QWidget *> windows = every.windows();
    QVERIFY(windows.size() >= 9);
    for (QWidget *window : windows) {
        const QRect available = window->screen()->availableGeometry();
        QCOMPARE(available.size(), (QSizeF(1920, 1080) / factor).toSize());
        const QString name = window->objectName();
        const QRect frame = window->frameGeometry();
        QVERIFY2(available.contains(frame), qPrintable(QStringLiteral("%1: %2,%3 %4x%5 on %6x%7")
                                                           .arg(name)
                                                           .arg(frame.x())
                                                           .arg(frame.y())
                                                           .arg(frame.width())
                                                           .arg(frame.height())
                                                           .arg(available.width())
                                                           .arg(available.height())));
        if (factor == 1) {
            const QSize largest = InterfaceScale::LargestWindow;
            QVERIFY2(window->width() <= largest.width() && window->height() <= largest.height(),
                     qPrintable(QStringLiteral("%1: %2x%3")
                                    .arg(name)
                                    .arg(window->width())
                                    .arg(window->height())));
        }
        // Every button of the window lies inside it.
        for (const QPushButton *button : window->findChildren<QPushButton *>()) {
            if (!button->isVisibleTo(window) || button->window() != window)
                continue;
            const QRect inWindow(button->mapTo(window, QPoint(0, 0)), button->size());
            QVERIFY2(window->rect().contains(inWindow),
                     qPrintable(name + QLatin1Char(' ') + button->text()));
        }
    }
}

QTEST_MAIN(TestWindowsFit)
#include "tst_windowsfit.moc"
