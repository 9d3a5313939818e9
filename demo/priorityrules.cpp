#include "priorityrules.h"

namespace PriorityRules {

namespace {

int relative(const Mover &from, const Mover &to)
{
    return ((to.approach - from.approach) % 4 + 4) % 4;
}

// b comes from a's right.
bool conflictsFromRight(Move a, Move b)
{
    switch (a) {
    case Move::Straight:
        return true; // crosses b's straight path and left turn, meets b's right turn
    case Move::Right:
        return false; // stays in its own corner
    case Move::Left:
        return b != Move::Right;
    }
    return false;
}

} // namespace

bool unresolved(const Mover &a, const Mover &b)
{
    return relative(a, b) == 2 && a.move == Move::Left && b.move == Move::Left;
}

bool conflicts(const Mover &a, const Mover &b)
{
    switch (relative(a, b)) {
    case 1:
        return conflictsFromRight(a.move, b.move);
    case 3:
        return conflictsFromRight(b.move, a.move);
    case 2:
        // Oncoming: only a left turn meets the other's straight path or
        // right turn.
        return (a.move == Move::Left) != (b.move == Move::Left);
    default:
        return false;
    }
}

bool onMainRoad(int approach, Roads roads)
{
    switch (roads) {
    case Roads::Equal:
        return false;
    case Roads::MainNorthSouth:
        return approach % 2 == 0;
    case Roads::MainEastWest:
        return approach % 2 == 1;
    }
    return false;
}

bool mustYield(const Mover &a, const Mover &b, Roads roads)
{
    if (!conflicts(a, b))
        return false;
    const bool aMain = onMainRoad(a.approach, roads);
    const bool bMain = onMainRoad(b.approach, roads);
    if (aMain != bMain)
        return !aMain;
    if (a.tram != b.tram)
        return !a.tram;
    switch (relative(a, b)) {
    case 1:
        return true; // b approaches from the right
    case 2:
        return a.move == Move::Left; // a turns left across oncoming traffic
    default:
        return false;
    }
}

QList<QList<int>> order(const QList<Mover> &movers, Roads roads)
{
    for (int i = 0; i < movers.size(); ++i) {
        for (int j = i + 1; j < movers.size(); ++j) {
            if (unresolved(movers.at(i), movers.at(j)))
                return {};
        }
    }
    QList<int> waiting;
    for (int i = 0; i < movers.size(); ++i)
        waiting << i;
    QList<QList<int>> steps;
    while (!waiting.isEmpty()) {
        QList<int> free;
        for (int i : waiting) {
            bool yields = false;
            for (int j : waiting) {
                if (i != j && mustYield(movers.at(i), movers.at(j), roads))
                    yields = true;
            }
            if (!yields)
                free << i;
        }
        if (free.isEmpty())
            return {};
        for (int i : free)
            waiting.removeOne(i);
        steps << free;
    }
    return steps;
}

} // namespace PriorityRules
