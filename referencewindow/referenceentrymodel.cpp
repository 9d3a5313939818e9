#include "referenceentrymodel.h"

#include "svgpicture.h"

ReferenceEntryModel::ReferenceEntryModel(const Reference &reference, ReferenceKind kind,
                                         const QSize &iconSize, qreal pixelRatio, QObject *parent)
    : QStandardItemModel(parent)
{
    QPixmap blank(qRound(iconSize.width() * pixelRatio), qRound(iconSize.height() * pixelRatio));
    blank.fill(Qt::transparent);
    blank.setDevicePixelRatio(pixelRatio);
    for (const ReferenceGroup &group : reference.groups(kind)) {
        auto *groupItem = new QStandardItem(group.name);
        groupItem->setSelectable(false);
        groupItem->setEditable(false);
        QFont bold = groupItem->font();
        bold.setBold(true);
        groupItem->setFont(bold);
        for (const ReferenceEntry &entry : group.entries) {
            const QString caption =
                entry.title.isEmpty() ? entry.number : entry.number + u' ' + entry.title;
            auto *item = new QStandardItem(caption);
            item->setEditable(false);
            const QPixmap icon = SvgPicture::render(entry.svg, iconSize, pixelRatio);
            item->setIcon(QIcon(icon.isNull() ? blank : icon));
            item->setData(QStringList{entry.number, entry.title, entry.description}.join(u'\n'),
                          SearchTextRole);
            item->setData(entry.number, NumberRole);
            item->setData(entry.description, DescriptionRole);
            item->setData(entry.svg, SvgRole);
            groupItem->appendRow(item);
        }
        appendRow(groupItem);
    }
}

ReferenceEntryModel::ReferenceEntryModel(const QList<Penalty> &penalties, QObject *parent)
    : QStandardItemModel(parent)
{
    for (const Penalty &penalty : penalties) {
        auto *item =
            new QStandardItem(QStringLiteral("%1 — %2").arg(penalty.article, penalty.text));
        item->setEditable(false);
        item->setData(QStringList{penalty.article, penalty.text, penalty.penalty}.join(u'\n'),
                      SearchTextRole);
        item->setData(penalty.article, NumberRole);
        item->setData(penalty.text + QStringLiteral("\n\nНаказание: ") + penalty.penalty,
                      DescriptionRole);
        appendRow(item);
    }
}

QModelIndex ReferenceEntryModel::indexOf(const QString &number) const
{
    const QModelIndexList found =
        match(index(0, 0), NumberRole, number, 1, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? QModelIndex() : found.first();
}
