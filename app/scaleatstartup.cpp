#include "scaleatstartup.h"

#include "interfacescale.h"
#include "settingsstore.h"

#include <QGuiApplication>
#include <QScreen>

namespace ScaleAtStartup {

namespace {
int s_appliedPercent = 100;
int s_desktopAvailableHeight = 0;
} // namespace

void apply(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
        return;
    const int stored = SettingsStore().interfaceScale();
    {
        // The screen can only be asked through an application; this one
        // lives just long enough to answer. Qt supports creating the real
        // application after it is gone.
        int probeArgc = argc > 0 ? 1 : 0;
        QGuiApplication probe(probeArgc, argv);
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            s_desktopAvailableHeight = screen->availableGeometry().height();
    }
    s_appliedPercent = InterfaceScale::effectivePercent(stored, s_desktopAvailableHeight);
    if (s_appliedPercent != 100)
        qputenv("QT_SCALE_FACTOR", QByteArray::number(s_appliedPercent / 100.0));
}

int appliedPercent()
{
    return s_appliedPercent;
}

int desktopAvailableHeight()
{
    return s_desktopAvailableHeight;
}

bool changesScale(int stored)
{
    return InterfaceScale::effectivePercent(stored, s_desktopAvailableHeight) != s_appliedPercent;
}

} // namespace ScaleAtStartup
