#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

// The import of exam tickets in the common open JSON layout, from a folder
// or an archive, into a question database with its topics file beside it.
// `dbv import` and the program's import dialog both run it.
namespace TicketImport {

// The longest title the database's title field holds.
inline constexpr int MaxTitleLength = 50;

enum class Stage
{
    Reading,  // the source's list and its ticket files
    Tickets,  // the tickets parsed, `done` of 40
    Pictures, // the pictures read and converted, `done` of `total`
    Checking, // the result checked as `dbv check` would
    Writing,
};

struct Progress
{
    Stage stage = Stage::Reading;
    int done = 0;
    int total = 0;
};

struct Request
{
    QString source;   // a folder or an archive
    QString category; // "A_B" or "C_D"
    QString title;
    QString outputPath;
};

struct Summary
{
    int pictures = 0;
    int kept = 0;
    int reencoded = 0;
    int scaled = 0;
    int picturesFoundFromImages = 0;
    int replacementCount = 0;
    QMap<QString, int> replacements; // "U+2264 '≤' -> '<='" and how often
    int topics = 0;
    qint64 bytes = 0; // of the database written
    // The reference beside the tickets, when the source carries one: what
    // was read, and what was left out with the reason (it does not stop
    // the import).
    int signs = 0;
    int markings = 0;
    int penalties = 0;
    QStringList referenceProblems;
};

struct Result
{
    enum class Status
    {
        Written,
        Problems, // the tickets have faults: `problems` lists each one
        Refused,  // the source or the output cannot be used: `problems[0]`
        Cancelled,
    };
    Status status = Status::Problems;
    QStringList problems;  // in English, as dbv reports them
    QString russianReason; // with Refused, the same for the program
    Summary summary;
};

using ProgressHandler = std::function<void(const Progress &)>;

// Runs the whole import. The database, its topics file and its reference
// (when the source carries one) go to the output together. Nothing is written unless the result is
// Written: not on a fault, not when cancelled. The database and its topics file replace what is at
// the output together or not at all. `onProgress` is called from the calling thread; `cancel` is
// read at every step and may be set from any thread.
Result run(const Request &request, const ProgressHandler &onProgress = {},
           const std::atomic<bool> *cancel = nullptr);

// The categories a source holds ("A_B", "C_D"); empty with `fault` set
// (English and Russian) when the source cannot be read.
QStringList categoriesIn(const QString &source, QString *englishFault = nullptr,
                         QString *russianFault = nullptr);

// The title a database of `category` gets unless one is given.
QString defaultTitle(const QString &category);

} // namespace TicketImport
