#include "demoreference.h"

#include "markingscene.h"
#include "picturestyle.h"
#include "referencetexts.h"
#include "signpainter.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

#include <functional>

namespace DemoReference {

namespace {

// Sign plates are drawn 100 units high; the margin keeps a rim's
// antialiasing inside the picture.
constexpr double SignHeight = 100;
constexpr double SignMargin = 2;

// Qt SVG writes what a QPainter draws as SVG elements, so a picture needs
// no drawing code of its own.
QByteArray svgOf(const QSizeF &size, const QString &title,
                 const std::function<void(QPainter &)> &paint)
{
    QBuffer buffer;
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    // Qt SVG reads millimetres at 90 dots per inch: at that resolution the
    // picture's size in pixels is the one painted.
    generator.setResolution(90);
    generator.setSize(size.toSize());
    generator.setViewBox(QRectF(QPointF(0, 0), size));
    generator.setTitle(title);
    generator.setDescription(QStringLiteral("Зелтрак ПДД"));
    QPainter painter(&generator);
    paint(painter);
    painter.end();
    return buffer.data();
}

} // namespace

QByteArray signSvg(const QString &number, Mirror mirror)
{
    if (!SignPainter::canPaint(number))
        return {};
    const double width = SignPainter::aspect(number) * SignHeight;
    const QSizeF size(width + 2 * SignMargin, SignHeight + 2 * SignMargin);
    return svgOf(size, number, [&](QPainter &painter) {
        if (mirror == Mirror::LeftToRight) {
            painter.translate(size.width(), 0);
            painter.scale(-1, 1);
        }
        SignPainter::paint(painter, number, QPointF(size.width() / 2, size.height() / 2),
                           SignHeight);
    });
}

QByteArray markingSvg(const MarkingLayout &layout, const QString &title)
{
    return svgOf(QSizeF(PictureStyle::Width, PictureStyle::Height), title,
                 [&](QPainter &painter) { MarkingScene::paint(painter, layout); });
}

Reference build()
{
    Reference reference;
    for (const SignText &sign : ReferenceTexts::signs()) {
        const QString group = ReferenceTexts::signGroup(sign.number);
        if (reference.signs.isEmpty() || reference.signs.last().name != group)
            reference.signs.append(ReferenceGroup{group, {}});
        const QByteArray svg = sign.mirrorOf.isEmpty()
                                   ? signSvg(sign.number)
                                   : signSvg(sign.mirrorOf, Mirror::LeftToRight);
        reference.signs.last().entries.append(
            ReferenceEntry{sign.number, sign.title, sign.description, svg});
    }
    ReferenceGroup horizontal{ReferenceTexts::HorizontalMarkings, {}};
    for (const MarkingText &marking : ReferenceTexts::markings()) {
        const QByteArray svg =
            marking.layout ? markingSvg(*marking.layout, marking.number) : QByteArray();
        horizontal.entries.append(
            ReferenceEntry{marking.number, marking.title, marking.description, svg});
    }
    reference.markings.append(horizontal);
    return reference;
}

} // namespace DemoReference
