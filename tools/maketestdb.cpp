#include "syntheticdatabase.h"

#include <QCoreApplication>

#include <cstdio>

// Writes the synthetic test database to the path given as the only argument.
int main(int argc, char *argv[])
{
    // The pictures are drawn on QImage without text, which needs no platform
    // plugin and no display: the build runs this on machines without one.
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
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
