#include "referencefile.h"

#include "regularfile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSvgRenderer>

namespace ReferenceFile {

namespace {

const char *kindName(ReferenceKind kind)
{
    return kind == ReferenceKind::Sign ? "sign" : "marking";
}

QJsonArray groupsToJson(const QList<ReferenceGroup> &groups)
{
    QJsonArray array;
    for (const ReferenceGroup &group : groups) {
        QJsonArray entries;
        for (const ReferenceEntry &entry : group.entries) {
            entries.append(QJsonObject{{"number", entry.number},
                                       {"title", entry.title},
                                       {"description", entry.description},
                                       {"svg", QString::fromUtf8(entry.svg)}});
        }
        array.append(QJsonObject{{"group", group.name}, {"entries", entries}});
    }
    return array;
}

bool groupsFromJson(const QJsonValue &value, const char *key, QList<ReferenceGroup> *groups,
                    QStringList *problems)
{
    if (value.isUndefined())
        return true;
    if (!value.isArray()) {
        *problems << QStringLiteral("\"%1\" is not an array").arg(QLatin1StringView(key));
        return false;
    }
    for (const QJsonValue &groupValue : value.toArray()) {
        const QJsonObject object = groupValue.toObject();
        if (!groupValue.isObject() || !object.value("group").isString() ||
            !object.value("entries").isArray()) {
            *problems << QStringLiteral("\"%1\": a group without a name or entries")
                             .arg(QLatin1StringView(key));
            return false;
        }
        ReferenceGroup group{object.value("group").toString(), {}};
        for (const QJsonValue &entryValue : object.value("entries").toArray()) {
            const QJsonObject entry = entryValue.toObject();
            if (!entryValue.isObject()) {
                *problems << QStringLiteral("\"%1\", group \"%2\": an entry is not an object")
                                 .arg(QLatin1StringView(key), group.name);
                return false;
            }
            group.entries.append(ReferenceEntry{
                entry.value("number").toString(), entry.value("title").toString(),
                entry.value("description").toString(), entry.value("svg").toString().toUtf8()});
        }
        groups->append(group);
    }
    return true;
}

void addKindProblems(const Reference &reference, ReferenceKind kind, QStringList *problems)
{
    QSet<QString> seen;
    for (const ReferenceGroup &group : reference.groups(kind)) {
        for (const ReferenceEntry &entry : group.entries) {
            const QString where =
                QStringLiteral("%1 %2 (group \"%3\")")
                    .arg(QLatin1StringView(kindName(kind)),
                         entry.number.isEmpty() ? QStringLiteral("without a number") : entry.number,
                         group.name);
            if (entry.number.isEmpty()) {
                *problems << where;
                continue;
            }
            if (seen.contains(entry.number))
                *problems << where + QStringLiteral(": the number is given twice");
            seen.insert(entry.number);
            if (!entry.svg.isEmpty() && !isDrawableSvg(entry.svg))
                *problems << where + QStringLiteral(": the picture is not a drawable SVG");
        }
    }
}

} // namespace

QString pathFor(const QString &databasePath)
{
    QString path = databasePath;
    if (path.endsWith(QStringLiteral(".dbv"), Qt::CaseInsensitive))
        path.chop(4);
    return path + QStringLiteral(".reference.json");
}

QByteArray toJson(const Reference &reference)
{
    QJsonArray penalties;
    for (const Penalty &penalty : reference.penalties) {
        penalties.append(QJsonObject{
            {"article", penalty.article}, {"text", penalty.text}, {"penalty", penalty.penalty}});
    }
    const QJsonObject root{{"reference", FormatVersion},
                           {"signs", groupsToJson(reference.signs)},
                           {"markings", groupsToJson(reference.markings)},
                           {"penalties", penalties}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<Reference> parse(const QByteArray &json, QStringList *problems)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        *problems << QStringLiteral("not valid JSON at offset %1: %2")
                         .arg(error.offset)
                         .arg(error.errorString());
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    if (!document.isObject() || root.value("reference").toInt() != FormatVersion) {
        *problems << QStringLiteral("not a reference of format %1").arg(FormatVersion);
        return std::nullopt;
    }
    Reference reference;
    if (!groupsFromJson(root.value("signs"), "signs", &reference.signs, problems) ||
        !groupsFromJson(root.value("markings"), "markings", &reference.markings, problems)) {
        return std::nullopt;
    }
    const QJsonValue penalties = root.value("penalties");
    if (!penalties.isUndefined() && !penalties.isArray()) {
        *problems << QStringLiteral("\"penalties\" is not an array");
        return std::nullopt;
    }
    for (const QJsonValue &value : penalties.toArray()) {
        const QJsonObject object = value.toObject();
        reference.penalties.append(Penalty{object.value("article").toString(),
                                           object.value("text").toString(),
                                           object.value("penalty").toString()});
    }
    *problems << ReferenceFile::problems(reference);
    return reference;
}

std::optional<Reference> read(const QString &path, QStringList *problems)
{
    // A named pipe in its place would block the open until someone writes
    // to it, and the reference is read whenever a comment is shown.
    if (const QString refusal = RegularFile::refusalReason(path); !refusal.isEmpty()) {
        *problems << refusal;
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *problems << file.errorString();
        return std::nullopt;
    }
    if (file.size() > MaxFileSize) {
        *problems << QStringLiteral("%1 bytes, more than a reference can be").arg(file.size());
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *problems << file.errorString();
        return std::nullopt;
    }
    return parse(bytes, problems);
}

QStringList problems(const Reference &reference)
{
    QStringList found;
    addKindProblems(reference, ReferenceKind::Sign, &found);
    addKindProblems(reference, ReferenceKind::Marking, &found);
    for (qsizetype i = 0; i < reference.penalties.size(); ++i) {
        const Penalty &penalty = reference.penalties.at(i);
        if (penalty.article.isEmpty() || penalty.penalty.isEmpty())
            found << QStringLiteral("penalty %1: without an article or a penalty").arg(i + 1);
    }
    return found;
}

bool isDrawableSvg(const QByteArray &svg)
{
    // Qt SVG prints its parse faults as warnings; the caller reports them.
    QSvgRenderer renderer(svg);
    return renderer.isValid() && !renderer.defaultSize().isEmpty();
}

} // namespace ReferenceFile
