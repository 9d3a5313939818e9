#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The reference of a question database: road signs and markings in their
// groups, each with a number, a title (markings usually have none), a
// description and an SVG picture, and the fines of the administrative code.
struct ReferenceEntry
{
    QString number; // "2.4", "1.14.1"
    QString title;
    QString description;
    QByteArray svg; // empty when the source had no usable picture

    friend bool operator==(const ReferenceEntry &, const ReferenceEntry &) = default;
};

struct ReferenceGroup
{
    QString name; // "Знаки приоритета"
    QList<ReferenceEntry> entries;

    friend bool operator==(const ReferenceGroup &, const ReferenceGroup &) = default;
};

struct Penalty
{
    QString article; // "12.16 ч. 1"
    QString text;
    QString penalty;

    friend bool operator==(const Penalty &, const Penalty &) = default;
};

enum class ReferenceKind
{
    Sign,
    Marking
};

struct Reference
{
    QList<ReferenceGroup> signs;
    QList<ReferenceGroup> markings;
    QList<Penalty> penalties;

    bool isEmpty() const { return signs.isEmpty() && markings.isEmpty() && penalties.isEmpty(); }
    const QList<ReferenceGroup> &groups(ReferenceKind kind) const
    {
        return kind == ReferenceKind::Sign ? signs : markings;
    }
    // The entry of `number`, or null when the reference does not hold it.
    const ReferenceEntry *find(ReferenceKind kind, const QString &number) const;
    int entryCount(ReferenceKind kind) const;

    friend bool operator==(const Reference &, const Reference &) = default;
};
