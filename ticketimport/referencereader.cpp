#include "referencereader.h"

#include "referencefile.h"
#include "ticketsource.h"

#include <QDir>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>
#include <numeric>

namespace ReferenceReader {

namespace {

struct PendingEntry
{
    ReferenceKind kind;
    qsizetype group;
    qsizetype entry;
    QString picturePath;
};

// The picture path as the source names it ("./images/signs/x.svg") made
// relative to the root; empty when it leaves the root.
QString relativePicture(const QString &image)
{
    const QString relative = QDir::cleanPath(QDir::fromNativeSeparators(image.trimmed()));
    if (relative.isEmpty() || relative == u"." || QDir::isAbsolutePath(relative) ||
        relative == u".." || relative.startsWith(u"../")) {
        return {};
    }
    return relative;
}

class Reader
{
public:
    Reader(TicketSource &source, const std::atomic<bool> *cancel)
        : m_source(source), m_cancel(cancel)
    {
    }

    Outcome run();

private:
    void readGroups(ReferenceKind kind, const QString &path, const QByteArray &json);
    void readPenalties(const QByteArray &bytes);
    void readPictures();
    QString where(ReferenceKind kind, const QString &number) const
    {
        return QStringLiteral("%1: %2 %3")
            .arg(kind == ReferenceKind::Sign ? SignsPath : MarkupPath,
                 kind == ReferenceKind::Sign ? QStringLiteral("sign") : QStringLiteral("marking"),
                 number);
    }

    TicketSource &m_source;
    const std::atomic<bool> *m_cancel;
    Outcome m_outcome;
    QList<PendingEntry> m_pending;
};

Outcome Reader::run()
{
    const QStringList paths{SignsPath, MarkupPath, PenaltiesPath};
    QStringList present;
    for (const QString &path : paths) {
        switch (m_source.lookup(path)) {
        case TicketSource::FileKind::File:
            present << path;
            break;
        case TicketSource::FileKind::Link:
            m_outcome.problems << path + QStringLiteral(": a link; links are not followed");
            break;
        case TicketSource::FileKind::Missing:
            break;
        }
    }
    if (present.isEmpty())
        return m_outcome;
    for (const QString &path : paths) {
        if (!present.contains(path) && m_source.lookup(path) == TicketSource::FileKind::Missing)
            m_outcome.problems << path + QStringLiteral(": missing; that part of the reference "
                                                        "is left empty");
    }

    QHash<QString, QByteArray> contents;
    QHash<QString, QString> errors;
    if (!m_source.readFiles(present, &contents, &errors, {}, m_cancel)) {
        m_outcome.cancelled = true;
        return m_outcome;
    }
    for (auto it = errors.cbegin(); it != errors.cend(); ++it)
        m_outcome.problems << QStringLiteral("%1: %2").arg(it.key(), it.value());
    if (contents.contains(SignsPath))
        readGroups(ReferenceKind::Sign, SignsPath, contents.value(SignsPath));
    if (contents.contains(MarkupPath))
        readGroups(ReferenceKind::Marking, MarkupPath, contents.value(MarkupPath));
    if (contents.contains(PenaltiesPath))
        readPenalties(contents.value(PenaltiesPath));
    readPictures();
    return m_outcome;
}

void Reader::readGroups(ReferenceKind kind, const QString &path, const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        m_outcome.problems << QStringLiteral("%1: not a JSON object of groups (%2)")
                                  .arg(path, error.error != QJsonParseError::NoError
                                                 ? error.errorString()
                                                 : QStringLiteral("another JSON value"));
        return;
    }
    QList<ReferenceGroup> groups;
    QList<QStringList> pictures;
    const QJsonObject root = document.object();
    QSet<QString> seen;
    for (auto group = root.begin(); group != root.end(); ++group) {
        if (!group.value().isObject()) {
            m_outcome.problems
                << QStringLiteral("%1: group \"%2\" is not an object").arg(path, group.key());
            continue;
        }
        ReferenceGroup read{group.key(), {}};
        QStringList readPictures;
        const QJsonObject entries = group.value().toObject();
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            const QJsonObject object = it.value().toObject();
            QString number = object.value(u"number").toString().trimmed();
            if (number.isEmpty())
                number = it.key().trimmed();
            if (!it.value().isObject() || number.isEmpty()) {
                m_outcome.problems << QStringLiteral("%1: group \"%2\", entry \"%3\" is not "
                                                     "an entry with a number")
                                          .arg(path, group.key(), it.key());
                continue;
            }
            if (seen.contains(number)) {
                m_outcome.problems
                    << where(kind, number) + QStringLiteral(": given twice; the first is kept");
                continue;
            }
            seen.insert(number);
            read.entries.append(ReferenceEntry{number,
                                               object.value(u"title").toString().trimmed(),
                                               object.value(u"description").toString().trimmed(),
                                               {}});
            const QString image = object.value(u"image").toString();
            const QString picture = relativePicture(image);
            if (!image.trimmed().isEmpty() && picture.isEmpty()) {
                m_outcome.problems
                    << where(kind, number) + QStringLiteral(": picture path \"%1\" leaves the "
                                                            "folder")
                                                 .arg(image);
            }
            readPictures << picture;
        }
        if (read.entries.isEmpty())
            continue;
        // Entries in the order of their numbers, their pictures along.
        QList<qsizetype> order(read.entries.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
            return numberLess(read.entries.at(a).number, read.entries.at(b).number);
        });
        ReferenceGroup sorted{read.name, {}};
        QStringList sortedPictures;
        for (qsizetype i : std::as_const(order)) {
            sorted.entries << read.entries.at(i);
            sortedPictures << readPictures.at(i);
        }
        groups << sorted;
        pictures << sortedPictures;
    }
    QList<qsizetype> order(groups.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        return numberLess(groups.at(a).entries.first().number, groups.at(b).entries.first().number);
    });
    QList<ReferenceGroup> &target =
        kind == ReferenceKind::Sign ? m_outcome.reference.signs : m_outcome.reference.markings;
    for (qsizetype g : std::as_const(order)) {
        for (qsizetype e = 0; e < pictures.at(g).size(); ++e) {
            if (!pictures.at(g).at(e).isEmpty())
                m_pending.append(PendingEntry{kind, target.size(), e, pictures.at(g).at(e)});
        }
        target << groups.at(g);
    }
}

