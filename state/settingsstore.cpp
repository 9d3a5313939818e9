#include "settingsstore.h"

#include "interfacescale.h"
#include "regularfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>

#include <limits>
#include <optional>

namespace {

constexpr qint64 LargestSettingsFile = 64 * 1024;

const QString KolName = QStringLiteral("Kol");
const QString RndName = QStringLiteral("Rnd");
const QString MasName = QStringLiteral("Mas");
const QString StaName = QStringLiteral("Sta");
const QString TimName = QStringLiteral("Tim");
const QString BasName = QStringLiteral("Bas");
const QString NedName = QStringLiteral("Ned");

#ifdef Q_OS_WIN
const QString RegistryParent = QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Microsoft");
const QString RegistryKey = QStringLiteral("Kiv");
#endif

// A 32-bit integer as the store holds it: an int in the registry, decimal
// text in the INI file. Anything else (text, a list, a number out of range)
// is not an integer.
std::optional<int> toInteger(const QVariant &value)
{
    if (!value.isValid())
        return std::nullopt;
    const int type = value.metaType().id();
    if (type == QMetaType::Int || type == QMetaType::UInt || type == QMetaType::LongLong ||
        type == QMetaType::ULongLong) {
        bool ok = false;
        const qlonglong n = value.toLongLong(&ok);
        if (ok && n >= std::numeric_limits<qint32>::min() &&
            n <= std::numeric_limits<qint32>::max())
            return int(n);
        // A DWORD above 0x7FFFFFFF reads as a negative 32-bit integer.
        if (ok && n >= 0 && n <= std::numeric_limits<quint32>::max())
            return int(qint32(quint32(n)));
        return std::nullopt;
    }
    if (type != QMetaType::QString && type != QMetaType::QByteArray)
        return std::nullopt;
    bool ok = false;
    const int n = value.toString().trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return n;
}

// A value as the store gives it back, as text: numbers in decimal, a list
// item by item (an INI file gives a list of one back as that one string).
// Other kinds have no such form here.
std::optional<QStringList> asStoredText(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::QString:
        return QStringList{value.toString()};
    case QMetaType::QStringList:
        return value.toStringList();
    default:
        return std::nullopt;
    }
}

} // namespace

const QStringList &SettingsStore::standardDatabaseNames()
{
    static const QStringList names{QStringLiteral("dataAB.dbv"), QStringLiteral("dataCD.dbv"),
                                   QStringLiteral("dataABL.dbv"), QStringLiteral("dataCDL.dbv")};
    return names;
}

QString SettingsStore::defaultLocation()
{
#ifdef Q_OS_WIN
    return RegistryParent + QLatin1Char('\\') + RegistryKey;
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Microsoft/Kiv.conf");
#endif
}

SettingsStore::SettingsStore(const QString &location) : m_location(location) {}

SettingsStore::~SettingsStore() = default;

bool SettingsStore::keyExists() const
{
#ifdef Q_OS_WIN
    const int cut = m_location.lastIndexOf(QLatin1Char('\\'));
    QSettings parent(m_location.left(cut), QSettings::NativeFormat);
    return parent.childGroups().contains(m_location.mid(cut + 1), Qt::CaseInsensitive);
#else
    return QFileInfo(m_location).isFile();
#endif
}

QSettings &SettingsStore::settings()
{
    if (!m_settings) {
#ifdef Q_OS_WIN
        m_settings = std::make_unique<QSettings>(m_location, QSettings::NativeFormat);
#else
        const QString path =
            m_scratch ? m_scratch->filePath(QStringLiteral("Kiv.conf")) : m_location;
        m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
#endif
    }
    return *m_settings;
}

void SettingsStore::release()
{
    m_settings.reset();
}

int SettingsStore::readInteger(const QString &name, int fallback, QStringList *repaired)
{
    QSettings &s = settings();
    s.sync(); // pick up changes made outside the program
    if (const auto value = toInteger(s.value(name)))
        return *value;
    writeValue(name, fallback);
    if (repaired)
        repaired->append(name);
    return fallback;
}

