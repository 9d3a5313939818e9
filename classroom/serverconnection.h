#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

// Where the classroom's PostgreSQL server is, and as whom to connect.
struct ServerAddress
{
    QString host;
    int port = 5432;
    QString database;
    QString role;
    friend bool operator==(const ServerAddress &, const ServerAddress &) = default;
};

// One connection to the classroom's server through Qt SQL's PostgreSQL
// driver, owned by the thread that opens it (Qt SQL connections must not
// cross threads). The password is never given here: libpq takes it from the
// password file (~/.pgpass, or the file PGPASSFILE names; on Windows
// %APPDATA%\postgresql\pgpass.conf).
class ServerConnection
{
public:
    // Seconds a connection attempt waits for an unreachable server.
    static constexpr int ConnectTimeoutSeconds = 3;

    explicit ServerConnection(const ServerAddress &address);
    ~ServerConnection();
    ServerConnection(const ServerConnection &) = delete;
    ServerConnection &operator=(const ServerConnection &) = delete;

    const ServerAddress &address() const { return m_address; }
    // Opens the connection (again, after a failure); false with
    // errorMessage() set when the server cannot be reached or refuses.
    bool open();
    bool isOpen() const;
    void close();
    QSqlDatabase database() const;
    // The last failure in plain Russian, for the learner or the instructor.
    QString errorMessage() const { return m_errorMessage; }
    // Remembers `error` of a statement as the last failure and returns its
    // message.
    QString fail(const QSqlError &error);

    // What a failure of the driver means for the person at the PC.
    static QString describe(const QSqlError &error, const ServerAddress &address);
    // Whether the failure is the server or the network going away (the
    // connection must be opened again), not a refusal of the statement.
    static bool isConnectionLost(const QSqlError &error, const QSqlDatabase &db);

private:
    ServerAddress m_address;
    QString m_connectionName;
    QString m_errorMessage;
};