void Reader::readPenalties(const QByteArray &bytes)
{
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        if (line.isEmpty())
            continue;
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(line, &error);
        const QJsonObject object = document.object();
        const Penalty penalty{object.value(u"article_part").toString().trimmed(),
                              object.value(u"text").toString().trimmed(),
                              object.value(u"penalty").toString().trimmed()};
        if (error.error != QJsonParseError::NoError || !document.isObject()) {
            m_outcome.problems << QStringLiteral("%1, line %2: not a JSON object (%3)")
                                      .arg(PenaltiesPath)
                                      .arg(i + 1)
                                      .arg(error.error != QJsonParseError::NoError
                                               ? error.errorString()
                                               : QStringLiteral("another JSON value"));
        } else if (penalty.article.isEmpty() || penalty.penalty.isEmpty()) {
            m_outcome.problems << QStringLiteral("%1, line %2: without \"article_part\" or "
                                                 "\"penalty\"")
                                      .arg(PenaltiesPath)
                                      .arg(i + 1);
        } else {
            m_outcome.reference.penalties << penalty;
        }
    }
}

void Reader::readPictures()
{
    QStringList paths;
    for (const PendingEntry &pending : std::as_const(m_pending)) {
        if (!paths.contains(pending.picturePath) &&
            m_source.lookup(pending.picturePath) == TicketSource::FileKind::File)
            paths << pending.picturePath;
    }
    QHash<QString, QByteArray> contents;
    QHash<QString, QString> errors;
    if (!m_source.readFiles(paths, &contents, &errors, {}, m_cancel)) {
        m_outcome.cancelled = true;
        return;
    }
    QHash<QString, bool> drawable;
    for (const PendingEntry &pending : std::as_const(m_pending)) {
        QList<ReferenceGroup> &groups = pending.kind == ReferenceKind::Sign
                                            ? m_outcome.reference.signs
                                            : m_outcome.reference.markings;
        ReferenceEntry &entry = groups[pending.group].entries[pending.entry];
        const QString path = pending.picturePath;
        const QString prefix = where(pending.kind, entry.number);
        if (!contents.contains(path)) {
            const QString reason = errors.value(path);
            m_outcome.problems << prefix + QStringLiteral(": picture \"%1\" %2; kept without it")
                                               .arg(path, reason.isEmpty()
                                                              ? QStringLiteral("not found")
                                                              : reason);
            continue;
        }
        if (!drawable.contains(path))
            drawable.insert(path, ReferenceFile::isDrawableSvg(contents.value(path)));
        if (!drawable.value(path)) {
            m_outcome.problems << prefix + QStringLiteral(": picture \"%1\" is not a drawable SVG; "
                                                          "kept without it")
                                               .arg(path);
            continue;
        }
        entry.svg = contents.value(path);
    }
}

} // namespace

bool numberLess(const QString &a, const QString &b)
{
    const QStringList left = a.split(u'.');
    const QStringList right = b.split(u'.');
    for (qsizetype i = 0; i < std::min(left.size(), right.size()); ++i) {
        bool leftNumeric = false;
        bool rightNumeric = false;
        const int l = left.at(i).toInt(&leftNumeric);
        const int r = right.at(i).toInt(&rightNumeric);
        if (leftNumeric && rightNumeric && l != r)
            return l < r;
        if (!(leftNumeric && rightNumeric) && left.at(i) != right.at(i))
            return left.at(i) < right.at(i);
    }
    return left.size() < right.size();
}

Outcome read(TicketSource &source, const std::atomic<bool> *cancel)
{
    return Reader(source, cancel).run();
}

} // namespace ReferenceReader
