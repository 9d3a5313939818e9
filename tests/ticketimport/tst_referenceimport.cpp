// The reference a ticket source carries beside its tickets: read from a
// folder or an archive with each fault named and the rest kept, and written
// beside the database together with it.
#include "archivemaker.h"
#include "foldersource.h"
#include "jsonticketfixture.h"
#include "referencefile.h"
#include "referencereader.h"
#include "ticketimport.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using Status = TicketImport::Result::Status;

class ReferenceImportTest : public QObject
{
    Q_OBJECT

private:
    static QByteArray svg(const char *colour = "red")
    {
        return QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 10 10\" "
                          "width=\"10\" height=\"10\"><circle cx=\"5\" cy=\"5\" r=\"4\" fill=\"") +
               colour + "\"/></svg>";
    }

    static void write(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QVERIFY(ArchiveMaker::writeFile(path, bytes));
    }

    // Signs in two groups written out of order, with every fault an entry
    // can have; no markings file; penalties with one bad line.
    static void writeFaultyReference(const QString &root)
    {
        write(root + "/signs/signs.json", R"({
  "Запрещающие знаки": {
    "3.20": {"number": "3.20", "title": "Обгон запрещён", "image": "./images/signs/s3_20.svg", "description": "Запрещает обгон."},
    "3.2": {"number": "3.2", "title": "Движение запрещено", "image": "./images/signs/broken.svg", "description": "Запрещает движение."}
  },
  "Знаки приоритета": {
    "2.4": {"number": "2.4", "title": "Уступите дорогу", "image": "./images/signs/s2_4.svg", "description": "Уступите дорогу."},
    "2.1": {"title": "Главная дорога", "image": "./images/signs/absent.svg", "description": "Главная."},
    "3.20": {"number": "3.20", "title": "Повтор", "image": "./images/signs/s2_4.svg", "description": "Не тот."},
    "2.5": {"number": "2.5", "title": "Движение без остановки запрещено", "image": "../outside.svg", "description": "Стоп."}
  }
})");
        write(root + "/images/signs/s3_20.svg", svg());
        write(root + "/images/signs/s2_4.svg", svg("white"));
        write(root + "/images/signs/broken.svg", "<svg><circle");
        write(
            root + "/penalties/penalties.json",
            "{\"article_part\": \"12.9 ч. 2\", \"text\": \"Превышение\", \"penalty\": \"штраф 500 "
            "руб.\"}\n"
            "{\"article_part\": \"12.12 ч. 1\", \"text\": \"Красный\"\n"
            "\n"
            "{\"article_part\": \"12.16 ч. 1\", \"text\": \"Знаки\", \"penalty\": \"штраф 500 "
            "руб.\"}\r\n");
    }

