#include "serverschema.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <array>
#include <initializer_list>

namespace {

using Step = std::initializer_list<const char *>;
const std::array<Step, ServerSchema::CurrentVersion> Steps{{
    // 0 -> 1
    {
        "CREATE TABLE zeltrak.learners ("
        " id uuid PRIMARY KEY,"
        " name text NOT NULL CHECK (char_length(name) BETWEEN 1 AND 100),"
        " created_at timestamptz NOT NULL DEFAULT now())",
        "CREATE TABLE zeltrak.attempts ("
        " uuid uuid PRIMARY KEY,"
        " learner uuid NOT NULL REFERENCES zeltrak.learners (id),"
        " database text NOT NULL,"
        " mode text NOT NULL,"
        " started_at bigint NOT NULL,"
        " received_at timestamptz NOT NULL DEFAULT now())",
        "CREATE INDEX attempts_by_learner ON zeltrak.attempts (learner, started_at)",
        "CREATE TABLE zeltrak.attempt_ends ("
        " attempt uuid PRIMARY KEY REFERENCES zeltrak.attempts (uuid),"
        " ended_at bigint NOT NULL,"
        " correct integer NOT NULL,"
        " wrong integer NOT NULL,"
        " passed boolean,"
        " received_at timestamptz NOT NULL DEFAULT now())",
        "CREATE TABLE zeltrak.answers ("
        " uuid uuid PRIMARY KEY,"
        " learner uuid NOT NULL REFERENCES zeltrak.learners (id),"
        " database text NOT NULL,"
        " question integer NOT NULL CHECK (question BETWEEN 1 AND 800),"
        " question_key bigint,"
        " mode text NOT NULL,"
        " variant integer NOT NULL,"
        " is_right boolean NOT NULL,"
        " seconds integer NOT NULL,"
        " answered_at bigint NOT NULL,"
        " attempt uuid,"
        " correction boolean NOT NULL DEFAULT false,"
        " received_at timestamptz NOT NULL DEFAULT now())",
        "CREATE INDEX answers_by_learner ON zeltrak.answers (learner, answered_at)",
        "CREATE FUNCTION zeltrak.class_list() RETURNS TABLE (id uuid, name text)"
        " LANGUAGE sql STABLE SECURITY DEFINER SET search_path = zeltrak, pg_temp AS"
        " $$ SELECT l.id, l.name FROM zeltrak.learners l ORDER BY l.name, l.id $$",
        "CREATE FUNCTION zeltrak.learner_attempts(learner_id uuid) RETURNS TABLE ("
        " uuid uuid, database text, mode text, started_at bigint, ended_at bigint,"
        " correct integer, wrong integer, passed boolean)"
        " LANGUAGE sql STABLE SECURITY DEFINER SET search_path = zeltrak, pg_temp AS"
        " $$ SELECT a.uuid, a.database, a.mode, a.started_at, e.ended_at, e.correct, e.wrong,"
        " e.passed FROM zeltrak.attempts a LEFT JOIN zeltrak.attempt_ends e"
        " ON e.attempt = a.uuid WHERE a.learner = learner_id ORDER BY a.started_at, a.uuid $$",
        "CREATE FUNCTION zeltrak.learner_answers(learner_id uuid) RETURNS TABLE ("
        " uuid uuid, database text, question integer, question_key bigint, mode text,"
        " variant integer, is_right boolean, seconds integer, answered_at bigint,"
        " attempt uuid, correction boolean)"
        " LANGUAGE sql STABLE SECURITY DEFINER SET search_path = zeltrak, pg_temp AS"
        " $$ SELECT a.uuid, a.database, a.question, a.question_key, a.mode, a.variant,"
        " a.is_right, a.seconds, a.answered_at, a.attempt, a.correction FROM zeltrak.answers a"
        " WHERE a.learner = learner_id ORDER BY a.answered_at, a.uuid $$",
        // A batch of one learner's rows, each kept once under its UUID. A
        // function of the owner's, because INSERT … ON CONFLICT needs the
        // right to read the table (and a read policy the new row passes),
        // which the learner PCs' role must not have; it never updates or
        // deletes. Times and keys come as text: a JSON number is a double.
        "CREATE FUNCTION zeltrak.store_batch(p_learner uuid, p_name text, p_attempts json,"
        " p_ends json, p_answers json) RETURNS void"
        " LANGUAGE sql VOLATILE SECURITY DEFINER SET search_path = zeltrak, pg_temp AS $$"
        " INSERT INTO zeltrak.learners (id, name) VALUES (p_learner, p_name)"
        " ON CONFLICT (id) DO NOTHING;"
        " INSERT INTO zeltrak.attempts (uuid, learner, database, mode, started_at)"
        " SELECT r.uuid, p_learner, r.database, r.mode, CAST(r.started_at AS bigint)"
        " FROM json_to_recordset(p_attempts) AS r (uuid uuid, database text, mode text,"
        " started_at text) ON CONFLICT (uuid) DO NOTHING;"
        " INSERT INTO zeltrak.attempt_ends (attempt, ended_at, correct, wrong, passed)"
        " SELECT r.attempt, CAST(r.ended_at AS bigint), r.correct, r.wrong, r.passed"
        " FROM json_to_recordset(p_ends) AS r (attempt uuid, ended_at text, correct integer,"
        " wrong integer, passed boolean) ON CONFLICT (attempt) DO NOTHING;"
        " INSERT INTO zeltrak.answers (uuid, learner, database, question, question_key, mode,"
        " variant, is_right, seconds, answered_at, attempt, correction)"
        " SELECT r.uuid, p_learner, r.database, r.question, CAST(r.question_key AS bigint),"
        " r.mode, r.variant, r.is_right, r.seconds, CAST(r.answered_at AS bigint), r.attempt,"
        " coalesce(r.correction, false) FROM json_to_recordset(p_answers) AS r (uuid uuid,"
        " database text, question integer, question_key text, mode text, variant integer,"
        " is_right boolean, seconds integer, answered_at text, attempt uuid, correction boolean)"
        " ON CONFLICT (uuid) DO NOTHING $$",
    },
    // 1 -> 2
    {
        // The order as the PC keeps it: at most 800 numbers of three digits
        // and their commas.
        "CREATE TABLE zeltrak.marathons ("
        " uuid uuid PRIMARY KEY,"
        " learner uuid NOT NULL REFERENCES zeltrak.learners (id),"
        " database text NOT NULL,"
        " question_order text NOT NULL CHECK (char_length(question_order) <= 3200),"
        " question_position integer NOT NULL CHECK (question_position BETWEEN 0 AND 800),"
        " right_count integer NOT NULL CHECK (right_count BETWEEN 0 AND 800),"
        " wrong_count integer NOT NULL CHECK (wrong_count BETWEEN 0 AND 800),"
        " updated_at bigint NOT NULL,"
        " received_at timestamptz NOT NULL DEFAULT now())",
        "CREATE INDEX marathons_by_learner ON zeltrak.marathons (learner, database, updated_at)",
        // The newest state of each of the learner's databases; of two saved
        // in the same millisecond the one with the smaller UUID, so that
        // every PC picks the same.
        "CREATE FUNCTION zeltrak.learner_marathons(learner_id uuid) RETURNS TABLE ("
        " uuid uuid, database text, question_order text, question_position integer,"
        " right_count integer, wrong_count integer, updated_at bigint)"
        " LANGUAGE sql STABLE SECURITY DEFINER SET search_path = zeltrak, pg_temp AS"
        " $$ SELECT DISTINCT ON (m.database) m.uuid, m.database, m.question_order,"
        " m.question_position, m.right_count, m.wrong_count, m.updated_at"
        " FROM zeltrak.marathons m"
        " WHERE m.learner = learner_id ORDER BY m.database, m.updated_at DESC, m.uuid $$",
        // As store_batch: inserts only, each state once under its UUID.
        "CREATE FUNCTION zeltrak.store_marathons(p_learner uuid, p_name text, p_marathons json)"
        " RETURNS void LANGUAGE sql VOLATILE SECURITY DEFINER"
        " SET search_path = zeltrak, pg_temp AS $$"
        " INSERT INTO zeltrak.learners (id, name) VALUES (p_learner, p_name)"
        " ON CONFLICT (id) DO NOTHING;"
        " INSERT INTO zeltrak.marathons (uuid, learner, database, question_order,"
        " question_position, right_count, wrong_count, updated_at)"
        " SELECT r.uuid, p_learner, r.database, r.question_order, r.question_position,"
        " r.right_count, r.wrong_count, CAST(r.updated_at AS bigint)"
        " FROM json_to_recordset(p_marathons)"
        " AS r (uuid uuid, database text, question_order text, question_position integer,"
        " right_count integer, wrong_count integer, updated_at text)"
        " ON CONFLICT (uuid) DO NOTHING $$",
    },
    // 2 -> 3
    {
        "CREATE TABLE zeltrak.resets ("
        " uuid uuid PRIMARY KEY,"
        " learner uuid NOT NULL REFERENCES zeltrak.learners (id),"
        " database text NOT NULL,"
        " reset_at bigint NOT NULL,"
        " received_at timestamptz NOT NULL DEFAULT now())",
        "CREATE INDEX resets_by_learner ON zeltrak.resets (learner, database, reset_at)",
        // The latest reset of each of the learner's databases.
        "CREATE FUNCTION zeltrak.learner_resets(learner_id uuid) RETURNS TABLE ("
        " uuid uuid, database text, reset_at bigint)"
        " LANGUAGE sql STABLE SECURITY DEFINER SET search_path = zeltrak, pg_temp AS"
        " $$ SELECT DISTINCT ON (r.database) r.uuid, r.database, r.reset_at"
        " FROM zeltrak.resets r"
        " WHERE r.learner = learner_id ORDER BY r.database, r.reset_at DESC, r.uuid $$",
        // As store_batch: inserts only, each reset once under its UUID.
        "CREATE FUNCTION zeltrak.store_resets(p_learner uuid, p_name text, p_resets json)"
        " RETURNS void LANGUAGE sql VOLATILE SECURITY DEFINER"
        " SET search_path = zeltrak, pg_temp AS $$"
        " INSERT INTO zeltrak.learners (id, name) VALUES (p_learner, p_name)"
        " ON CONFLICT (id) DO NOTHING;"
        " INSERT INTO zeltrak.resets (uuid, learner, database, reset_at)"
        " SELECT r.uuid, p_learner, r.database, CAST(r.reset_at AS bigint)"
        " FROM json_to_recordset(p_resets) AS r (uuid uuid, database text, reset_at text)"
        " ON CONFLICT (uuid) DO NOTHING $$",
    },
}};

const QStringList DataTables{QStringLiteral("zeltrak.learners"), QStringLiteral("zeltrak.attempts"),
                             QStringLiteral("zeltrak.attempt_ends"),
                             QStringLiteral("zeltrak.answers"),
                             QStringLiteral("zeltrak.marathons"),
                             QStringLiteral("zeltrak.resets")};

// Runs `statements` in one transaction; the first failure rolls it back.
QString runInTransaction(QSqlDatabase &db, const QStringList &statements)
{
    if (!db.transaction())
        return db.lastError().text();
    QSqlQuery query(db);
    for (const QString &statement : statements) {
        if (!query.exec(statement)) {
            const QString reason = query.lastError().text();
            db.rollback();
            return reason;
        }
    }
    if (!db.commit())
        return db.lastError().text();
    return {};
}

} // namespace

