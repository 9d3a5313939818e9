#pragma once

#include <QStringList>

class Console;

// The commands of dbv. Each takes the arguments after its name and returns the
// process exit code (see DbvExit).
namespace DbvExit {
inline constexpr int Success = 0;
inline constexpr int ProblemsFound = 1;
inline constexpr int UsageOrIoError = 2;
} // namespace DbvExit

int runBuild(const QStringList &arguments, Console &console);
int runCheck(const QStringList &arguments, Console &console);
int runDump(const QStringList &arguments, Console &console);
int runExtract(const QStringList &arguments, Console &console);
int runLint(const QStringList &arguments, Console &console);
int runStat(const QStringList &arguments, Console &console);
int runImport(const QStringList &arguments, Console &console);
int runClass(const QStringList &arguments, Console &console);
