// Feeds arbitrary bytes to the settings store as its settings file. Opening
// must never throw or crash: whatever can be read is used, a damaged file
// is set aside, and the values handed back are of their types. Two checks
// on what comes out:
// - a file that is kept holds at least one of the program's values, and the
//   database it names is the one used (damage is never "repaired" into
//   first-run values, losing the database);
// - a run that starts afresh finds the standard database beside the program.
#include "settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
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
    // The store writes its file through QSaveFile, which syncs it to disk at
    // every write: on a disk that made each input cost tens of milliseconds.
    // A memory file system runs the same code without the wait.
    const QString memoryFolder = QStringLiteral("/dev/shm");
    folder =
        QFileInfo(memoryFolder).isDir() && QFileInfo(memoryFolder).isWritable()
            ? std::make_unique<QTemporaryDir>(memoryFolder + QStringLiteral("/zeltrak-fuzz-XXXXXX"))
            : std::make_unique<QTemporaryDir>();
    if (!folder->isValid())
        folder = std::make_unique<QTemporaryDir>();
    QDir().mkpath(folder->filePath(QStringLiteral("program")));
    QFile(folder->filePath(QStringLiteral("program/dataAB.dbv"))).open(QIODevice::WriteOnly);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A name of its own per input: QSettings keeps what it parsed of a file
    // and reads it again only when its size or time changed, and two inputs
    // of one size written within a millisecond would share the first's.
    static quint64 inputNumber = 0;
    const QString number = QString::number(++inputNumber);
    const QString location = folder->filePath(QStringLiteral("Kiv-%1.conf").arg(number));
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
            (void)store.launchCount();
            (void)store.databasePath();
            if (startup.firstRun) {
                if (startup.databasePath != QDir::toNativeSeparators(folder->filePath(
                                                QStringLiteral("program/dataAB.dbv"))))
                    std::abort(); // a fresh start that does not find the database
            } else {
                // Kept: read the original bytes as QSettings does (the store
                // has vouched that they hold no serialized objects).
                const QString copy =
                    folder->filePath(QStringLiteral("original-%1.ini").arg(number));
                QFile::remove(copy);
                QFile file(copy);
                if (!file.open(QIODevice::WriteOnly))
                    std::abort();
                file.write(reinterpret_cast<const char *>(data), qint64(size));
                file.close();
                QSettings original(copy, QSettings::IniFormat);
                const QStringList keys = original.childKeys();
                bool ours = false;
                for (const char *name : {"Kol", "Rnd", "Sta", "Tim", "Bas", "Mas"})
                    ours = ours || keys.contains(QLatin1String(name));
                if (!ours)
                    std::abort(); // a file with nothing of ours was taken for settings
                const QVariant bas = original.value(QStringLiteral("Bas"));
                if (bas.metaType().id() == QMetaType::QString &&
                    startup.databasePath != bas.toString())
                    std::abort(); // the stored database was lost
            }
        } catch (...) {
            std::abort(); // openSettings promises not to throw
        }
    }
    // A first run makes the program folder current; libFuzzer's own paths
    // may be relative.
    QDir::setCurrent(startFolder);
    // Files set aside by this input must not pile up for the next.
    QDir dir(folder->path());
    for (const QString &name :
         dir.entryList({QStringLiteral("Kiv-*"), QStringLiteral("original-*")}, QDir::Files))
        dir.remove(name);
    return 0;
}
