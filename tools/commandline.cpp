#include "commandline.h"

#include "commands.h"
#include "console.h"

QString dbvUsage()
{
    return QStringLiteral(
        "dbv: builds, checks and inspects question databases (.dbv) and statistics files.\n"
        "\n"
        "Usage: dbv COMMAND [OPTIONS] ARGUMENTS\n"
        "\n"
        "Commands:\n"
        "  build SOURCE OUT.dbv          build a database from a source folder\n"
        "  check FILE.dbv                read every question as the program does; report problems\n"
        "  dump FILE.dbv [--question N]  print the title and the questions as JSON\n"
        "  extract FILE.dbv DIR          write the source folder of a database\n"
        "  import SOURCE OUT.dbv         make a database from JSON tickets (folder or archive)\n"
        "  lint FILE.dbv [LIMITS]        report what teaches badly; exit 1 over a limit\n"
        "  stat [FILE]                   print a statistics file (default \"stat.dat\") as JSON\n"
        "  class init --host H --database D  set up the classroom server (PostgreSQL)\n"
        "  help [COMMAND]                show this text or the help of a command\n"
        "\n"
        "Options:\n"
        "  -h, --help                    show help (after a command: that command's help)\n"
        "  --version                     show the version\n"
        "\n"
        "Exit codes: 0 all is well, 1 problems were found, 2 usage or input/output error.\n"
        "Diagnostics go to the standard error; JSON goes to the standard output as UTF-8.");
}

