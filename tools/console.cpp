#include "console.h"

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
