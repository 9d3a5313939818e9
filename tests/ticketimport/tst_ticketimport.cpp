// The ticket import without widgets: a folder, a zip and a tar.gz of it give
// the same database; hostile archives and folders are refused with nothing
// written; cancelling at any stage leaves no file; the output never
// overwrites the source; the database and its topics change together.
#include "archivemaker.h"
#include "archivesource.h"
#include "importcheck.h"
#include "jsonticketfixture.h"
#include "ticketimport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>
#endif

using ArchiveMaker::Entry;
using Kind = TicketSource::Fault::Kind;
using Status = TicketImport::Result::Status;

Q_DECLARE_METATYPE(QList<ArchiveMaker::Entry>)
Q_DECLARE_METATYPE(TicketSource::Fault::Kind)
Q_DECLARE_METATYPE(TicketImport::Stage)

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

class TestTicketImport : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void folderZipAndTarGz_giveIdenticalDatabases();
    void hostileArchive_refusedNothingWritten_data();
    void hostileArchive_refusedNothingWritten();
    void cancel_atEveryStage_leavesNoFile_data();
    void cancel_atEveryStage_leavesNoFile();
    void output_overSource_refused_data();
    void output_overSource_refused();
    void folder_hostileContent_reported_data();
    void folder_hostileContent_reported();
    void hugeTicketFile_refusedBeforeReading();
    void check_refusesBrokenTopics();
    void pair_writeFailing_keepsOldPair();

private:
    TicketImport::Result import(const QString &source, const QString &out,
                                const QString &category = "A_B");
    // The fixture with a picture of each kind, written.
    void writeFolderWithPictures();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<JsonTicketFolderFixture> m_folder;
    QString m_outFolder;
};

void TestTicketImport::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_folder = std::make_unique<JsonTicketFolderFixture>(m_dir->filePath("source"));
    m_outFolder = m_dir->filePath("out");
    QDir().mkpath(m_outFolder);
}

TicketImport::Result TestTicketImport::import(const QString &source, const QString &out,
                                              const QString &category)
{
    return TicketImport::run({source, category, QStringLiteral("Билеты"), out});
}

void TestTicketImport::writeFolderWithPictures()
{
    m_folder->writePicture("images/A_B/a.jpg", JsonTicketFolderFixture::jpeg({300, 120}));
    m_folder->writePicture("images/A_B/b.jpg", JsonTicketFolderFixture::png16WithAlpha({200, 90}));
    m_folder->writePicture("images/A_B/c.jpg", JsonTicketFolderFixture::webp({604, 225}));
    m_folder->setImage(1, 1, "./images/A_B/a.jpg");
    m_folder->setImage(2, 5, "./images/A_B/b.jpg");
    m_folder->setImage(40, 20, "./images/A_B/c.jpg");
    m_folder->setImage(3, 3, "./images/A_B/c.jpg");
    m_folder->write();
}

void TestTicketImport::folderZipAndTarGz_giveIdenticalDatabases()
{
    writeFolderWithPictures();
    const QString fromFolder = m_outFolder + "/folder.dbv";
    const TicketImport::Result folder = import(m_folder->root(), fromFolder);
    QCOMPARE(folder.problems, QStringList());
    QCOMPARE(folder.status, Status::Written);
    QCOMPARE(folder.summary.pictures, 3);

    struct Packed
    {
        const char *name;
        ArchiveMaker::Format format;
        QString prefix;
    };
    const Packed archives[] = {
        {"tickets.zip", ArchiveMaker::Format::Zip, "pdd-master/"},
        {"tickets.tar.gz", ArchiveMaker::Format::TarGz, "pdd-master/"},
        {"flat.zip", ArchiveMaker::Format::Zip, ""},
        {"dos-names.zip", ArchiveMaker::Format::ZipDosNames, "pdd-master/"},
    };
    for (const Packed &packed : archives) {
        const QString archive = m_dir->filePath(packed.name);
        QVERIFY(ArchiveMaker::writeFile(
            archive, ArchiveMaker::make(packed.format,
                                        ArchiveMaker::entriesOf(m_folder->root(), packed.prefix))));
        const QString out = m_outFolder + "/" + packed.name + ".dbv";
        const TicketImport::Result result = import(archive, out);
        QCOMPARE(result.problems, QStringList());
        QVERIFY2(readAll(out) == readAll(fromFolder), packed.name);
        QVERIFY2(readAll(out.chopped(4) + ".topics.json") ==
                     readAll(m_outFolder + "/folder.topics.json"),
                 packed.name);
    }
    QCOMPARE(TicketImport::categoriesIn(m_dir->filePath("tickets.zip")), QStringList{"A_B"});
}

