#include "ticketsource.h"

#include "archivesource.h"
#include "foldersource.h"

#include <QFileInfo>
#include <QRegularExpression>

QString TicketSource::Fault::english() const
{
    switch (kind) {
    case Kind::None:
        return {};
    case Kind::Missing:
        return QStringLiteral("%1: no such file or folder").arg(entry);
    case Kind::NotArchive:
        return QStringLiteral("%1: neither a folder nor an archive (%2)").arg(entry, detail);
    case Kind::Damaged:
        return QStringLiteral("%1: the archive is truncated or damaged (%2)").arg(entry, detail);
    case Kind::PathEscapes:
        return QStringLiteral("archive entry \"%1\" leaves the archive's folder").arg(entry);
    case Kind::Link:
        return QStringLiteral("\"%1\" is a link; links are not followed").arg(entry);
    case Kind::SpecialEntry:
        return QStringLiteral("archive entry \"%1\" is not a file or a folder").arg(entry);
    case Kind::TooLarge:
        return QStringLiteral("the archive unpacks to more than %1 bytes; refused as unsafe")
            .arg(detail);
    case Kind::TooManyEntries:
        return QStringLiteral("more than %1 entries; refused as unsafe").arg(detail);
    case Kind::Unreadable:
        return QStringLiteral("%1: cannot read: %2").arg(entry, detail);
    case Kind::Cancelled:
        return QStringLiteral("cancelled");
    }
    return {};
}

QString TicketSource::Fault::russian() const
{
    switch (kind) {
    case Kind::None:
        return {};
    case Kind::Missing:
        return QStringLiteral("«%1» не найден.").arg(entry);
    case Kind::NotArchive:
        return QStringLiteral("«%1» — не папка и не архив (zip, tar.gz и подобные).").arg(entry);
    case Kind::Damaged:
        return QStringLiteral("Архив «%1» обрезан или повреждён (%2). Скачайте его заново.")
            .arg(entry, detail);
    case Kind::PathEscapes:
        return QStringLiteral("В архиве есть файл «%1», путь которого ведёт за пределы архива. "
                              "Такой архив небезопасен и не будет прочитан.")
            .arg(entry);
    case Kind::Link:
        return QStringLiteral("«%1» — ссылка на другой файл. Ссылки не читаются: источник "
                              "небезопасен.")
            .arg(entry);
    case Kind::SpecialEntry:
        return QStringLiteral("В архиве есть «%1» — не файл и не папка. Такой архив не будет "
                              "прочитан.")
            .arg(entry);
    case Kind::TooLarge:
        return QStringLiteral("Архив распаковывается в слишком большой объём (более %1 байт). "
                              "Такой архив небезопасен и не будет прочитан.")
            .arg(detail);
    case Kind::TooManyEntries:
        return QStringLiteral("В источнике слишком много файлов (более %1).").arg(detail);
    case Kind::Unreadable:
        return QStringLiteral("Не удалось прочитать «%1»: %2").arg(entry, detail);
    case Kind::Cancelled:
        return QStringLiteral("Импорт отменён.");
    }
    return {};
}

QStringList TicketSource::categories() const
{
    QStringList result;
    for (const QString &category : {QStringLiteral("A_B"), QStringLiteral("C_D")}) {
        if (m_tickets.contains(category) || m_ticketErrors.contains(category))
            result << category;
    }
    return result;
}

QMap<QString, QByteArray> TicketSource::ticketFiles(const QString &category) const
{
    return m_tickets.value(category);
}

QMap<QString, QString> TicketSource::ticketErrors(const QString &category) const
{
    return m_ticketErrors.value(category);
}

bool TicketSource::isTicketPath(const QString &relative, QString *category, QString *name)
{
    static const QRegularExpression pattern(
        QStringLiteral("^questions/(A_B|C_D)/tickets/([^/]+\\.json)$"));
    const QRegularExpressionMatch match = pattern.match(relative);
    if (!match.hasMatch())
        return false;
    if (category)
        *category = match.captured(1);
    if (name)
        *name = match.captured(2);
    return true;
}

std::unique_ptr<TicketSource> TicketSource::forPath(const QString &path)
{
    if (QFileInfo(path).isDir())
        return std::make_unique<FolderSource>(path);
    return std::make_unique<ArchiveSource>(path);
}

void TicketSource::setFault(Fault::Kind kind, const QString &entry, const QString &detail)
{
    m_fault = Fault{kind, entry, detail};
}

void TicketSource::addTicketFile(const QString &category, const QString &name,
                                 const QByteArray &bytes)
{
    m_tickets[category].insert(name, bytes);
}

void TicketSource::addTicketError(const QString &category, const QString &name,
                                  const QString &error)
{
    m_ticketErrors[category].insert(name, error);
}
