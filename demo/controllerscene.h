#pragma once

#include <QImage>

// A regulated junction seen from above with the traffic controller in its
// middle: his body, the way he faces, his arms and the baton in his right
// hand, and your red car at the southern approach.
namespace ControllerScene {

// Which side of the controller the driver sees.
enum class Facing
{
    Chest,
    Back,
    LeftSide,
    RightSide
};

// His arms, as the rules describe the signals.
enum class Arms
{
    Sides,       // stretched out to both sides
    Down,        // lowered
    RightForward // the right arm stretched forward, the left one lowered
};

QImage picture(Facing facing, Arms arms);

} // namespace ControllerScene
