#include "ruleparagraphs.h"

#include <QHash>
#include <QSet>

namespace {

// The last paragraph of each of the 25 sections, and the sub-paragraphs
// with a number of their own («2.1.1», «22.2.1») or with one added in
// brackets when the rules were amended («13.11(1)»).
const QHash<int, int> &lastOfSection()
{
    static const QHash<int, int> table = {
        {1, 6},   {2, 7},  {3, 6},  {4, 8},   {5, 3},  {6, 16},  {7, 3},  {8, 13}, {9, 12},
        {10, 5},  {11, 7}, {12, 8}, {13, 13}, {14, 7}, {15, 5},  {16, 3}, {17, 4}, {18, 3},
        {19, 11}, {20, 4}, {21, 7}, {22, 9},  {23, 5}, {24, 11}, {25, 6},
    };
    return table;
}

const QSet<QString> &deeper()
{
    static const QSet<QString> table = {
        QStringLiteral("2.1.1"),  QStringLiteral("2.1.1(1)"), QStringLiteral("2.1.2"),
        QStringLiteral("2.3.1"),  QStringLiteral("2.3.2"),    QStringLiteral("2.3.3"),
        QStringLiteral("2.3.4"),  QStringLiteral("2.6.1"),    QStringLiteral("2.6.2"),
        QStringLiteral("22.2.1"), QStringLiteral("9.1(1)"),   QStringLiteral("13.11(1)"),
        QStringLiteral("2.7(1)"),
    };
    return table;
}

} // namespace

bool RuleParagraphs::exists(const QString &number)
{
    if (deeper().contains(number))
        return true;
    const QStringList parts = number.split(u'.');
    if (parts.size() != 2)
        return false;
    bool sectionOk = false, paragraphOk = false;
    const int section = parts.at(0).toInt(&sectionOk);
    QString paragraphText = parts.at(1);
    // «13.11(1)» not in the list above: the bracket is not a paragraph.
    if (paragraphText.contains(u'('))
        return false;
    const int paragraph = paragraphText.toInt(&paragraphOk);
    return sectionOk && paragraphOk && paragraph >= 1 &&
           paragraph <= lastOfSection().value(section, 0);
}
