#pragma once

#include <QList>

// Right of way at a four-way intersection without traffic lights, for the
// intersection sketches. Approaches are numbered clockwise as seen from
// above: 0 south (you), 1 east, 2 north, 3 west, so that approach a + 1 is
// on the right of a driver coming from a.
namespace PriorityRules {

enum class Move
{
    Straight,
    Left,
    Right
};
// Which road is the main one; with Equal all roads are of equal rank.
enum class Roads
{
    Equal,
    MainNorthSouth,
    MainEastWest
};

struct Mover
{
    int approach; // 0..3
    Move move;
    bool tram = false;
};

// Whether the paths of a and b cross or lead into the same exit lane.
bool conflicts(const Mover &a, const Mover &b);
// Two oncoming drivers both turning left: the rules leave their order to
// the drivers, so such scenes are not asked about.
bool unresolved(const Mover &a, const Mover &b);
bool onMainRoad(int approach, Roads roads);
// Whether a must give way to b (their paths conflict and b has priority). A
// tram goes before trackless vehicles of the same road rank, whatever its
// direction; a minor road gives way to the main one, trams included.
bool mustYield(const Mover &a, const Mover &b, Roads roads);
// The order of passage: groups of movers (indices into `movers`) that go
// together, first group first. Empty when the movers would wait for each
// other in a circle or when a pair is unresolved.
QList<QList<int>> order(const QList<Mover> &movers, Roads roads);

} // namespace PriorityRules
