// The exam window's and the result dialog's controls, geometry, resize rules
// and small conveniences, and the duration text.
#include "designfonts.h"
#include "examtestbench.h"
#include "help.h"
#include "picturebox.h"
#include "piechartview.h"
#include "timetext.h"

#include <QApplication>
#include <QChartView>
#include <QScrollArea>
#include <QTest>
#include <QToolButton>

#include <cmath>

#ifdef __GLIBC__
#include <malloc.h>
#endif

class ExamWindowLayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { DesignFonts::installSubstitutions(); }

    void controls_atDesignSize_haveDesignNamesAndGeometry_data();
    void controls_atDesignSize_haveDesignNamesAndGeometry();
    void window_beforeFirstAttempt_isSetUpAsDesigned();
    void fontBands_byOuterWidth_data();
    void fontBands_byOuterWidth();
    void questionArea_onResize_followsPictureShare_data();
    void questionArea_onResize_followsPictureShare();
    void chartAndSecondsLabel_clickedTwice_restoreTheLabelAndKeepTheKeys();
    void helpButton_click_opensTopicTest();
    void pieChart_createdAndDestroyed_leavesNoChartBehind();
    void resultDialog_isSetUpAsDesigned();
    void longTimeText_byLocale_data();
    void longTimeText_byLocale();
};

void ExamWindowLayoutTest::controls_atDesignSize_haveDesignNamesAndGeometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("Label6") << "Label6" << QRect(15, 0, 90, 29);
    QTest::newRow("Label5") << "Label5" << QRect(480, 2, 201, 24);
    QTest::newRow("SpeedButton1") << "SpeedButton1" << QRect(696, 8, 17, 17);
    QTest::newRow("ListView1") << "ListView1" << QRect(8, 32, 97, 361);
    QTest::newRow("ScrollBox1") << "ScrollBox1" << QRect(112, 32, 605, 413);
    QTest::newRow("BitBtn7") << "BitBtn7" << QRect(8, 408, 97, 25);
    for (int n = 1; n <= 5; ++n)
        QTest::addRow("BitBtn%d", n)
            << QStringLiteral("BitBtn%1").arg(n) << QRect(24 + 80 * (n - 1), 368, 75, 25);
    QTest::newRow("Chart1") << "Chart1" << QRect(520, 336, 65, 58);
    QTest::newRow("Label7") << "Label7" << QRect(10, 16, 45, 24);
    // Moved by the resize rules from their design places.
    QTest::newRow("Image1") << "Image1" << QRect(8, 8, 353, 137);
    QTest::newRow("Label3") << "Label3" << QRect(8, 150, 577, 82);
    QTest::newRow("Label4") << "Label4" << QRect(8, 232, 577, 119);
}

void ExamWindowLayoutTest::controls_atDesignSize_haveDesignNamesAndGeometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    ExamTestBench bench;
    bench.start(0, 1);
    QCOMPARE(bench.form.size(), ExamWindow::DesignClientSize);
    auto *control = bench.form.findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), rect);
}

void ExamWindowLayoutTest::window_beforeFirstAttempt_isSetUpAsDesigned()
{
    ExamTestBench bench;
    ExamWindow &form = bench.form;
    QCOMPARE(form.metaObject()->className(), "ExamWindow");
    QCOMPARE(form.objectName(), QStringLiteral("Form1"));
    QCOMPARE(form.minimumSize(), QSize(730, 490));
    QVERIFY(!(form.windowFlags() & Qt::WindowMinimizeButtonHint));
    // Nothing ticks before an attempt starts.
    for (const char *name : {"Timer1", "SpTimer"})
        QVERIFY(!form.findChild<QTimer *>(QString::fromLatin1(name))->isActive());
}

void ExamWindowLayoutTest::fontBands_byOuterWidth_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("question");
    QTest::addColumn<int>("variants");
    QTest::newRow("minimum") << 0 << 10 << 8;
    QTest::newRow("800") << 800 << 10 << 8;
    QTest::newRow("801") << 801 << 12 << 10;
    QTest::newRow("901") << 901 << 14 << 12;
    QTest::newRow("1000") << 1000 << 14 << 12;
    QTest::newRow("1001") << 1001 << 16 << 14;
    QTest::newRow("1200") << 1200 << 18 << 16;
    QTest::newRow("2000") << 2000 << 20 << 18;
    // Wider than the last band keeps what the previous size (1001) set.
    QTest::newRow("2001 unchanged") << 2001 << 16 << 14;
}