int ServerSchema::version(QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT to_regclass('zeltrak.schema_version') IS NOT NULL")) ||
        !query.next())
        return -1;
    if (!query.value(0).toBool())
        return 0;
    if (!query.exec(
            QStringLiteral("SELECT coalesce(max(version), 0) FROM zeltrak.schema_version")) ||
        !query.next())
        return -1;
    return query.value(0).toInt();
}

QString ServerSchema::versionMismatchMessage(int version)
{
    return version > CurrentVersion
               ? QStringLiteral("Схема на сервере класса новее, чем знает эта программа: "
                                "обновите программу на этом компьютере.")
               : QStringLiteral("Схема на сервере класса не подготовлена: администратору "
                                "нужно выполнить «dbv class init».");
}

QString ServerSchema::migrate(QSqlDatabase &db)
{
    // The version table first, on its own: a concurrent second `init` waits
    // on its lock below instead of running the same step twice.
    if (const QString reason = runInTransaction(
            db, {QStringLiteral("SET LOCAL client_min_messages = warning"),
                 QStringLiteral("CREATE SCHEMA IF NOT EXISTS zeltrak"),
                 QStringLiteral("CREATE TABLE IF NOT EXISTS zeltrak.schema_version ("
                                "version integer NOT NULL)")});
        !reason.isEmpty())
        return reason;
    for (;;) {
        if (!db.transaction())
            return db.lastError().text();
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("LOCK TABLE zeltrak.schema_version IN EXCLUSIVE MODE")) ||
            !query.exec(QStringLiteral("SELECT coalesce(max(version), 0) FROM "
                                       "zeltrak.schema_version")) ||
            !query.next()) {
            const QString reason = query.lastError().text();
            db.rollback();
            return reason;
        }
        const int from = query.value(0).toInt();
        if (from > CurrentVersion) {
            db.rollback();
            return QStringLiteral("версия схемы на сервере (%1) новее известной программе (%2)")
                .arg(from)
                .arg(CurrentVersion);
        }
        if (from == CurrentVersion) {
            db.rollback();
            return {};
        }
        bool ok = true;
        for (const char *statement : Steps[size_t(from)]) {
            if (!query.exec(QString::fromLatin1(statement))) {
                ok = false;
                break;
            }
        }
        if (ok)
            ok =
                query.exec(QStringLiteral("DELETE FROM zeltrak.schema_version")) &&
                query.exec(
                    QStringLiteral("INSERT INTO zeltrak.schema_version VALUES (%1)").arg(from + 1));
        if (!ok) {
            const QString reason = query.lastError().text();
            db.rollback();
            return reason;
        }
        if (!db.commit())
            return db.lastError().text();
    }
}

