#pragma once

#include <QImage>
#include <QPainter>
#include <QString>

// A straight road seen from above, with the markings a question is about and
// your car (red) driving to the right.
struct MarkingLayout
{
    enum class Centre
    {
        Solid,
        DoubleSolid,
        Broken,
        Approach,
        SolidOnOurSide,
        BrokenOnOurSide,
        ReversibleDouble
    };
    Centre centre = Centre::Broken;
    int oncomingLanes = 1;
    int ourLanes = 1;
    bool edgeLine = false;         // solid white lines along the edges
    bool yellowSolidEdge = false;  // along our kerb
    bool yellowBrokenEdge = false; // along our kerb
    bool zigzag = false;           // stop of route vehicles at our kerb
    bool zebra = false;
    bool stopLine = false;
    bool giveWayLine = false;     // triangles across our lanes
    bool giveWayTriangle = false; // the triangle painted before the give-way line
    bool wideBroken = false;      // between our two lanes: acceleration lane
    // Lane arrows painted in our lanes, rightmost lane first: letters S
    // (straight), L (left), R (right) combined, e.g. "S", "SL".
    QStringList arrows;
    int carLane = 0; // our lanes counted from the right
    bool carInOncomingLane = false;
};

namespace MarkingScene {
// A two-way road with `lanesEachWay` lanes in each direction, the centre
// marked as given and your car in the leftmost lane of yours.
MarkingLayout road(MarkingLayout::Centre centre, int lanesEachWay = 1);
QImage picture(const MarkingLayout &layout);
// The same scene on any painter (an SVG generator for the reference), in
// the picture's Width x Height units.
void paint(QPainter &painter, const MarkingLayout &layout);
} // namespace MarkingScene
