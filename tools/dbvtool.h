#pragma once

#include <QIODevice>
#include <QStringList>

// Runs dbv with `arguments` (without the program name), writing results to
// `out` and diagnostics to `err`; returns the exit code: 0 all is well,
// 1 problems were found, 2 usage or input/output error. `errIsTerminal` lets
// long commands draw a progress line on `err`.
int runDbv(const QStringList &arguments, QIODevice &out, QIODevice &err,
           bool errIsTerminal = false);