void ExamWindowLayoutTest::fontBands_byOuterWidth()
{
    QFETCH(int, width);
    QFETCH(int, question);
    QFETCH(int, variants);
    ExamTestBench bench;
    bench.start(0, 1);
    // The bands go by the outer width, frame included.
    const int frame = bench.form.frameGeometry().width() - bench.form.width();
    bench.form.resize(1001 - frame, 600);
    bench.form.resize(width - frame, 600);
    if (width > 0)
        QCOMPARE(bench.form.frameGeometry().width(), width);
    else
        QCOMPARE(bench.form.width(), 730);
    QCOMPARE(bench.label("Label2")->font().pixelSize(), DesignFonts::pixelsForPoints(question));
    QVERIFY(bench.label("Label2")->font().bold());
    QCOMPARE(bench.label("Label3")->font().pixelSize(), DesignFonts::pixelsForPoints(variants));
    QCOMPARE(bench.label("Label4")->font().pixelSize(), DesignFonts::pixelsForPoints(variants));
}

void ExamWindowLayoutTest::questionArea_onResize_followsPictureShare_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("picture");
    QTest::addColumn<QSize>("size");
    // Synthetic question 3 carries a picture, question 1 does not.
    QTest::newRow("picture, design size") << 3 << true << QSize(730, 490);
    QTest::newRow("picture, 1013x777") << 3 << true << QSize(1013, 777);
    QTest::newRow("no picture, design size") << 1 << false << QSize(730, 490);
    QTest::newRow("no picture, 1013x777") << 1 << false << QSize(1013, 777);
}

void ExamWindowLayoutTest::questionArea_onResize_followsPictureShare()
{
    QFETCH(int, position);
    QFETCH(bool, picture);
    QFETCH(QSize, size);
    ExamTestBench bench;
    bench.start(0, 1);
    bench.selectPosition(position);
    bench.form.resize(size);

    auto *box = bench.form.findChild<QScrollArea *>(QStringLiteral("ScrollBox1"));
    auto *image = bench.form.findChild<PictureBox *>(QStringLiteral("Image1"));
    auto *chart = bench.form.findChild<QChartView *>(QStringLiteral("Chart1"));
    QLabel *question = bench.label("Label2");
    QLabel *variants = bench.label("Label3");
    QLabel *comment = bench.label("Label4");
    QCOMPARE(box->size(), size - QSize(125, 77));
    QCOMPARE(image->isVisible(), picture);
    QCOMPARE(image->width(), int(std::nearbyint(box->width() * 0.5834)));
    QCOMPARE(image->height(), int(std::nearbyint(box->height() * 0.3317)));
    if (picture) {
        QCOMPARE(question->x(), image->x() + image->width() + 10);
        QCOMPARE(question->width(), box->width() - question->x() - 10);
    } else {
        QCOMPARE(question->x(), 8);
        QCOMPARE(question->width(), int(std::nearbyint(box->width() * 0.7)));
    }
    QCOMPARE(variants->y(), image->y() + image->height() + 5);
    QCOMPARE(variants->height(), box->height() / 5);
    QCOMPARE(comment->y(), variants->y() + variants->height());
    QCOMPARE(comment->height(), chart->y() - comment->y() + 15);
    // The chart and buttons keep to the right and bottom edges.
    QCOMPARE(chart->geometry().bottomRight(),
             QPoint(584, 393) + QPoint(size.width() - 730, size.height() - 490));
    QCOMPARE(bench.button(1)->y(), 368 + size.height() - 490);
}

