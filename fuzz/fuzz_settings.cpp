// Feeds arbitrary bytes to the settings store as its settings file. Opening
// must never throw or crash: whatever can be read is used, an unparsable file
// is set aside, and the values handed back are of their types.
#include "settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {
std::unique_ptr<QTemporaryDir> folder;
QString startFolder;
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Never destroyed: libFuzzer may end the process from anywhere, and a
    // QCoreApplication torn down by exit() then crashes.
    static int applicationArgc = *argc;
    new QCoreApplication(applicationArgc, *argv);
    startFolder = QDir::currentPath();
    folder = std::make_unique<QTemporaryDir>();
    QDir().mkpath(folder->filePath(QStringLiteral("program")));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString location = folder->filePath(QStringLiteral("Kiv.conf"));
    {
        QFile file(location);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    {
        SettingsStore store(location);
        try {
            const SettingsStore::Startup startup =
                store.openSettings(folder->filePath(QStringLiteral("program")));
            (void)startup;
            (void)store.launchCount();
            (void)store.databasePath();
        } catch (...) {
            std::abort(); // openSettings promises not to throw
        }
    }
    // A first run makes the program folder current; libFuzzer's own paths
    // may be relative.
    QDir::setCurrent(startFolder);
    // Files set aside by this input must not pile up for the next.
    QDir dir(folder->path());
    for (const QString &name : dir.entryList({QStringLiteral("Kiv.conf*")}, QDir::Files))
        dir.remove(name);
    return 0;
}