QString SettingsStore::readString(const QString &name, QStringList *repaired)
{
    QSettings &s = settings();
    s.sync();
    const QVariant value = s.value(name);
    if (!value.isValid())
        return {}; // a missing string reads as empty
    const int type = value.metaType().id();
    if (type == QMetaType::QString || type == QMetaType::QByteArray)
        return value.toString();
    writeValue(name, QString());
    if (repaired)
        repaired->append(name);
    return {};
}

QString SettingsStore::writeFailureMessage() const
{
    return QStringLiteral("Не удалось сохранить настройки программы (%1). Программа работает "
                          "с прочитанными настройками, но их изменения не сохранятся.")
        .arg(QDir::toNativeSeparators(m_location));
}

void SettingsStore::writeValue(const QString &name, const QVariant &value)
{
    QSettings &s = settings();
    // A value the store already holds is not written again: every write
    // syncs a lock file and the file itself to the disk, and a start would
    // pay that for values it only confirms (the time limit, the recent list).
    s.sync(); // compare with the file as it is now
    if (s.contains(name)) {
        const std::optional<QStringList> held = asStoredText(s.value(name));
        if (held && held == asStoredText(value))
            return;
    }
    s.setValue(name, value);
    s.sync();
    // Only an access error is a refused write: a format error of the file as
    // it was read stays in status() after a write that succeeded.
    if (s.status() != QSettings::AccessError || m_writeFailureReported)
        return;
    m_writeFailureReported = true;
    if (m_startupWarnings) {
        m_startupWarnings->append(writeFailureMessage());
        return;
    }
    throw SettingsError(writeFailureMessage());
}

bool SettingsStore::bytesLookDamaged() const
{
    QFile file(m_location);
    if (!file.open(QIODevice::ReadOnly))
        return false; // what cannot be read is no damage (see openSettings)
    // A few short lines are all the program writes; a file this large is not
    // its own, and is not read into memory.
    if (file.size() > LargestSettingsFile)
        return true;
    const QByteArray text = file.readAll();
    // Text, as the program writes it: UTF-8 without NUL bytes. Qt reads many
    // binary files as an INI file without a format error.
    if (text.contains('\0'))
        return true;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8(text);
    if (utf8.hasError())
        return true;
    // QSettings decodes "@Variant(…)" and "@DateTime(…)" values with
    // QDataStream as it reads the file, and a damaged one can make it
    // allocate gigabytes from a length it never checks. The program stores
    // only numbers and text, so such a value is damage.
    return text.contains("@Variant(") || text.contains("@DateTime(");
}

bool SettingsStore::holdsOwnValue()
{
    const QStringList keys = settings().childKeys();
    for (const QString &name : {KolName, RndName, StaName, TimName, BasName, MasName}) {
        if (keys.contains(name))
            return true;
    }
    return false;
}

QString SettingsStore::setDamagedFileAside()
{
    m_settings.reset();
    const QString stem = m_location + QStringLiteral(".damaged");
    QString aside = stem;
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = stem + QLatin1Char('-') + QString::number(n);
    return QFile::rename(m_location, aside) ? aside : QString();
}