void TestTicketImport::hostileArchive_refusedNothingWritten_data()
{
    QTest::addColumn<QByteArray>("archive");
    QTest::addColumn<Kind>("fault");

    m_folder = std::make_unique<JsonTicketFolderFixture>(m_dir->filePath("source"));
    m_folder->write();
    const QList<Entry> good = ArchiveMaker::entriesOf(m_folder->root(), "pdd-master/");
    const auto with = [&](const Entry &extra) {
        QList<Entry> entries = good;
        entries.insert(3, extra);
        return ArchiveMaker::make(ArchiveMaker::Format::Zip, entries);
    };
    QTest::newRow("entry climbs out with ..")
        << with(Entry{"pdd-master/../../evil.txt", "x"}) << Kind::PathEscapes;
    QTest::newRow("absolute entry") << with(Entry{"/tmp/evil.txt", "x"}) << Kind::PathEscapes;
    QTest::newRow("Windows drive entry") << with(Entry{"C:\\evil.txt", "x"}) << Kind::PathEscapes;
    QTest::newRow("symbolic link")
        << with(Entry{"pdd-master/images/A_B/a.jpg", {}, Entry::Type::SymbolicLink, "/etc/passwd"})
        << Kind::Link;
    {
        QList<Entry> entries = good;
        entries << Entry{"pdd-master/images/x.jpg", {}, Entry::Type::HardLink, "/etc/passwd"};
        QTest::newRow("hard link in a tar")
            << ArchiveMaker::make(ArchiveMaker::Format::TarGz, entries) << Kind::Link;
    }
    {
        QList<Entry> entries = good;
        entries << Entry{"pdd-master/pipe", {}, Entry::Type::Pipe, {}};
        QTest::newRow("named pipe")
            << ArchiveMaker::make(ArchiveMaker::Format::TarGz, entries) << Kind::SpecialEntry;
    }
    // 40 MB of zeros pack into some 40 KB: past a hundred times the size.
    QTest::newRow("bomb") << with(Entry{"pdd-master/zeros.bin", QByteArray(40 << 20, '\0')})
                          << Kind::TooLarge;
    const QByteArray zip = ArchiveMaker::make(ArchiveMaker::Format::Zip, good);
    const QByteArray tarGz = ArchiveMaker::make(ArchiveMaker::Format::TarGz, good);
    QTest::newRow("zip cut short") << zip.left(zip.size() / 2) << Kind::Damaged;
    QTest::newRow("tar.gz cut short") << tarGz.left(tarGz.size() / 2) << Kind::Damaged;
    QTest::newRow("a text file") << QByteArray("Билет 1: это не архив\n").repeated(50)
                                 << Kind::NotArchive;
    QTest::newRow("empty file") << QByteArray() << Kind::NotArchive;
}

void TestTicketImport::hostileArchive_refusedNothingWritten()
{
    QFETCH(QByteArray, archive);
    QFETCH(Kind, fault);
    const QString path = m_dir->filePath("download.zip");
    QVERIFY(ArchiveMaker::writeFile(path, archive));

    const TicketImport::Result result = import(path, m_outFolder + "/out.dbv");
    QCOMPARE(result.status, Status::Refused);
    QCOMPARE(result.problems.size(), 1);
    QVERIFY(!result.russianReason.isEmpty());
    QCOMPARE(filesIn(m_outFolder), QStringList());

    ArchiveSource source(path);
    QVERIFY(!source.open());
    QCOMPARE(source.fault().kind, fault);
    QCOMPARE(result.problems.first(), source.fault().english());
    QCOMPARE(result.russianReason, source.fault().russian());
}

void TestTicketImport::cancel_atEveryStage_leavesNoFile_data()
{
    QTest::addColumn<bool>("archive");
    QTest::addColumn<TicketImport::Stage>("stage");
    QTest::addColumn<int>("done");
    using TicketImport::Stage;
    for (const bool archive : {false, true}) {
        const char *kind = archive ? "archive" : "folder";
        QTest::addRow("%s, while reading", kind) << archive << Stage::Reading << 0;
        QTest::addRow("%s, at ticket 10", kind) << archive << Stage::Tickets << 10;
        QTest::addRow("%s, before the pictures", kind) << archive << Stage::Pictures << 0;
        QTest::addRow("%s, while checking", kind) << archive << Stage::Checking << 0;
    }
}

