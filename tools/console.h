#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

// Where a dbv command writes: results to `out`, diagnostics to `err`, both as
// UTF-8. The tool passes stdout and stderr; tests pass buffers.
class Console
{
public:
    Console(QIODevice &out, QIODevice &err) : m_out(out), m_err(err) {}

    // One line of output, a newline appended.
    void print(const QString &line);
    // Raw bytes of output (JSON documents, already UTF-8).
    void write(const QByteArray &bytes);
    // One line of diagnostics, a newline appended.
    void report(const QString &line);

private:
    QIODevice &m_out;
    QIODevice &m_err;
};
