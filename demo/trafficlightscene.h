#pragma once

#include <QImage>

// Traffic lights beside the road, in the state a question asks about.
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
    // An additional section with a right arrow beside the green lamp.
    bool rightSection = false;
    Lamp rightArrow = Lamp::Off;
    // Reversible light: which signal shows (Cross red, ArrowDown green,
    // ArrowDiagonal yellow).
    Shape reversible = Shape::Cross;
};

namespace TrafficLightScene {
QImage picture(const LightState &state);
}
