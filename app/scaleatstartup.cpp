#include "scaleatstartup.h"

#include "interfacescale.h"
#include "settingsstore.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <cstdio>

#ifdef ZELTRAK_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace ScaleAtStartup {

namespace {
int s_appliedPercent = 100;
QSize s_desktopAvailable;

void keepFontConfiguration()
{
#ifdef ZELTRAK_HAVE_FONTCONFIG
    // Where Qt's fonts come from fontconfig, tearing an application down
    // destroys fontconfig's current configuration, loading it first when no
    // font was used (the probe's case): every configuration file parsed and
    // every font cache read, only to be thrown away, and then all of it again
    // for the real application. Our own reference keeps the configuration
    // the probe's teardown loads, so the real application finds it ready
    // and the program reads it once, like any Qt program.
    FcConfigReference(nullptr);
#endif
}
} // namespace

std::optional<double> clampedEnvironmentFactor(const QByteArray &value)
{
    bool ok = false;
    const double factor = value.trimmed().toDouble(&ok);
    if (!ok || std::isnan(factor) || factor <= 0)
        return std::nullopt;
    return std::clamp(factor, SmallestEnvironmentFactor, LargestEnvironmentFactor);
}

void apply(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
        // The user's own choice, kept within what a screen can use: a factor
        // of 100 would draw every window hundreds of screens large.
        const QByteArray given = qgetenv("QT_SCALE_FACTOR");
        const std::optional<double> clamped = clampedEnvironmentFactor(given);
        if (!clamped) {
            std::fprintf(stderr, "zeltrak: QT_SCALE_FACTOR=%s is not a positive number; ignored\n",
                         given.constData());
            qunsetenv("QT_SCALE_FACTOR");
        } else {
            if (*clamped != given.trimmed().toDouble()) {
                const QByteArray used = QByteArray::number(*clamped);
                std::fprintf(stderr,
                             "zeltrak: QT_SCALE_FACTOR=%s is outside %g..%g; using %s instead\n",
                             given.constData(), SmallestEnvironmentFactor, LargestEnvironmentFactor,
                             used.constData());
                qputenv("QT_SCALE_FACTOR", used);
            }
            return;
        }
    }
    const int stored = SettingsStore().interfaceScale();
    {
        // The screen can only be asked through an application; this one
        // lives just long enough to answer. Qt supports creating the real
        // application after it is gone.
        int probeArgc = argc > 0 ? 1 : 0;
        QGuiApplication probe(probeArgc, argv);
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            s_desktopAvailable = screen->availableGeometry().size();
        keepFontConfiguration();
    }
    s_appliedPercent = InterfaceScale::effectivePercent(stored, s_desktopAvailable);
    if (s_appliedPercent != 100)
        qputenv("QT_SCALE_FACTOR", QByteArray::number(s_appliedPercent / 100.0));
}

int appliedPercent()
{
    return s_appliedPercent;
}

QSize desktopAvailableSize()
{
    return s_desktopAvailable;
}

void setDesktopAvailableSize(QSize size)
{
    s_desktopAvailable = size;
}

bool changesScale(int stored)
{
    return InterfaceScale::effectivePercent(stored, s_desktopAvailable) != s_appliedPercent;
}

} // namespace ScaleAtStartup
