#pragma once

#include "reference.h"

#include <QStringList>

#include <atomic>

class TicketSource;

// Reads the reference that a source in the common open layout may carry
// beside its tickets:
//   signs/signs.json, markup/markup.json — groups -> number -> {number,
//     title, image, description} (markings have no title), pictures as SVG
//     under images/;
//   penalties/penalties.json — JSON Lines, one {article_part, text,
//     penalty} object a line.
// A source with none of the three has no reference and no problems. Each
// fault (a missing file, a missing or broken picture, a number given twice,
// an unreadable line) is one message, and the rest is read: an entry keeps
// its text without the picture, a twice-given number its first entry.
namespace ReferenceReader {

inline const QString SignsPath = QStringLiteral("signs/signs.json");
inline const QString MarkupPath = QStringLiteral("markup/markup.json");
inline const QString PenaltiesPath = QStringLiteral("penalties/penalties.json");

struct Outcome
{
    Reference reference;
    QStringList problems; // in English, as dbv reports them
    bool cancelled = false;
};

Outcome read(TicketSource &source, const std::atomic<bool> *cancel = nullptr);

// Groups keep no order in JSON objects as Qt reads them; they and their
// entries go in the order of their numbers (1.x before 2.x, 3.2 before
// 3.10), which is the order of the rules themselves.
bool numberLess(const QString &a, const QString &b);

} // namespace ReferenceReader
