#pragma once

#include "reference.h"

#include <QStandardItemModel>

// One tab of the reference as a tree: the groups of the source at the top,
// their entries below with picture, number and title. The fines have no
// groups and stand at the top themselves.
class ReferenceEntryModel : public QStandardItemModel
{
    Q_OBJECT
public:
    enum Role
    {
        SearchTextRole = Qt::UserRole + 1, // number, title and description
        NumberRole,
        DescriptionRole,
        SvgRole,
    };

    // Every entry has an icon of `iconSize`, blank for one without a
    // picture, so that the titles stand in one column.
    ReferenceEntryModel(const Reference &reference, ReferenceKind kind, const QSize &iconSize,
                        qreal pixelRatio, QObject *parent = nullptr);
    ReferenceEntryModel(const QList<Penalty> &penalties, QObject *parent = nullptr);

    // The item of `number`, or an invalid index.
    QModelIndex indexOf(const QString &number) const;
};
