#include "controllerscene.h"

#include "picturestyle.h"
#include "vehiclepainter.h"

#include <QPainter>

#include <cmath>

using namespace PictureStyle;

namespace {

constexpr double CentreX = Width / 2.0;
constexpr double CentreY = Height / 2.0;
constexpr double Half = 56; // half the width of a road
const QColor Coat(0x2C, 0x3E, 0x5C);
const QColor Skin(0xF1, 0xC8, 0xA5);

void paintJunction(QPainter &p)
{
    p.fillRect(QRectF(0, 0, Width, Height), Grass);
    p.setPen(Qt::NoPen);
    p.fillRect(QRectF(0, CentreY - Half - 12, Width, 2 * Half + 24), Pavement);
    p.fillRect(QRectF(CentreX - Half - 12, 0, 2 * Half + 24, Height), Pavement);
    p.fillRect(QRectF(0, CentreY - Half, Width, 2 * Half), RoadGrey);
    p.fillRect(QRectF(CentreX - Half, 0, 2 * Half, Height), RoadGrey);
    p.setBrush(White);
    // Centre lines on the arms, stop lines and crossings before the junction.
    for (double x = 8; x < CentreX - Half - 40; x += 34) {
        p.drawRect(QRectF(x, CentreY - 1.5, 18, 3));
        p.drawRect(QRectF(Width - x - 18, CentreY - 1.5, 18, 3));
    }
    for (double y = CentreY + Half + 40; y < Height; y += 34)
        p.drawRect(QRectF(CentreX - 1.5, y, 3, 18));
    for (double y = 0; y < CentreY - Half - 40; y += 34)
        p.drawRect(QRectF(CentreX - 1.5, y, 3, 18));
    for (double k = -Half + 4; k < Half - 6; k += 14) {
        p.drawRect(QRectF(CentreX + k, CentreY + Half + 6, 8, 22));
        p.drawRect(QRectF(CentreX + k, CentreY - Half - 28, 8, 22));
        p.drawRect(QRectF(CentreX - Half - 28, CentreY + k, 22, 8));
        p.drawRect(QRectF(CentreX + Half + 6, CentreY + k, 22, 8));
    }
    p.drawRect(QRectF(CentreX + 2, CentreY + Half + 32, Half - 2, 4));
}

// The baton: black and white stripes.
void paintBaton(QPainter &p, QPointF from, QPointF direction)
{
    for (int k = 0; k < 6; ++k) {
        p.setPen(QPen(k % 2 == 0 ? White : Black, 7, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(from + direction * (k * 7.0), from + direction * (k * 7.0 + 7));
    }
    p.setPen(Qt::NoPen);
}

void paintController(QPainter &p, QPointF at, ControllerScene::Facing facing,
                     ControllerScene::Arms arms)
{
    using F = ControllerScene::Facing;
    using A = ControllerScene::Arms;
    // Where he looks, on screen (the driver comes from below): his right hand
    // is a quarter turn clockwise from it. Drawn about twice the size of the
    // cars so that the arms read.
    QPointF front;
    switch (facing) {
    case F::Chest:
        front = QPointF(0, 1);
        break;
    case F::Back:
        front = QPointF(0, -1);
        break;
    case F::LeftSide:
        front = QPointF(-1, 0);
        break;
    case F::RightSide:
        front = QPointF(1, 0);
        break;
    }
    const QPointF right(-front.y(), front.x());
    const QPointF shoulderR = at + right * 24;
    const QPointF shoulderL = at - right * 24;
    // Arms: stretched out they reach well past the shoulders; lowered, only
    // the hands show beside the body from above.
    QPointF handR, handL, baton;
    switch (arms) {
    case A::Sides:
        handR = shoulderR + right * 46;
        handL = shoulderL - right * 46;
        baton = right;
        break;
    case A::Down:
        handR = shoulderR + right * 6 + front * 4;
        handL = shoulderL - right * 6 + front * 4;
        baton = front;
        break;
    case A::RightForward:
        handR = shoulderR + front * 50;
        handL = shoulderL - right * 6 + front * 4;
        baton = front;
        break;
    }
    p.setPen(QPen(Coat, 12, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(shoulderR, handR);
    p.drawLine(shoulderL, handL);
    // The body: an oval across the shoulders, with a white strap across the
    // chest so that the front shows from above.
    p.save();
    p.translate(at);
    p.rotate(std::atan2(right.y(), right.x()) * 180 / M_PI);
    p.setPen(Qt::NoPen);
    p.setBrush(Coat);
    p.drawEllipse(QPointF(0, 0), 30, 14);
    p.setBrush(White);
    // Turned so that x runs along his right arm, his front is towards -y.
    p.drawRect(QRectF(-20, -13, 40, 5));
    p.restore();
    p.setPen(Qt::NoPen);
    p.setBrush(Skin);
    p.drawEllipse(handR, 6, 6);
    p.drawEllipse(handL, 6, 6);
    // The baton points on from the right hand.
    paintBaton(p, handR + baton * 4, baton);
    // The head with its white cap and a black peak towards where he looks.
    p.setBrush(Black);
    p.drawEllipse(at + front * 9, 10, 10);
    p.setBrush(White);
    p.drawEllipse(at, 13, 13);
}

} // namespace

QImage ControllerScene::picture(Facing facing, Arms arms)
{
    QImage image = canvas();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paintJunction(p);
    // Your car waits at the stop line; a car on the crossing road waits too.
    VehiclePainter::paint(p, VehiclePainter::Type::Car,
                          QPointF(CentreX + Half / 2, CentreY + Half + 70), -90, SignalRed);
    VehiclePainter::paint(p, VehiclePainter::Type::Car,
                          QPointF(CentreX - Half - 80, CentreY + Half / 2), 0, DeepBlue);
    paintController(p, QPointF(CentreX, CentreY), facing, arms);
    return image;
}