QString commandUsage(const QString &command)
{
    if (command == u"build") {
        return QStringLiteral(
            "Usage: dbv build SOURCE OUT.dbv\n"
            "\n"
            "Builds a question database from the source folder SOURCE (title.txt,\n"
            "ticket01.txt ... ticket40.txt, pictures/). Texts are converted from UTF-8 to\n"
            "Windows-1251. Every problem is reported as FILE:LINE: message; when there is\n"
            "any, OUT.dbv is not written. OUT.dbv is replaced atomically.");
    }
    if (command == u"check") {
        return QStringLiteral(
            "Usage: dbv check FILE.dbv\n"
            "\n"
            "Reads all 800 questions exactly as the program does (index range, text block,\n"
            "picture decoding) and checks the rules an author must keep (2 to 5 variants,\n"
            "correct answer not above the number of variants, title at most 50 characters).\n"
            "Each problem goes to the standard error; the summary line\n"
            "\"800 questions, N with pictures, M problems\" to the standard output.\n"
            "FILE.topics.json and FILE.reference.json beside it are checked when present.");
    }
    if (command == u"dump") {
        return QStringLiteral(
            "Usage: dbv dump FILE.dbv [--question N]\n"
            "\n"
            "Prints the title and every question (or only question N, 1..800) as the\n"
            "program parses it, as UTF-8 JSON. A question the program rejects carries\n"
            "\"error\" instead of its content.\n"
            "\n"
            "Options:\n"
            "  --question N   only question N (absolute number: (ticket - 1) * 20 + question)");
    }
    if (command == u"extract") {
        return QStringLiteral(
            "Usage: dbv extract FILE.dbv DIR [--force]\n"
            "\n"
            "Writes the source folder of a database: title.txt, ticket01.txt ...\n"
            "ticket40.txt and the pictures in DIR/pictures. Building DIR again gives the\n"
            "same questions. DIR is created if needed and must be empty.\n"
            "\n"
            "Options:\n"
            "  --force   write into a folder that is not empty, replacing files of the same name");
    }
    if (command == u"import") {
        return QStringLiteral(
            "Usage: dbv import SOURCE OUT.dbv [--category A_B|C_D] [--title TEXT] [--quiet]\n"
            "\n"
            "Makes a database from a folder of tickets in the common open JSON layout:\n"
            "SOURCE/questions/CAT/tickets/Билет 1.json ... Билет 40.json, 20 questions each,\n"
            "with pictures under SOURCE/images/. SOURCE may also be an archive of such a\n"
            "folder (.zip, .tar.gz and the like; one top-level folder is skipped); it is read\n"
            "in memory, and refused when an entry leaves it, is a link, or it unpacks to more\n"
            "than 1 GiB or 100 times its size. Links in a folder are not followed. OUT must\n"
            "not lie inside SOURCE. Texts are converted to Windows-1251\n"
            "(typographic characters it lacks are mapped to their usual equivalents and\n"
            "counted); pictures are read by content (JPEG, PNG, WebP) and stored as JPEG of\n"
            "at most 30000 bytes. Every problem is reported; when there is any, nothing is\n"
            "written, and the result is checked as `dbv check` would. The questions' topics go\n"
            "to OUT.topics.json beside OUT.dbv. The reference the source may carry\n"
            "(signs/signs.json, markup/markup.json with SVG pictures, penalties/penalties.json)\n"
            "goes to OUT.reference.json; its faults are reported and leave out only what they\n"
            "concern. The files replace what is there together.\n"
            "\n"
            "Options:\n"
            "  --category CAT   A_B (default) or C_D\n"
            "  --title TEXT     the database's title, at most 50 characters\n"
            "  --quiet          no progress line on a terminal");
    }
    if (command == u"lint") {
        return QStringLiteral(
            "Usage: dbv lint FILE.dbv [--summary] [LIMITS]\n"
            "\n"
            "Reports, per question and in a summary, what makes a well-formed database teach\n"
            "badly: near-duplicate questions, correct variants that are the longest too\n"
            "often, numeric variants out of order, correct variants that repeat the\n"
            "question's words, pictures used too often, answers written in another\n"
            "question of the same ticket, variants without \" *\" at the end, empty or\n"
            "lower-case comments. Exits 1 when a figure is over its limit.\n"
            "\n"
            "Options (defaults in brackets):\n"
            "  --summary              print only the summary\n"
            "  --similarity X         near duplicates: shared word share, 0..1 [0.7]\n"
            "  --max-duplicates N     extra copies of near-duplicate questions [16]\n"
            "  --max-longest P        percent of text questions whose correct variant is\n"
            "                         the longest [40]\n"
            "  --max-unordered N      numeric questions with variants out of order [0]\n"
            "  --max-echoes N         correct variants echoing the question [24]\n"
            "  --max-picture-uses N   questions sharing one picture [3]\n"
            "  --max-leaks N          answers given away in the same ticket [0]\n"
            "  --max-markers N        questions with a variant not ending in \" *\" [0]\n"
            "  --max-comments N       empty or lower-case comments [0]");
    }
    if (command == u"stat") {
        return QStringLiteral(
            "Usage: dbv stat [FILE]\n"
            "\n"
            "Prints a statistics file (default: \"stat.dat\" in the current folder) as JSON:\n"
            "the copy of the launch counter, the status of the 40 tickets and, for every\n"
            "question with any answer or time recorded, its counters by mode. The file is\n"
            "only read.");
    }
    if (command == u"class") {
        return QStringLiteral(
            "Usage: dbv class init --host HOST --database NAME [--port N] [--role ROLE]\n"
            "                      [--learner-role ROLE] [--instructor-role ROLE]\n"
            "\n"
            "Sets up the classroom on the school's PostgreSQL server: creates the schema\n"
            "\"zeltrak\" in the database NAME, or brings it to this version, then lets the\n"
            "learner PCs' role add rows and nothing else (row-level security) and the\n"
            "instructor's role read everything. Run it as the database's owner; run it\n"
            "again after updating the program. The roles must exist (CREATE ROLE).\n"
            "The password is read by the PostgreSQL client library from ~/.pgpass (or the\n"
            "file PGPASSFILE names; on Windows %APPDATA%\\postgresql\\pgpass.conf).\n"
            "\n"
            "Options:\n"
            "  --host HOST              the server\n"
            "  --port N                 its port [5432]\n"
            "  --database NAME          the classroom's database\n"
            "  --role ROLE              connect as ROLE [the user's name]\n"
            "  --learner-role ROLE      the learner PCs' role [zeltrak_pc]\n"
            "  --instructor-role ROLE   the instructor's role [zeltrak_instructor]");
    }
    if (command == u"help")
        return QStringLiteral("Usage: dbv help [COMMAND]");
    return {};
}

int parseCommandLine(QCommandLineParser &parser, const QString &command,
                     const QStringList &arguments, qsizetype minOperands, qsizetype maxOperands,
                     Console &console)
{
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOption(help);
    // The parser skips its first argument, the program name.
    if (!parser.parse(QStringList{QStringLiteral("dbv")} + arguments)) {
        console.report(QStringLiteral("dbv %1: %2").arg(command, parser.errorText()));
        console.report(QStringLiteral("Try 'dbv %1 --help'.").arg(command));
        return DbvExit::UsageOrIoError;
    }
    if (parser.isSet(help)) {
        console.print(commandUsage(command));
        return DbvExit::Success;
    }
    const qsizetype count = parser.positionalArguments().size();
    if (count < minOperands || count > maxOperands) {
        console.report(QStringLiteral("dbv %1: %2")
                           .arg(command, count < minOperands
                                             ? QStringLiteral("missing operand")
                                             : QStringLiteral("too many operands")));
        console.report(commandUsage(command).section(u'\n', 0, 0));
        return DbvExit::UsageOrIoError;
    }
    return -1;
}