SettingsStore::Startup SettingsStore::openSettings(const QString &programFolder,
                                                   const QStringList &extraFolders,
                                                   const MarksHandler &setMarks,
                                                   LaunchCounting counting)
{
    Startup result;
    m_startupWarnings = &result.warnings;
    const auto stopCollecting = qScopeGuard([this] { m_startupWarnings = nullptr; });

    result.firstRun = !keyExists();
#ifndef Q_OS_WIN
    // A named pipe in place of the file would hold QSettings up for good
    // (it opens and reads it), and a folder or device is no settings file:
    // never touched, this run keeps its settings in a scratch file.
    if (const QString refusal = RegularFile::refusalReason(m_location); !refusal.isEmpty()) {
        m_settings.reset();
        m_scratch = std::make_unique<QTemporaryDir>();
        result.warnings.append(
            QStringLiteral("Файл настроек программы не удалось прочитать: %1. Программа "
                           "работает с настройками по умолчанию; их изменения не сохранятся.")
                .arg(refusal));
        result.firstRun = true;
    }
    // Damage is told by the bytes before QSettings reads the file (reading
    // decodes serialized objects and takes in the whole file), then by what
    // QSettings made of it: a format error, or not one value of ours.
    const bool damagedBytes = !result.firstRun && !m_scratch && bytesLookDamaged();
    QSettings::Status opened = damagedBytes ? QSettings::FormatError : settings().status();
    if (!result.firstRun && opened == QSettings::NoError && !holdsOwnValue())
        opened = QSettings::FormatError;
    if (!result.firstRun && opened == QSettings::FormatError) {
        // Garbage would fail the same way at every start, and its "repaired"
        // values would lose the database; keep it for whoever wants to look
        // at it and start afresh.
        const QString aside = setDamagedFileAside();
        if (!aside.isEmpty()) {
            result.warnings.append(
                QStringLiteral("Файл настроек программы \"%1\" повреждён. Он сохранён под "
                               "именем \"%2\", настройки заданы заново.")
                    .arg(QDir::toNativeSeparators(m_location), QDir::toNativeSeparators(aside)));
            result.firstRun = true;
        } else if (damagedBytes || !holdsOwnValue()) {
            // It cannot be moved (a read-only folder) and must not be used:
            // this run keeps its settings in a scratch file.
            m_settings.reset();
            m_scratch = std::make_unique<QTemporaryDir>();
            result.warnings.append(
                QStringLiteral("Файл настроек программы \"%1\" повреждён, и отложить его не "
                               "удалось. Программа работает с настройками по умолчанию; их "
                               "изменения не сохранятся.")
                    .arg(QDir::toNativeSeparators(m_location)));
            result.firstRun = true;
        }
    } else if (!result.firstRun && opened == QSettings::AccessError &&
               !QFileInfo(m_location).isReadable()) {
        // Nothing can be read: behave as a first run, so that at least the
        // standard database is found.
        result.firstRun = true;
    }
#endif
    settings();

    if (!result.firstRun) {
        const int previous = readInteger(KolName, FirstRunLaunchCount - 1, &result.repairedValues);
        result.launchCount = previous == std::numeric_limits<int>::max() ? previous : previous + 1;
        if (counting == LaunchCounting::Here)
            writeValue(KolName, result.launchCount);
        else
            result.launchCountToWrite = true;
        result.shuffle = readInteger(RndName, FirstRunShuffle, &result.repairedValues);
        result.showStatistics =
            readInteger(StaName, FirstRunShowStatistics, &result.repairedValues);
        result.timeCode = readInteger(TimName, FirstRunTimeCode, &result.repairedValues);
        if (setMarks)
            setMarks(result);
        result.databasePath = readString(BasName, &result.repairedValues);
        return result;
    }

    result.launchCount = FirstRunLaunchCount;
    writeValue(KolName, FirstRunLaunchCount);
    writeValue(RndName, FirstRunShuffle);
    writeValue(StaName, FirstRunShowStatistics);
    writeValue(TimName, FirstRunTimeCode);
    if (setMarks)
        setMarks(result);
    locateStandardDatabase(programFolder, extraFolders);
    result.databasePath = readString(BasName);
    return result;
}

void SettingsStore::locateStandardDatabase(const QString &programFolder,
                                           const QStringList &extraFolders)
{
    QDir::setCurrent(programFolder); // a failure is ignored
    for (const QString &folder : QStringList{programFolder} + extraFolders) {
        const QDir dir(folder);
        for (const QString &name : standardDatabaseNames()) {
            if (QFileInfo(dir.filePath(name)).isFile()) {
                writeValue(BasName, QDir::toNativeSeparators(dir.absoluteFilePath(name)));
                return;
            }
        }
    }
    writeValue(BasName, QString());
}

void SettingsStore::decrementLaunchCount()
{
    const int count = readInteger(KolName, 0);
    // A counter at 0 stays there; so does a (damaged) negative one.
    writeValue(KolName, count > 0 ? count - 1 : count);
}

