#pragma once

#include <QString>

#include <stdexcept>

// Raised when a database cannot be opened or one of its questions cannot be
// read. The message is Russian and meant to be shown to the user as it is.
class QuestionBankError : public std::runtime_error
{
public:
    explicit QuestionBankError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }

    QString message() const { return m_message; }

private:
    QString m_message;
};
