#include "syntheticdatabase.h"

#include <QGuiApplication>

#include <cstdio>

// Writes the synthetic test database to the path given as the only argument.
int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 2) {
        std::fputs("Usage: make_testdb OUT.dbv\n", stderr);
        return 2;
    }
    if (!SyntheticDatabase::write(arguments.at(1))) {
        std::fprintf(stderr, "make_testdb: cannot write %s\n", qPrintable(arguments.at(1)));
        return 1;
    }
    return 0;
}
