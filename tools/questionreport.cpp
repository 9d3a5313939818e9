#include "questionreport.h"

#include "questionbankerror.h"
#include "questionindexentry.h"
#include "textblock.h"

QString questionPrefix(int absoluteNumber)
{
    using namespace QuestionBankLayout;
    return QStringLiteral("question %1 (ticket %2, question %3): ")
        .arg(absoluteNumber)
        .arg(ticketOf(absoluteNumber))
        .arg(questionOf(absoluteNumber));
}

QString rejectionReason(int absoluteNumber, const QuestionBankError &error)
{
    const QString message = error.message();
    const QString lead = questionErrorMessage(absoluteNumber, QString());
    return message.startsWith(lead) ? message.mid(lead.size()) : message;
}
