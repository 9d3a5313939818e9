#pragma once

#include "ticketsource.h"

#include <QDir>

// A folder in the ticket layout on disk. Links are never followed: a ticket
// file, a picture or a folder on the way to one that is a symbolic link (or
// a Windows shortcut) is reported as a link, so nothing outside the folder
// is read through it.
class FolderSource : public TicketSource
{
public:
    explicit FolderSource(const QString &root);

    bool open(const std::atomic<bool> *cancel = nullptr) override;
    FileKind lookup(const QString &relative) const override;
    bool readFiles(const QStringList &paths, QHash<QString, QByteArray> *contents,
                   QHash<QString, QString> *errors, const std::function<void(int)> &onFile = {},
                   const std::atomic<bool> *cancel = nullptr) override;

    QString root() const { return m_root.absolutePath(); }

private:
    // Reads one file of at most `limit` bytes; nullopt-like empty with
    // `error` set when it is a link, missing, too large or unreadable.
    QByteArray readFile(const QString &relative, qint64 limit, QString *error) const;

    QDir m_root;
};