void ExamWindowLayoutTest::chartAndSecondsLabel_clickedTwice_restoreTheLabelAndKeepTheKeys()
{
    ExamTestBench bench;
    bench.host.showStatistics = true;
    bench.start(0, 1);
    auto *chart = bench.form.findChild<QChartView *>(QStringLiteral("Chart1"));
    QLabel *seconds = bench.label("Label7");
    QVERIFY(chart->isVisible());
    QVERIFY(seconds->isVisible());

    QTest::mouseClick(seconds, Qt::LeftButton);
    QVERIFY(!seconds->isVisible());
    QTest::mouseClick(chart->viewport(), Qt::LeftButton, {}, QPoint(30, 28));
    QVERIFY(seconds->isVisible());

    QTest::mouseClick(chart->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(!seconds->isVisible());
    QTest::mouseClick(chart->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(seconds->isVisible());

    // Clicking the pie must not take the focus from the question list, or
    // the digit keys would stop answering.
    QCOMPARE(QApplication::focusWidget(), bench.list());
    QTest::keyClick(QApplication::focusWidget(), char('0' + bench.attempt().correctVariant()));
    QCOMPARE(bench.itemIcon(1), int(ExamWindow::AnsweredCorrectly));
}

void ExamWindowLayoutTest::pieChart_createdAndDestroyed_leavesNoChartBehind()
{
#if defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 33)
    // Each abandoned default chart costs tens of kilobytes; 100 windows'
    // pies would leave megabytes behind. The first ones fill Qt's caches.
    const auto makeSome = [](int count) {
        for (int i = 0; i < count; ++i) {
            PieChartView view;
            view.setCounts(3, 1);
        }
    };
    makeSome(10);
    const size_t before = mallinfo2().uordblks;
    makeSome(100);
    const size_t after = mallinfo2().uordblks;
    const size_t grown = after > before ? after - before : 0;
    QVERIFY2(grown < 256 * 1024, qPrintable(QStringLiteral("%1 bytes kept").arg(grown)));
#else
    QSKIP("needs glibc's allocator statistics; the LeakSanitizer run covers it elsewhere");
#endif
}

void ExamWindowLayoutTest::helpButton_click_opensTopicTest()
{
    ExamTestBench bench;
    bench.start(1, 1);
    Help::clearRequests();
    QTest::mouseClick(bench.form.findChild<QToolButton *>(QStringLiteral("SpeedButton1")),
                      Qt::LeftButton);
    QCOMPARE(Help::requests().size(), 1);
    QCOMPARE(Help::requests().first().topic, QStringLiteral("test"));
}

void ExamWindowLayoutTest::resultDialog_isSetUpAsDesigned()
{
    ResultDialog dialog;
    QCOMPARE(dialog.metaObject()->className(), "ResultDialog");
    QCOMPARE(dialog.objectName(), QStringLiteral("Form4"));
    QCOMPARE(dialog.size(), QSize(362, 189));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
    // The car comes from the bundled pictures.
    const QImage car = dialog.findChild<PictureBox *>(QStringLiteral("Image1"))->image();
    QCOMPARE(car.size(), QSize(192, 192));
    // Enter presses OK.
    QTimer::singleShot(0, &dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Return); });
    QCOMPARE(dialog.showModalAtDesignPosition(), int(QDialog::Accepted));
    QCOMPARE(dialog.pos(), QPoint(230, 190));
}

void ExamWindowLayoutTest::longTimeText_byLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("text");
    const QLocale c(QLocale::C);
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("C, 19:59") << c << 1199 << "0:19:59";
    QTest::newRow("C, zero") << c << 0 << "0:00:00";
    QTest::newRow("C, minus one second by magnitude") << c << -1 << "0:00:01";
    QTest::newRow("Russian, full limit") << QLocale(QLocale::Russian) << 1200 << "0:20:00";
    // A duration has no AM/PM: 12-hour formats use the 24-hour clock.
    QTest::newRow("US, 19:59") << us << 1199 << "0:19:59";
    QTest::newRow("US, one hour") << us << 3600 << "1:00:00";
    // The locale's separators and quoted literals stay.
    QTest::newRow("Danish") << QLocale(QLocale::Danish) << 1199 << "0.19.59";
    QTest::newRow("Canadian French")
        << QLocale(QLocale::French, QLocale::Canada) << 1199 << "0 h 19 min 59 s";
}

void ExamWindowLayoutTest::longTimeText_byLocale()
{
    QFETCH(QLocale, locale);
    QFETCH(int, seconds);
    QFETCH(QString, text);
    QCOMPARE(longTimeText(seconds, locale), text);
}

QTEST_MAIN(ExamWindowLayoutTest)
#include "tst_examwindowlayout.moc"
