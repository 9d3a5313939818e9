#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QString>

// A road seen from the driver's seat, in perspective: the lanes and their
// markings, and whatever stands on or beside the road at a given distance
// (vehicles, people, signs, lights, a pedestrian crossing, rails). Places
// are in metres: `across` from the road's centre line (positive to the
// right), `ahead` from the driver's eyes.
struct StreetScene
{
    enum class Line
    {
        None,
        Broken,
        Solid,
        DoubleSolid,
        // Solid on the driver's side, broken on the other (1.11).
        SolidNear,
        // Broken on the driver's side, solid on the other.
        BrokenNear,
        // Long strokes and short gaps (1.6) turning into a solid line (1.1)
        // 15 m ahead.
        Warning
    };

    enum class Kind
    {
        Car,
        Truck,
        Bus,
        Motorcycle,
        Tram,
        Pedestrian,
        Cyclist,
        Scooter,    // a person on an electric scooter (personal mobility device)
        Sign,       // `sign` on a post; `label` under it as a plate, if any
        Light,      // a traffic light on a post: `light` is "red", "yellow", "green", "redyellow",
                    // "off", "flashing"
        RailLight,  // the two-lamp railway crossing light, one red lamp lit when `light` is "red"
        Crossing,   // zebra (1.14.1) over the whole road at `ahead`
        StopLine,   // 1.12 across the driver's half at `ahead`
        Rails,      // railway tracks across the road at `ahead`
        SideRoad,   // a crossing road from `ahead` to `ahead + 9`
        TramTracks, // tram tracks along the centre line
        LaneArrow,  // 1.18 arrow on the road in the lane at `across`; `sign` = "straight", "left",
                    // "right", "straightright", "straightleft"
        Houses,     // buildings along both sides (a town)
        Controller, // a traffic controller facing the driver, arms `light` = "up", "side", "down"
        // An entrance off the road across the pavement, 7 m wide from `ahead`,
        // on the side of `across` (negative: left). `sign` = "yard" opens an
        // archway in the houses; "shop" a car park in front of a shop.
        Driveway,
        // A footpath leaving the road to the right at `ahead`, across the grass.
        Footpath
    };

    struct Item
    {
        Kind kind = Kind::Car;
        double across = 0;
        double ahead = 20;
        bool oncoming = false;
        QColor color = QColor(0x2F, 0x6D, 0xB5);
        QString sign;
        QString light;
        // Signs and lights are drawn larger than true scale so that they read
        // at the exam window's picture size.
        double scale = 1.0;
        bool signalLeft = false;  // the vehicle's left indicator is on
        bool signalRight = false; // the right one
        bool brake = false;       // brake lights lit
    };

    int lanesRight = 1; // lanes in the driver's direction
    int lanesLeft = 1;  // oncoming lanes
    int driverLane = 0; // 0 = the rightmost lane
    double laneWidth = 3.5;
    Line centre = Line::Broken;
    Line lanes = Line::Broken; // between lanes of one direction
    bool winter = false;
    // A dividing strip between the two directions (a motorway).
    bool divided = false;
    // The road ends this far ahead at a road crossing it (a T-junction);
    // 0: it goes on to the horizon.
    double endsAt = 0;
    QList<Item> items;

    // Centre of lane `lane` (0 = rightmost) of the driver's direction, or of
    // the oncoming direction, in metres across.
    double laneCentre(int lane, bool oncoming = false) const;

    QImage render() const;
};
