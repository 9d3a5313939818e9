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

    // Whether diagnostics go to a terminal, where a progress line can be
    // redrawn in place.
    bool isTerminal() const { return m_terminal; }
    void setTerminal(bool terminal) { m_terminal = terminal; }
    // Redraws the progress line on the diagnostics stream; endProgress()
    // moves past it.
    void progress(const QString &line);
    void endProgress();

private:
    QIODevice &m_out;
    QIODevice &m_err;
    bool m_terminal = false;
    bool m_progressShown = false;
};
