#include "localhistoryconnection.h"

#include "answerhistory.h"
#include "historyschema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

LocalHistoryConnection::LocalHistoryConnection(const QString &historyPath)
    : m_path(historyPath), m_connectionName(QStringLiteral("zeltrak-outbox-") +
                                            QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

LocalHistoryConnection::~LocalHistoryConnection()
{
    if (QSqlDatabase::contains(m_connectionName)) {
        database().close();
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

QSqlDatabase LocalHistoryConnection::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

bool LocalHistoryConnection::open()
{
    if (database().isOpen())
        return true;
    {
        // Creates the file or migrates it, with all the care of the
        // program's own opening (a damaged file is set aside, a newer one
        // left alone).
        AnswerHistory history(m_path);
        if (!history.isAvailable() || history.isReadOnly()) {
            m_errorMessage =
                history.errorMessage().isEmpty()
                    ? QStringLiteral("история ответов «%1» недоступна для записи").arg(m_path)
                    : history.errorMessage();
            return false;
        }
    }
    QSqlDatabase db = QSqlDatabase::contains(m_connectionName)
                          ? database()
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    db.setDatabaseName(m_path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (!db.open()) {
        m_errorMessage = db.lastError().text();
        return false;
    }
    if (HistorySchema::version(db) != HistorySchema::CurrentVersion) {
        m_errorMessage = QStringLiteral("история ответов «%1» другой версии").arg(m_path);
        db.close();
        return false;
    }
    QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
    return true;
}
