#include "console.h"

#include <QFileDevice>

void Console::print(const QString &line)
{
    m_out.write(line.toUtf8() + '\n');
}

void Console::write(const QByteArray &bytes)
{
    m_out.write(bytes);
}

void Console::report(const QString &line)
{
    m_err.write(line.toUtf8() + '\n');
}

void Console::progress(const QString &line)
{
    // Carriage return, the line, then erase what an earlier, longer line
    // left to its right.
    m_err.write('\r' + line.toUtf8() + "\x1b[K");
    if (auto *file = qobject_cast<QFileDevice *>(&m_err))
        file->flush();
    m_progressShown = true;
}

void Console::endProgress()
{
    if (m_progressShown)
        m_err.write("\n");
    m_progressShown = false;
}
