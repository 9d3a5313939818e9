// Draws every picture of the main window, the splash and the About window
// into the folder given as the only argument. Run at build time; the output
// depends only on this code and the installed fonts.
#include "iconpainter.h"
#include "jpegcodec.h"
#include "scenepainter.h"
#include "speedometerpainter.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>

#include <cstdio>

namespace {

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool writePng(const QString &path, const QImage &image)
{
    QImageWriter writer(path, "png");
    return writer.write(image);
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());

    bool ok = true;
    // Each large picture twice: at the design size and, as "name@2x", at
    // twice the pixels for HiDPI screens and large interface scales.
    for (const qreal scale : {1.0, 2.0}) {
        const QString suffix = scale == 1.0 ? QString() : QStringLiteral("@2x");
        for (int k = 1; k <= 22; ++k) {
            ok &= writeBytes(out.filePath(QStringLiteral("speedometer%1%2.jpg")
                                              .arg(k, 2, 10, QLatin1Char('0'))
                                              .arg(suffix)),
                             JpegCodec::encode(SpeedometerPainter::draw(k, scale), 92));
        }
        ok &= writeBytes(out.filePath(QStringLiteral("banner%1.jpg").arg(suffix)),
                         JpegCodec::encode(ScenePainter::banner(scale), 92));
        ok &= writeBytes(out.filePath(QStringLiteral("splash%1.jpg").arg(suffix)),
                         JpegCodec::encode(ScenePainter::splash(scale), 92));
    }
    // Icons too; QIcon picks the "@2x" file by itself where it is needed.
    for (const qreal scale : {1.0, 2.0}) {
        const QString suffix = scale == 1.0 ? QString() : QStringLiteral("@2x");
        for (int status = 0; status <= 4; ++status)
            ok &= writePng(out.filePath(QStringLiteral("status%1%2.png").arg(status).arg(suffix)),
                           IconPainter::statusIcon(status, scale));
        for (const QString &name : IconPainter::glyphNames())
            ok &= writePng(out.filePath(QStringLiteral("glyph_%1%2.png").arg(name, suffix)),
                           IconPainter::glyph(name, scale));
    }
    ok &= writePng(out.filePath(QStringLiteral("about.png")), IconPainter::programIcon(32));
    ok &= writePng(out.filePath(QStringLiteral("zeltrak.png")), IconPainter::programIcon(128));
    // The desktop's icon theme wants the icon at each usual size, each drawn
    // at that size rather than scaled from one bitmap.
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        ok &= writePng(out.filePath(QStringLiteral("icon_%1.png").arg(size)),
                       IconPainter::programIcon(size));
    if (!ok) {
        std::fprintf(stderr, "could not write the pictures to %s\n", argv[1]);
        return 1;
    }
    return 0;
}
