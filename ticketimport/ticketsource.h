#pragma once

#include <QByteArray>
#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

// Where the tickets of an import come from: a folder in the common open JSON
// layout, or an archive of one. Paths are relative to the root of the
// layout, with "/" between folders ("questions/A_B/tickets/Билет 1.json",
// "images/A_B/x.jpg").
//
// A source is read in two steps: open() finds the ticket files of every
// category and reads them into memory (they are small); readFiles() then
// reads the pictures the tickets name, and nothing else.
class TicketSource
{
public:
    // What stops a source from being read at all. Each kind has a message
    // in English (dbv) and in Russian (the program).
    struct Fault
    {
        enum class Kind
        {
            None,
            Missing,      // the source does not exist
            NotArchive,   // a file that no archive format recognises
            Damaged,      // truncated or otherwise unreadable past some point
            PathEscapes,  // an entry whose path leaves the root
            Link,         // a symbolic or hard link
            SpecialEntry, // a device, a pipe, a socket
            TooLarge,     // unpacks to more than the limit
            TooManyEntries,
            Unreadable, // the file system refused
            Cancelled,
        };
        Kind kind = Kind::None;
        QString entry;  // the entry or file concerned, when there is one
        QString detail; // the library's or system's own words, or a figure

        explicit operator bool() const { return kind != Kind::None; }
        QString english() const;
        QString russian() const;
    };

    enum class FileKind
    {
        Missing,
        File,
        Link
    };

    virtual ~TicketSource() = default;

    // Reads the list of what is there and every ticket file. False with
    // fault() set when the source cannot be used.
    virtual bool open(const std::atomic<bool> *cancel = nullptr) = 0;

    // Whether `relative` is a regular file of the source (after open()).
    virtual FileKind lookup(const QString &relative) const = 0;

    // Reads the files at `paths` into `contents`; a file that cannot be read
    // gets its reason in `errors` (by path) instead. `onFile` is called
    // after each file read. False with fault() set when the source as a
    // whole failed.
    virtual bool readFiles(const QStringList &paths, QHash<QString, QByteArray> *contents,
                           QHash<QString, QString> *errors,
                           const std::function<void(int)> &onFile = {},
                           const std::atomic<bool> *cancel = nullptr) = 0;

    const Fault &fault() const { return m_fault; }

    // The categories with at least one ticket file ("A_B", "C_D"), after open().
    QStringList categories() const;
    // The ticket files of `category`: file name -> bytes; a file that could
    // not be read maps to its reason in ticketErrors() instead.
    QMap<QString, QByteArray> ticketFiles(const QString &category) const;
    QMap<QString, QString> ticketErrors(const QString &category) const;

    // The file names the import reads ticket files from, and whether a
    // relative path is one of them ("questions/<CAT>/tickets/<name>.json").
    static bool isTicketPath(const QString &relative, QString *category = nullptr,
                             QString *name = nullptr);

    // The largest ticket file and picture read into memory: a ticket of
    // twenty questions is tens of kilobytes and a picture a few hundred;
    // anything far larger is not one, and is refused before it is read.
    static constexpr qint64 MaxTicketFileSize = 8 * 1024 * 1024;
    static constexpr qint64 MaxPictureFileSize = 32 * 1024 * 1024;

    // A folder for a folder, an archive for anything else.
    static std::unique_ptr<TicketSource> forPath(const QString &path);

protected:
    void setFault(Fault::Kind kind, const QString &entry = {}, const QString &detail = {});
    void addTicketFile(const QString &category, const QString &name, const QByteArray &bytes);
    void addTicketError(const QString &category, const QString &name, const QString &error);

private:
    Fault m_fault;
    QMap<QString, QMap<QString, QByteArray>> m_tickets;
    QMap<QString, QMap<QString, QString>> m_ticketErrors;
};
