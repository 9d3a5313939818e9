#pragma once

#include "reference.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// The reference lives beside its database, in the same path with ".dbv"
// replaced by ".reference.json": one UTF-8 JSON file that carries the SVG
// pictures as text, so that the database and its reference are copied and
// kept together as two files, like the topics file.
//
//   {"reference": 1,
//    "signs":     [{"group": "Знаки приоритета",
//                   "entries": [{"number": "2.4", "title": "Уступите дорогу",
//                                "description": "…", "svg": "<svg …>"}]}],
//    "markings":  [… the same, "title" may be empty …],
//    "penalties": [{"article": "12.16 ч. 1", "text": "…", "penalty": "…"}]}
//
// The file is optional; a database without one has no reference.
namespace ReferenceFile {

inline constexpr int FormatVersion = 1;
// A reference of every sign and marking with pictures is a few megabytes;
// anything far larger is not one and is not read.
inline constexpr qint64 MaxFileSize = 64 * 1024 * 1024;

// "dir/dataAB.dbv" -> "dir/dataAB.reference.json".
QString pathFor(const QString &databasePath);

QByteArray toJson(const Reference &reference);

// Parses the file's contents. A file that is not of the shape above gives
// nullopt; a sound shape with faulty entries (a number given twice, an
// entry without a number, a picture that is not SVG) gives the reference
// and one message per fault in `problems`.
std::optional<Reference> parse(const QByteArray &json, QStringList *problems);

// Reads and parses the file at `path`; nullopt with the reason when it
// cannot be read or parsed.
std::optional<Reference> read(const QString &path, QStringList *problems);

// The faults of a reference as `dbv check` reports them.
QStringList problems(const Reference &reference);

// Whether `svg` is a picture Qt SVG can draw.
bool isDrawableSvg(const QByteArray &svg);

} // namespace ReferenceFile