int SettingsStore::launchCount()
{
    return readInteger(KolName, FirstRunLaunchCount);
}

void SettingsStore::setLaunchCount(int count)
{
    writeValue(KolName, count);
}

QString SettingsStore::databasePath()
{
    return readString(BasName);
}

void SettingsStore::setDatabasePath(const QString &path)
{
    writeValue(BasName, path);
}

void SettingsStore::setTimeCode(int code)
{
    writeValue(TimName, code);
}

void SettingsStore::setShowStatistics(bool checked)
{
    writeValue(StaName, checked ? 1 : 0);
}

void SettingsStore::setShuffle(bool checked)
{
    writeValue(RndName, checked ? 1 : 0);
}

int SettingsStore::interfaceScale()
{
    if (!keyExists())
        return InterfaceScale::Automatic;
#ifndef Q_OS_WIN
    // Asked before start-up: a damaged file is not read here; openSettings
    // sets it aside.
    if (!m_settings && !m_scratch && bytesLookDamaged())
        return InterfaceScale::Automatic;
#endif
    QSettings &s = settings();
    s.sync();
    const auto value = toInteger(s.value(MasName));
    return value && InterfaceScale::isValid(*value) ? *value : InterfaceScale::Automatic;
}

void SettingsStore::setInterfaceScale(int percent)
{
    writeValue(MasName, InterfaceScale::isValid(percent) ? percent : InterfaceScale::Automatic);
}

QStringList SettingsStore::recentDatabases()
{
    if (!keyExists())
        return {};
    QSettings &s = settings();
    s.sync();
    const QVariant value = s.value(NedName);
    // One path reads back as a string, several as a list.
    QStringList paths;
    if (value.metaType().id() == QMetaType::QString)
        paths << value.toString();
    else if (value.metaType().id() == QMetaType::QStringList)
        paths = value.toStringList();
    // Only full paths are stored; anything else is not one of ours.
    paths.removeIf([](const QString &path) { return !QDir::isAbsolutePath(path); });
    paths.removeDuplicates();
    return paths.mid(0, MaxRecentDatabases);
}

void SettingsStore::addRecentDatabase(const QString &path)
{
    if (path.isEmpty())
        return;
    QStringList paths = recentDatabases();
    paths.removeAll(path);
    paths.prepend(path);
    writeValue(NedName, paths.mid(0, MaxRecentDatabases));
}

namespace {
const QString ClassroomGroup = QStringLiteral("Classroom");
} // namespace

ClassroomSettings SettingsStore::classroom()
{
    ClassroomSettings values;
    if (!keyExists())
        return values;
#ifndef Q_OS_WIN
    if (!m_settings && !m_scratch && bytesLookDamaged())
        return values;
#endif
    QSettings &s = settings();
    s.sync();
    s.beginGroup(ClassroomGroup);
    const auto text = [&s](const char *name) {
        const QVariant value = s.value(QLatin1String(name));
        return value.metaType().id() == QMetaType::QString ? value.toString().trimmed() : QString();
    };
    values.learnerPc = toInteger(s.value(QStringLiteral("LearnerPc"))).value_or(0) == 1;
    values.host = text("Host");
    const int port = toInteger(s.value(QStringLiteral("Port"))).value_or(0);
    values.port = port >= 1 && port <= 65535 ? port : ClassroomSettings::DefaultPort;
    values.database = text("Database");
    values.role = text("Role");
    values.instructorRole = text("InstructorRole");
    s.endGroup();
    return values;
}

void SettingsStore::setClassroom(const ClassroomSettings &values)
{
    const QString prefix = ClassroomGroup + QLatin1Char('/');
    writeValue(prefix + QStringLiteral("LearnerPc"), values.learnerPc ? 1 : 0);
    writeValue(prefix + QStringLiteral("Host"), values.host);
    writeValue(prefix + QStringLiteral("Port"), values.port);
    writeValue(prefix + QStringLiteral("Database"), values.database);
    writeValue(prefix + QStringLiteral("Role"), values.role);
    writeValue(prefix + QStringLiteral("InstructorRole"), values.instructorRole);
}
