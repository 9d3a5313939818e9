#pragma once

#include "serverconnection.h"

#include <QString>

// The PostgreSQL server the CTest fixture started (pgserver.sh): where it
// is, the roles' names, and the means to stop and start it mid-test. Tests
// that use it call skipReason() first and QSKIP with it when not empty.
namespace TestServer {
inline const QString AdminRole = QStringLiteral("zeltrak_admin");
inline const QString PcRole = QStringLiteral("zeltrak_pc");
inline const QString InstructorRole = QStringLiteral("zeltrak_instructor");

// Empty when the server runs; otherwise why the tests cannot use one. Also
// points libpq at the fixture's password file.
QString skipReason();
ServerAddress address(const QString &role, const QString &database);
// A new, empty database owned by the admin role, dropped first if a
// previous run left it; with `initialize` its schema made and the roles
// granted as `dbv class init` does. Returns its name.
QString freshDatabase(const QString &name, bool initialize = true);
// Kills the server at once / starts it again on the same port.
bool halt();
bool resume();
// Runs `sql` as `role` in `database`; the first column of the first row, or
// an invalid QVariant with `error` set.
QVariant scalar(const QString &role, const QString &database, const QString &sql,
                QString *error = nullptr);
} // namespace TestServer
