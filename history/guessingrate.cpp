#include "guessingrate.h"

#include <algorithm>

namespace {

int knownVariants(int variants)
{
    return variants >= 2 && variants <= 5 ? variants : GuessingRate::UnknownVariants;
}

} // namespace

double GuessingRate::Estimate::forVariants(int variants) const
{
    const double blind = 1.0 / knownVariants(variants);
    return std::clamp(blind + (1.0 - blind) * lift, 0.0, 1.0);
}

GuessingRate::Estimate GuessingRate::estimate(const QList<FirstAnswer> &firstAnswers)
{
    Estimate e;
    double surplus = 0; // right answers beyond a blind guess
    double room = 0;    // what could be beyond it: sum of (1 - 1/k)
    for (const FirstAnswer &a : firstAnswers) {
        const double blind = 1.0 / knownVariants(a.variants);
        surplus += (a.right ? 1.0 : 0.0) - blind;
        room += 1.0 - blind;
        ++e.firstAnswers;
        e.firstRight += a.right ? 1 : 0;
    }
    if (!e.estimated())
        return e;
    // The moment estimate (right answers beyond a blind guess over the room
    // for them), with PriorAnswers pseudo-answers of three
    // variants at lift 0 added to the room.
    const double priorRoom = PriorAnswers * (1.0 - 1.0 / UnknownVariants);
    e.lift = std::clamp(surplus / (room + priorRoom), MinLift, MaxLift);
    return e;
}
