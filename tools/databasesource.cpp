#include "databasesource.h"

#include "databasewriter.h"

QStringList SourceQuestion::blockLines() const
{
    QStringList lines;
    lines << QString::number(correct) << text << variants << endLine << comment;
    return lines;
}

QByteArray SourceQuestion::textBlock() const
{
    return DatabaseWriter::textBlock(blockLines());
}

QString SourceFiles::titleFile()
{
    return QStringLiteral("title.txt");
}

QString SourceFiles::ticketFile(int ticket)
{
    return QStringLiteral("ticket%1.txt").arg(ticket, 2, 10, QLatin1Char('0'));
}

QString SourceFiles::picturesFolder()
{
    return QStringLiteral("pictures");
}