bool ServerSchema::isRoleName(const QString &name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,62}$"));
    return plain.match(name).hasMatch();
}

QString ServerSchema::grantRoles(QSqlDatabase &db, const QString &learnerPcRole,
                                 const QString &instructorRole)
{
    if (!isRoleName(learnerPcRole) || !isRoleName(instructorRole))
        return QStringLiteral("имя роли может содержать только латинские буквы, цифры и «_»");
    if (learnerPcRole.compare(instructorRole, Qt::CaseInsensitive) == 0)
        return QStringLiteral("роли компьютеров учеников и инструктора должны быть разными");
    // Names are quoted as identifiers; isRoleName keeps them free of quotes.
    const QString pc = QLatin1Char('"') + learnerPcRole + QLatin1Char('"');
    const QString instructor = QLatin1Char('"') + instructorRole + QLatin1Char('"');
    const QString tables = DataTables.join(QStringLiteral(", "));
    QStringList statements{
        // "policy … does not exist, skipping" is what a first run means.
        QStringLiteral("SET LOCAL client_min_messages = warning"),
        QStringLiteral("REVOKE ALL ON SCHEMA zeltrak FROM PUBLIC"),
        QStringLiteral("REVOKE ALL ON ALL TABLES IN SCHEMA zeltrak FROM PUBLIC, %1, %2")
            .arg(pc, instructor),
        QStringLiteral("REVOKE ALL ON ALL FUNCTIONS IN SCHEMA zeltrak FROM PUBLIC, %1, %2")
            .arg(pc, instructor),
        QStringLiteral("GRANT USAGE ON SCHEMA zeltrak TO %1, %2").arg(pc, instructor),
        QStringLiteral("GRANT SELECT ON zeltrak.schema_version TO %1, %2").arg(pc, instructor),
        QStringLiteral("GRANT INSERT ON %1 TO %2").arg(tables, pc),
        QStringLiteral("GRANT SELECT ON %1 TO %2").arg(tables, instructor),
        QStringLiteral("GRANT EXECUTE ON FUNCTION zeltrak.class_list(), "
                       "zeltrak.learner_attempts(uuid), zeltrak.learner_answers(uuid), "
                       "zeltrak.learner_marathons(uuid), zeltrak.learner_resets(uuid) TO %1, %2")
            .arg(pc, instructor),
        QStringLiteral("GRANT EXECUTE ON FUNCTION zeltrak.store_batch(uuid, text, json, json, "
                       "json), zeltrak.store_marathons(uuid, text, json), "
                       "zeltrak.store_resets(uuid, text, json) TO %1")
            .arg(pc),
    };
    for (const QString &table : DataTables) {
        statements << QStringLiteral("ALTER TABLE %1 ENABLE ROW LEVEL SECURITY").arg(table)
                   << QStringLiteral("DROP POLICY IF EXISTS learner_pc_inserts ON %1").arg(table)
                   << QStringLiteral("CREATE POLICY learner_pc_inserts ON %1 FOR INSERT TO %2 "
                                     "WITH CHECK (true)")
                          .arg(table, pc)
                   << QStringLiteral("DROP POLICY IF EXISTS instructor_reads ON %1").arg(table)
                   << QStringLiteral("CREATE POLICY instructor_reads ON %1 FOR SELECT TO %2 "
                                     "USING (true)")
                          .arg(table, instructor);
    }
    return runInTransaction(db, statements);
}
