#pragma once

#include "reference.h"

#include <QByteArray>
#include <QString>

struct MarkingLayout;

// The demo database's own reference: every sign the demo draws and every
// marking its road sketches show, each with its description and its picture
// as SVG, drawn by the same painting code as the questions' pictures, and
// the signs and markings its comments name without drawing them, described
// without a picture. Built
// the same way every time, so the file beside the database is reproducible
// byte for byte.
namespace DemoReference {

Reference build();

enum class Mirror
{
    None,
    LeftToRight,
};

// The sign `number` as an SVG document; empty when the demo cannot draw it.
QByteArray signSvg(const QString &number, Mirror mirror = Mirror::None);
// A marking's road sketch as an SVG document.
QByteArray markingSvg(const MarkingLayout &layout, const QString &title);

} // namespace DemoReference