void TestTicketImport::cancel_atEveryStage_leavesNoFile()
{
    QFETCH(bool, archive);
    QFETCH(TicketImport::Stage, stage);
    QFETCH(int, done);
    writeFolderWithPictures();
    QString source = m_folder->root();
    if (archive) {
        source = m_dir->filePath("tickets.tar.gz");
        QVERIFY(ArchiveMaker::writeFile(
            source, ArchiveMaker::make(ArchiveMaker::Format::TarGz,
                                       ArchiveMaker::entriesOf(m_folder->root()))));
    }
    std::atomic<bool> cancel = false;
    const TicketImport::Result result = TicketImport::run(
        {source, "A_B", "Билеты", m_outFolder + "/out.dbv"},
        [&](const TicketImport::Progress &progress) {
            if (progress.stage == stage && progress.done == done)
                cancel = true;
        },
        &cancel);
    QVERIFY(cancel);
    QCOMPARE(result.status, Status::Cancelled);
    QCOMPARE(filesIn(m_outFolder), QStringList());
}

void TestTicketImport::output_overSource_refused_data()
{
    QTest::addColumn<bool>("archive");
    QTest::addColumn<QString>("output"); // relative to the temporary folder
    QTest::newRow("a ticket file") << false << "source/questions/A_B/tickets/Билет 1.json";
    QTest::newRow("a picture") << false << "source/images/A_B/a.jpg";
    QTest::newRow("the source folder's root") << false << "source/out.dbv";
    QTest::newRow("the source folder by another path") << false << "out/../source/x.dbv";
    QTest::newRow("the archive") << true << "tickets.zip";
    QTest::newRow("a hard link to the archive") << true << "out/link.zip";
}

void TestTicketImport::output_overSource_refused()
{
    QFETCH(bool, archive);
    QFETCH(QString, output);
    writeFolderWithPictures();
    QString source = m_folder->root();
    if (archive) {
        source = m_dir->filePath("tickets.zip");
        QVERIFY(ArchiveMaker::writeFile(
            source, ArchiveMaker::make(ArchiveMaker::Format::Zip,
                                       ArchiveMaker::entriesOf(m_folder->root()))));
#ifdef Q_OS_UNIX
        QCOMPARE(::link(QFile::encodeName(source).constData(),
                        QFile::encodeName(m_dir->filePath("out/link.zip")).constData()),
                 0);
#endif
    }
    const QString target = m_dir->filePath(output);
    const QByteArray before = readAll(target);

    const TicketImport::Result result = import(source, target);
    QCOMPARE(result.status, Status::Refused);
    QCOMPARE(readAll(target), before);
    QVERIFY(!result.russianReason.isEmpty());
}

void TestTicketImport::folder_hostileContent_reported_data()
{
    QTest::addColumn<std::function<void(JsonTicketFolderFixture &, const QString &)>>("change");
    QTest::addColumn<QString>("problem");
    using Change = std::function<void(JsonTicketFolderFixture &, const QString &)>;

    QTest::newRow("picture is a link out of the folder")
        << Change([](JsonTicketFolderFixture &f, const QString &outside) {
               f.setImage(1, 2, "./images/A_B/secret.jpg");
               f.write();
               QDir().mkpath(f.root() + "/images/A_B");
               QFile::link(outside + "/secret.jpg", f.root() + "/images/A_B/secret.jpg");
           })
        << "ticket 1, question 2: picture \"./images/A_B/secret.jpg\" is a link";
    QTest::newRow("images folder is a link out of the folder")
        << Change([](JsonTicketFolderFixture &f, const QString &outside) {
               f.setImage(1, 2, "./images/A_B/secret.jpg");
               f.write();
               QDir(f.root()).removeRecursively();
               f.write();
               QFile::link(outside, f.root() + "/images");
           })
        << "ticket 1, question 2: picture \"./images/A_B/secret.jpg\" is a link";
    QTest::newRow("two files for one ticket")
        << Change([](JsonTicketFolderFixture &f, const QString &) {
               f.write();
               QFile::copy(f.ticketFile(1), QFileInfo(f.ticketFile(1)).path() + "/Билет 01.json");
           })
        << "ticket 1: two files";
    QTest::newRow("NUL character in a question")
        << Change([](JsonTicketFolderFixture &f, const QString &) {
               f.question(7, 3)["question"] = QString("Вопрос") + QChar(0) + "с нулём?";
               f.write();
           })
        << "ticket 7, question 3: control character U+0000";
    QTest::newRow("ticket file is a link")
        << Change([](JsonTicketFolderFixture &f, const QString &outside) {
               f.write();
               QFile::copy(f.ticketFile(5), outside + "/5.json");
               QFile::remove(f.ticketFile(5));
               QFile::link(outside + "/5.json", f.ticketFile(5));
           })
        << "Билет 5.json: a link";
}

