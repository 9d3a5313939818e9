#include "sourcewriter.h"

#include <QDir>
#include <QHash>
#include <QSaveFile>

using namespace QuestionBankLayout;

SourceWriter::SourceWriter(const QString &folder) : m_folder(folder) {}

QString SourceWriter::pictureName(int absoluteNumber)
{
    return QStringLiteral("t%1-q%2.jpg")
        .arg(ticketOf(absoluteNumber), 2, 10, QLatin1Char('0'))
        .arg(questionOf(absoluteNumber), 2, 10, QLatin1Char('0'));
}

bool SourceWriter::writeFile(const QString &name, const QByteArray &bytes)
{
    QSaveFile file(QDir(m_folder).filePath(name));
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    m_error = QStringLiteral("%1: %2").arg(file.fileName(), file.errorString());
    return false;
}

bool SourceWriter::write(const DatabaseSource &source)
{
    QDir folder(m_folder);
    if (!folder.mkpath(SourceFiles::picturesFolder())) {
        m_error = QStringLiteral("%1: cannot create the folder")
                      .arg(folder.filePath(SourceFiles::picturesFolder()));
        return false;
    }
    if (!writeFile(SourceFiles::titleFile(), source.title.toUtf8() + '\n'))
        return false;

    QHash<QByteArray, QString> written; // picture bytes -> file name
    for (int ticket = 1; ticket <= TicketCount; ++ticket) {
        QString text = QStringLiteral("# Билет %1\n").arg(ticket);
        for (int q = 1; q <= QuestionsPerTicket; ++q) {
            const int a = absoluteNumber(ticket, q);
            text += u'\n';
            const QString &reason = source.missingReasons[size_t(a - 1)];
            if (!reason.isEmpty()) {
                text += QStringLiteral("# question %1 could not be read: %2\n").arg(q).arg(reason);
                continue;
            }
            const SourceQuestion &question = source.questions[size_t(a - 1)];
            text += QStringLiteral("question %1\n").arg(q);
            if (!question.picture.isEmpty()) {
                QString name = written.value(question.picture);
                if (name.isEmpty()) {
                    name = pictureName(a);
                    if (!writeFile(SourceFiles::picturesFolder() + u'/' + name, question.picture))
                        return false;
                    written.insert(question.picture, name);
                }
                text += QStringLiteral("picture %1\n").arg(name);
            }
            text += QStringLiteral("correct %1\n").arg(question.correct);
            text += QStringLiteral("text %1\n").arg(question.text);
            for (const QString &variant : question.variants)
                text += QStringLiteral("variant %1\n").arg(variant);
            if (!question.endLine.isEmpty())
                text += QStringLiteral("end %1\n").arg(question.endLine);
            text += QStringLiteral("comment %1\n").arg(question.comment);
        }
        if (!writeFile(SourceFiles::ticketFile(ticket), text.toUtf8()))
            return false;
    }
    return true;
}
