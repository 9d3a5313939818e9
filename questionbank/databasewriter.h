#pragma once

#include "questionindexentry.h"

#include <QByteArray>
#include <QString>

#include <array>

// Lays out a question database: title field, index and the blocks after it,
// each question's text block followed by its picture. Used by the dbv tool and
// by tests that need databases of their own.
class DatabaseWriter
{
public:
    // `title` is encoded as Windows-1251 and cut to 50 bytes.
    void setTitle(const QString &title);
    void setTitleBytes(const QByteArray &windows1251);
    // Question a (1..800): its raw text block and JPEG bytes (empty: none).
    void setQuestion(int absoluteNumber, const QByteArray &textBlock,
                     const QByteArray &jpeg = QByteArray());

    QByteArray toBytes() const;
    // Writes atomically; returns false with `error` set on failure.
    bool writeFile(const QString &path, QString *error = nullptr) const;

    // Encodes a list of lines as a Windows-1251 block with CR LF line ends.
    static QByteArray textBlock(const QStringList &lines);

private:
    QByteArray m_title;
    std::array<QByteArray, QuestionBankLayout::QuestionCount> m_texts;
    std::array<QByteArray, QuestionBankLayout::QuestionCount> m_pictures;
};