void TestTicketImport::folder_hostileContent_reported()
{
    QFETCH(std::function<void(JsonTicketFolderFixture &, const QString &)>, change);
    QFETCH(QString, problem);
    const QString outside = m_dir->filePath("outside/A_B");
    QDir().mkpath(outside);
    ArchiveMaker::writeFile(outside + "/secret.jpg", JsonTicketFolderFixture::jpeg({50, 50}));
    change(*m_folder, outside);

    const TicketImport::Result result = import(m_folder->root(), m_outFolder + "/out.dbv");
    QCOMPARE(result.status, Status::Problems);
    QVERIFY2(result.problems.join('\n').contains(problem), qPrintable(result.problems.join('\n')));
    QCOMPARE(filesIn(m_outFolder), QStringList());
}

void TestTicketImport::hugeTicketFile_refusedBeforeReading()
{
    m_folder->write();
    // A sparse file of 200 MB: reading it would take as much memory.
    QFile huge(m_folder->ticketFile(9));
    QVERIFY(huge.open(QIODevice::ReadWrite));
    QVERIFY(huge.resize(200 << 20));
    huge.close();
    const TicketImport::Result folder = import(m_folder->root(), m_outFolder + "/out.dbv");
    QCOMPARE(folder.status, Status::Problems);
    QVERIFY(folder.problems.join('\n').contains("Билет 9.json: 209715200 bytes"));

    // In an archive the size is counted as the entry streams.
    QFile::remove(m_folder->ticketFile(9));
    m_folder->write();
    QList<Entry> entries = ArchiveMaker::entriesOf(m_folder->root());
    for (Entry &entry : entries) {
        if (entry.path.endsWith("Билет 9.json"))
            entry.bytes = "[\"" + QByteArray(9 << 20, 'a') + "\"]";
    }
    const QString archive = m_dir->filePath("big.zip");
    QVERIFY(
        ArchiveMaker::writeFile(archive, ArchiveMaker::make(ArchiveMaker::Format::Zip, entries)));
    const TicketImport::Result packed = import(archive, m_outFolder + "/out.dbv");
    QCOMPARE(packed.status, Status::Problems);
    QVERIFY2(packed.problems.join('\n').contains("Билет 9.json: more than"),
             qPrintable(packed.problems.join('\n')));
    QCOMPARE(filesIn(m_outFolder), QStringList());
}

void TestTicketImport::check_refusesBrokenTopics()
{
    m_folder->write();
    QCOMPARE(import(m_folder->root(), m_outFolder + "/out.dbv").status, Status::Written);
    const QByteArray database = readAll(m_outFolder + "/out.dbv");
    const QByteArray topics = readAll(m_outFolder + "/out.topics.json");
    QCOMPARE(ImportCheck::problems(database, topics), QStringList());
    QVERIFY(!ImportCheck::problems(database, R"({"topics": [{"name": "", "questions": [1]}]})")
                 .isEmpty());
    QByteArray damaged = database;
    damaged[60] = char(0xFF); // an index entry pointing far away
    QVERIFY(!ImportCheck::problems(damaged, topics).isEmpty());
}

void TestTicketImport::pair_writeFailing_keepsOldPair()
{
#ifndef Q_OS_UNIX
    QSKIP("needs a file size limit to play a full disk");
#else
    m_folder->write();
    const QString out = m_outFolder + "/out.dbv";
    QVERIFY(ArchiveMaker::writeFile(out, "old database"));
    QVERIFY(ArchiveMaker::writeFile(m_outFolder + "/out.topics.json", "old topics"));

    // As on a nearly full disk: the small topics file fits, the database
    // does not.
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 100 * 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    const TicketImport::Result result = import(m_folder->root(), out);
    setrlimit(RLIMIT_FSIZE, &saved);

    QCOMPARE(result.status, Status::Refused);
    QCOMPARE(readAll(out), QByteArray("old database"));
    QCOMPARE(readAll(m_outFolder + "/out.topics.json"), QByteArray("old topics"));
    QCOMPARE(filesIn(m_outFolder), QStringList({"out.dbv", "out.topics.json"}));

    // With room, both are replaced.
    QCOMPARE(import(m_folder->root(), out).status, Status::Written);
    QVERIFY(readAll(out).size() > 100 * 1024);
    QVERIFY(readAll(m_outFolder + "/out.topics.json").startsWith("{"));
    QCOMPARE(filesIn(m_outFolder), QStringList({"out.dbv", "out.topics.json"}));
#endif
}

QTEST_MAIN(TestTicketImport)
#include "tst_ticketimport.moc"
