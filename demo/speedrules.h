#pragma once

// Speed limits by vehicle and road, as the speed questions ask them.
namespace SpeedRules {

enum class Vehicle
{
    Car,
    Motorcycle,
    LightTruck, // permitted maximum mass up to 3.5 t
    HeavyTruck, // permitted maximum mass over 3.5 t
    CarWithTrailer,
    TowingCar, // a car towing a broken-down vehicle
};

enum class Road
{
    Settlement, // inside a settlement
    Outside,    // outside settlements, not a motorway
    Motorway,
    Residential, // a residential zone
};

// The highest permitted speed in km/h; 0 where the demo does not ask (a car
// towing on a motorway).
int limit(Vehicle vehicle, Road road);

} // namespace SpeedRules
