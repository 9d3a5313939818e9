#include <QTest>
class TestAppWindows : public QObject
{
    Q_OBJECT
};
QTEST_MAIN(TestAppWindows)
#include "tst_appwindows.moc"