private slots:
    void folder_eachFaultNamed_restRead()
    {
        QTemporaryDir dir;
        writeFaultyReference(dir.path());
        FolderSource source(dir.path());
        QVERIFY(source.open());
        const ReferenceReader::Outcome outcome = ReferenceReader::read(source);

        // Qt's own words for the JSON fault are not ours to pin.
        QStringList problems = outcome.problems;
        problems.replaceInStrings(QRegularExpression(" \\(unterminated .*\\)$"), QString());
        problems.sort();
        QCOMPARE(problems,
                 (QStringList{
                     "markup/markup.json: missing; that part of the reference is left empty",
                     "penalties/penalties.json, line 2: not a JSON object",
                     "signs/signs.json: sign 2.1: picture \"images/signs/absent.svg\" not "
                     "found; kept without it",
                     "signs/signs.json: sign 2.5: picture path \"../outside.svg\" leaves the "
                     "folder",
                     "signs/signs.json: sign 3.20: given twice; the first is kept",
                     "signs/signs.json: sign 3.2: picture \"images/signs/broken.svg\" is not a "
                     "drawable SVG; kept without it",
                 }));

        // Groups and entries in the order of their numbers; the number
        // from the key when the entry has none.
        const Reference &reference = outcome.reference;
        QCOMPARE(reference.signs.size(), 2);
        QCOMPARE(reference.signs.at(0).name, QStringLiteral("Знаки приоритета"));
        QStringList numbers;
        for (const ReferenceGroup &group : reference.signs)
            for (const ReferenceEntry &entry : group.entries)
                numbers << entry.number;
        QCOMPARE(numbers, (QStringList{"2.1", "2.4", "2.5", "3.2", "3.20"}));
        QCOMPARE(reference.find(ReferenceKind::Sign, "2.4")->title,
                 QStringLiteral("Уступите дорогу"));
        QCOMPARE(reference.find(ReferenceKind::Sign, "2.4")->svg, svg("white"));
        QCOMPARE(reference.find(ReferenceKind::Sign, "3.20")->svg, svg());
        QCOMPARE(reference.find(ReferenceKind::Sign, "3.20")->title,
                 QStringLiteral("Обгон запрещён"));
        QVERIFY(reference.find(ReferenceKind::Sign, "3.2")->svg.isEmpty());
        QVERIFY(reference.find(ReferenceKind::Sign, "2.1")->svg.isEmpty());
        QVERIFY(reference.markings.isEmpty());
        QCOMPARE(reference.penalties.size(), 2);
        QCOMPARE(reference.penalties.at(1).article, QStringLiteral("12.16 ч. 1"));
        QVERIFY(ReferenceFile::problems(reference).isEmpty());
    }

    void sourceWithoutReference_hasNoneAndNoProblem()
    {
        QTemporaryDir dir;
        write(dir.filePath("questions/A_B/tickets/Билет 1.json"), "[]");
        FolderSource source(dir.path());
        QVERIFY(source.open());
        const ReferenceReader::Outcome outcome = ReferenceReader::read(source);
        QVERIFY(outcome.problems.isEmpty());
        QVERIFY(outcome.reference.isEmpty());
    }

    void signsNotAnObject_named()
    {
        QTemporaryDir dir;
        write(dir.filePath("signs/signs.json"), "[1, 2]");
        write(
            dir.filePath("markup/markup.json"),
            R"({"Горизонтальная разметка": {"1.1": {"number": "1.1", "description": "Сплошная."}}})");
        write(dir.filePath("penalties/penalties.json"), "");
        FolderSource source(dir.path());
        QVERIFY(source.open());
        const ReferenceReader::Outcome outcome = ReferenceReader::read(source);
        QCOMPARE(outcome.problems,
                 QStringList{"signs/signs.json: not a JSON object of groups (another JSON value)"});
        QCOMPARE(outcome.reference.entryCount(ReferenceKind::Marking), 1);
    }

    // The import writes the reference beside the database; a zip of the
    // same folder gives the same file; an import from a source without a
    // reference takes away the one left from before, which would describe
    // another set.
    void import_writesReferenceWithDatabase_andReplacesItTogether()
    {
        QTemporaryDir dir;
        const QString root = dir.filePath("source");
        JsonTicketFolderFixture tickets(root);
        tickets.write();
        writeFaultyReference(root);
        const QString out = dir.filePath("out.dbv");

        const TicketImport::Result result =
            TicketImport::run({root, "A_B", QStringLiteral("Билеты"), out});
        QCOMPARE(result.status, Status::Written);
        QCOMPARE(result.summary.signs, 5);
        QCOMPARE(result.summary.penalties, 2);
        QCOMPARE(result.summary.referenceProblems.size(), 6);
        QStringList problems;
        const std::optional<Reference> written =
            ReferenceFile::read(dir.filePath("out.reference.json"), &problems);
        QVERIFY(written);
        QVERIFY(problems.isEmpty());
        QCOMPARE(written->entryCount(ReferenceKind::Sign), 5);

        const QString zip = dir.filePath("tickets.zip");
        QVERIFY(ArchiveMaker::writeFile(
            zip, ArchiveMaker::make(ArchiveMaker::Format::Zip,
                                    ArchiveMaker::entriesOf(root, "pdd-master/"))));
        const QString fromZip = dir.filePath("zip.dbv");
        QCOMPARE(TicketImport::run({zip, "A_B", QStringLiteral("Билеты"), fromZip}).status,
                 Status::Written);
        QFile a(dir.filePath("out.reference.json"));
        QFile b(dir.filePath("zip.reference.json"));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(b.readAll(), a.readAll());

        QVERIFY(QDir(root + "/signs").removeRecursively());
        QVERIFY(QDir(root + "/penalties").removeRecursively());
        QCOMPARE(TicketImport::run({root, "A_B", QStringLiteral("Билеты"), out}).status,
                 Status::Written);
        QVERIFY(QFileInfo::exists(out));
        QVERIFY(!QFileInfo::exists(dir.filePath("out.reference.json")));
    }
};

QTEST_MAIN(ReferenceImportTest)
#include "tst_referenceimport.moc"
