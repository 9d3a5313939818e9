// Draws the statistics window's pictures: the four tab icons, the help and
// OK glyphs and the small picture before the heading. Run at build time with
// the output folder as its only argument.

#include "artpalette.h"

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <cmath>
#include <functional>

namespace {

using namespace ArtPalette;

using Painter = std::function<void(QPainter &, QSizeF)>;

// Draws the picture twice: `name` at its size and "name@2x" at twice the
// pixels for HiDPI screens, both painted in the same logical coordinates.
bool draw(const QString &folder, const QString &name, QSize size, const Painter &paint)
{
    bool ok = true;
    for (const qreal scale : {1.0, 2.0}) {
        QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(scale);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        paint(painter, QSizeF(size));
        painter.end();
        QString file = name;
        if (scale != 1.0)
            file.insert(file.lastIndexOf(u'.'), QStringLiteral("@2x"));
        ok &= image.save(QDir(folder).filePath(file), "PNG");
    }
    return ok;
}

QPainterPath star(QPointF centre, double outer, double inner)
{
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const double radius = i % 2 == 0 ? outer : inner;
        const double angle = -M_PI / 2 + i * M_PI / 5;
        const QPointF point(centre.x() + radius * std::cos(angle),
                            centre.y() + radius * std::sin(angle));
        if (i == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    path.closeSubpath();
    return path;
}

void questionMark(QPainter &p, QRectF box, const QColor &colour)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setBold(true);
    font.setPixelSize(int(box.height() * 1.05));
    p.setFont(font);
    p.setPen(colour);
    p.drawText(box, Qt::AlignCenter, QStringLiteral("?"));
}

void ratingStar(QPainter &p, QSizeF s)
{
    p.setPen(QPen(SignalRed.darker(130), 0.8));
    p.setBrush(SignalRed);
    p.drawPath(star(QPointF(s.width() / 2, s.height() / 2 + 0.6), 7.4, 3.1));
}

void timeShield(QPainter &p, QSizeF)
{
    QPainterPath shield;
    shield.moveTo(8, 1);
    shield.lineTo(14, 3);
    shield.cubicTo(14, 9, 12, 12.5, 8, 15);
    shield.cubicTo(4, 12.5, 2, 9, 2, 3);
    shield.closeSubpath();
    p.setPen(QPen(DeepBlue.darker(130), 0.8));
    p.setBrush(DeepBlue);
    p.drawPath(shield);
    // Clock hands on the shield: the time pages.
    p.setPen(QPen(Qt::white, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8, 8), QPointF(8, 4.5));
    p.drawLine(QPointF(8, 8), QPointF(10.5, 9.5));
}

void speechBubble(QPainter &p, QSizeF)
{
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(1, 2, 14, 9.5), 3, 3);
    QPainterPath tail;
    tail.moveTo(4, 10);
    tail.lineTo(3.5, 14.5);
    tail.lineTo(8, 10.5);
    tail.closeSubpath();
    p.setPen(QPen(Amber.darker(140), 0.8));
    p.setBrush(Amber);
    p.drawPath(bubble.united(tail));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (double x : {4.5, 8.0, 11.5})
        p.drawEllipse(QPointF(x, 6.8), 1.2, 1.2);
}

void questionsIcon(QPainter &p, QSizeF s)
{
    p.setPen(Qt::NoPen);
    p.setBrush(DeepBlue);
    p.drawEllipse(QRectF(0.5, 0.5, s.width() - 1, s.height() - 1));
    questionMark(p, QRectF(0, 0.5, s.width(), s.height() - 2), Qt::white);
}

void helpGlyph(QPainter &p, QSizeF s)
{
    questionMark(p, QRectF(0, 0, s.width(), s.height()), DeepBlue);
}

void okGlyph(QPainter &p, QSizeF)
{
    p.setPen(QPen(Green, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath tick;
    tick.moveTo(2.5, 8.5);
    tick.lineTo(6.5, 12.5);
    tick.lineTo(13.5, 3.5);
    p.drawPath(tick);
}

void headingPicture(QPainter &p, QSizeF s)
{
    p.setPen(QPen(RoadGrey, 1.0));
    p.drawLine(QPointF(1.5, s.height() - 1.5), QPointF(s.width() - 1, s.height() - 1.5));
    p.drawLine(QPointF(1.5, 1), QPointF(1.5, s.height() - 1.5));
    p.setPen(Qt::NoPen);
    const struct
    {
        double x;
        double height;
        QColor colour;
    } bars[] = {{3.5, 7, DeepBlue}, {7.5, 12, Green}, {11.5, 5, SignalRed}};
    for (const auto &bar : bars) {
        p.setBrush(bar.colour);
        p.drawRect(QRectF(bar.x, s.height() - 2 - bar.height, 3, bar.height));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: statistics_artgen <output folder>\n";
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);

    const QSize icon(16, 16);
    const bool ok = draw(folder, QStringLiteral("tab-rating.png"), icon, ratingStar) &&
                    draw(folder, QStringLiteral("tab-time.png"), icon, timeShield) &&
                    draw(folder, QStringLiteral("tab-answers.png"), icon, speechBubble) &&
                    draw(folder, QStringLiteral("tab-questions.png"), icon, questionsIcon) &&
                    draw(folder, QStringLiteral("help.png"), QSize(13, 13), helpGlyph) &&
                    draw(folder, QStringLiteral("ok.png"), icon, okGlyph) &&
                    draw(folder, QStringLiteral("heading.png"), QSize(17, 17), headingPicture);
    return ok ? 0 : 1;
}
