#pragma once

#include "streetscene.h"

#include <QImage>
#include <QList>

// Traffic lights in the state a question asks about, drawn large beside
// the place they govern: a town junction with its stop line and crossing,
// or a railway crossing.
struct LightState
{
    enum class Kind
    {
        Vehicle,
        Reversible,
        Railway,
        Pedestrian
    };
    enum class Lamp
    {
        Off,
        On,
        Flashing
    };
    enum class Shape
    {
        Round,
        ArrowLeft,
        ArrowRight,
        ArrowDown,
        ArrowDiagonal,
        Cross
    };

    Kind kind = Kind::Vehicle;
    // Vehicle: red, yellow, green. Railway: the two red lamps and the
    // white-moon lamp. Pedestrian: red, green. Reversible: one lamp.
    Lamp red = Lamp::Off;
    Lamp yellow = Lamp::Off;
    Lamp green = Lamp::Off;
    Shape greenShape = Shape::Round;
    // Black contour arrows drawn on the red and yellow lamps (straight and
    // right), which only tell where the green will let you go.
    bool contourArrows = false;
    // Additional sections with a right or a left arrow beside the green lamp.
    bool rightSection = false;
    Lamp rightArrow = Lamp::Off;
    bool leftSection = false;
    Lamp leftArrow = Lamp::Off;
    // Reversible light: which signal shows (Cross red, ArrowDown green,
    // ArrowDiagonal yellow).
    Shape reversible = Shape::Cross;
    // Who else is at the junction (or crossing), drawn from the driver's
    // seat behind the light; empty: a quiet junction.
    QList<StreetScene::Item> traffic;
};

namespace TrafficLightScene {
QImage picture(const LightState &state);
}
