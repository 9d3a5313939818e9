#include "classroomsignin.h"

#include "learnerpull.h"
#include "serverschema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

ClassroomSignIn::ClassList ClassroomSignIn::fetchClassList(const ServerAddress &address,
                                                           const QString &root)
{
    ClassList list;
    list.learners = ClassroomLearners::known(root);
    ServerConnection server(address);
    if (!server.open()) {
        list.error = server.errorMessage();
        return list;
    }
    QSqlQuery query(server.database());
    if (!query.exec(QStringLiteral("SELECT CAST(id AS text), name FROM zeltrak.class_list()"))) {
        list.error = server.fail(query.lastError());
        return list;
    }
    while (query.next()) {
        const ClassroomLearner learner{query.value(0).toString(), ClassroomLearners::normalizedName(
                                                                      query.value(1).toString())};
        const bool known = std::any_of(list.learners.cbegin(), list.learners.cend(),
                                       [&](const auto &l) { return l.id == learner.id; });
        if (!known && !learner.name.isEmpty())
            list.learners.append(learner);
    }
    std::sort(list.learners.begin(), list.learners.end(),
              [](const auto &a, const auto &b) { return a.name.localeAwareCompare(b.name) < 0; });
    return list;
}

ClassroomLearner ClassroomSignIn::learnerNamed(const QString &typed,
                                               const QList<ClassroomLearner> &learners)
{
    const QString name = ClassroomLearners::normalizedName(typed);
    if (name.isEmpty())
        return {};
    for (const ClassroomLearner &learner : learners) {
        if (learner.name.compare(name, Qt::CaseInsensitive) == 0)
            return learner;
    }
    return {ClassroomLearners::newId(), name};
}

ClassroomSignIn::Result ClassroomSignIn::signIn(const ServerAddress &address, const QString &root,
                                                const ClassroomLearner &learner)
{
    Result result;
    if (!ClassroomLearners::remember(root, learner)) {
        result.note = QStringLiteral("Не удалось создать папку ученика «%1»: история ответов "
                                     "будет общей для этого компьютера.")
                          .arg(ClassroomLearners::folderOf(root, learner.id));
        return result;
    }
    result.ok = true;
    result.historyPath = ClassroomLearners::historyPathOf(root, learner.id);
    ServerConnection server(address);
    if (!server.open()) {
        result.note = server.errorMessage();
        return result;
    }
    QSqlDatabase db = server.database();
    if (const int version = ServerSchema::version(db); version != ServerSchema::CurrentVersion) {
        result.note = version < 0 ? server.fail(db.lastError())
                                  : ServerSchema::versionMismatchMessage(version);
        return result;
    }
    const LearnerPull::Result pulled = LearnerPull::pull(db, learner.id, result.historyPath);
    if (!pulled.ok)
        result.note =
            QStringLiteral("История ученика не получена с сервера класса: %1").arg(pulled.error);
    result.pulledAnswers = pulled.answers;
    return result;
}
