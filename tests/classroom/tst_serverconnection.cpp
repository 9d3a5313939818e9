// How the PC tells a lost way to the server from a server that refused
// something, over the texts libpq gives at each moment a connection can
// break. A lost connection ends the round and is said as "unreachable"; the
// rows wait on the PC. A refusal is said with the server's own words.
#include "serverconnection.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QTest>

class TestServerConnection : public QObject
{
    Q_OBJECT

private slots:
    void lostOrRefused_data();
    void lostOrRefused();
};

void TestServerConnection::lostOrRefused_data()
{
    QTest::addColumn<QString>("driverText");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("lost");
    QTest::addColumn<QString>("saidAs");

    const QString unreachable = QStringLiteral("недоступен");
    QTest::newRow("stopped before the query") << "server closed the connection unexpectedly" << ""
                                              << true << unreachable;
    QTest::newRow("reset while waiting for the commit")
        << "could not receive data from server: Connection reset by peer" << "" << true
        << unreachable;
    QTest::newRow("send into a dead socket")
        << "could not send data to server: Broken pipe" << "" << true << unreachable;
    QTest::newRow("TLS cut") << "SSL SYSCALL error: EOF detected" << "" << true << unreachable;
    QTest::newRow("fast shutdown") << "terminating connection due to administrator command"
                                   << "57P01" << true << unreachable;
    QTest::newRow("still starting") << "the database system is starting up" << "" << true
                                    << unreachable;
    QTest::newRow("refused connection") << "could not connect to server: Connection refused"
                                        << "" << true << unreachable;
    QTest::newRow("a refused row") << "duplicate key value violates unique constraint"
                                   << "23505" << false
                                   << QStringLiteral("сообщил об ошибке");
    QTest::newRow("missing rights") << "permission denied for function store_batch" << "42501"
                                    << false << QStringLiteral("dbv class init");
}

void TestServerConnection::lostOrRefused()
{
    QFETCH(QString, driverText);
    QFETCH(QString, code);
    QFETCH(bool, lost);
    QFETCH(QString, saidAs);
    const QSqlError error(driverText, QString(), QSqlError::StatementError, code);
    // An open connection's handle: only the texts decide.
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("t"));
    db.setDatabaseName(QStringLiteral(":memory:"));
    QVERIFY(db.open());
    QCOMPARE(ServerConnection::isConnectionLost(error, db), lost);
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("t"));
    const QString message =
        ServerConnection::describe(error, {QStringLiteral("class"), 5432, "zt", "pc"});
    QVERIFY2(message.contains(saidAs), qPrintable(message));
}

QTEST_GUILESS_MAIN(TestServerConnection)
#include "tst_serverconnection.moc"
