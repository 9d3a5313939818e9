#include "marathoncarryover.h"

#include <QHash>

#include <algorithm>

MarathonState
MarathonCarryOver::carry(const MarathonState &from, const QList<qint64> &oldKeys,
                         const QList<qint64> &newKeys,
                         const std::function<std::optional<bool>(int)> &marathonAnswer)
{
    QHash<qint64, int> newNumberOf;
    for (qsizetype i = 0; i < newKeys.size(); ++i)
        newNumberOf.insert(newKeys[i], int(i + 1));
    QList<bool> placed(newKeys.size(), false);

    MarathonState to;
    to.right = from.right;
    to.wrong = from.wrong;
    for (qsizetype i = 0; i < from.order.size(); ++i) {
        const int old = from.order[i];
        const bool answered = i < from.position;
        const auto found = old >= 1 && old <= oldKeys.size()
                               ? newNumberOf.constFind(oldKeys[old - 1])
                               : newNumberOf.cend();
        if (found != newNumberOf.cend() && !placed[*found - 1]) {
            placed[*found - 1] = true;
            to.order.append(*found);
            to.position += answered ? 1 : 0;
        } else if (answered && marathonAnswer) {
            if (const auto right = marathonAnswer(old))
                (*right ? to.right : to.wrong) -= 1;
        }
    }
    for (qsizetype i = 0; i < placed.size(); ++i) {
        if (!placed[i])
            to.order.append(int(i + 1));
    }
    to.right = std::max(0, to.right);
    to.wrong = std::max(0, to.wrong);
    if (to.right + to.wrong > to.position) {
        to.right = 0;
        to.wrong = 0;
    }
    return to;
}
