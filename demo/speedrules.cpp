#include "speedrules.h"

#include <algorithm>

namespace SpeedRules {

int limit(Vehicle vehicle, Road road)
{
    if (road == Road::Residential)
        return 20;
    if (vehicle == Vehicle::TowingCar)
        return road == Road::Motorway ? 0 : 50;
    if (road == Road::Settlement)
        return 60;
    const bool motorway = road == Road::Motorway;
    switch (vehicle) {
    case Vehicle::Car:
    case Vehicle::Motorcycle:
    case Vehicle::LightTruck:
        return motorway ? 110 : 90;
    case Vehicle::HeavyTruck:
    case Vehicle::CarWithTrailer:
        return motorway ? 90 : 70;
    case Vehicle::TowingCar:
        break;
    }
    return 0;
}

} // namespace SpeedRules
