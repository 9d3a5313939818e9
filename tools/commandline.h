#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

class Console;

// Usage text of dbv as a whole.
QString dbvUsage();
// Usage text of one command; empty for an unknown command.
QString commandUsage(const QString &command);

// Parses the arguments of `command` (those after its name) with `parser`,
// to which -h/--help is added here. Returns -1 when the command should go on;
// otherwise the exit code to end with: 0 after printing the command's help,
// 2 after reporting a usage error (unknown option, wrong number of operands).
int parseCommandLine(QCommandLineParser &parser, const QString &command,
                     const QStringList &arguments, qsizetype minOperands, qsizetype maxOperands,
                     Console &console);
