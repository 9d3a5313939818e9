#pragma once

#include "question.h"
#include "questionindexentry.h"

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>

// An open question database: the title and the index of 800 questions are
// read once; text blocks and pictures are read on demand from the file, which
// stays open until closeDatabase or the next openDatabase.
//
// Every read of a block is checked against the file size and the 30000-byte
// block limit, so a damaged entry rejects only its own question (with a
// QuestionBankError naming it) and the rest of the database stays usable.
class QuestionDatabase
{
public:
    QuestionDatabase();
    ~QuestionDatabase();
    QuestionDatabase(const QuestionDatabase &) = delete;
    QuestionDatabase &operator=(const QuestionDatabase &) = delete;

    // Opens the file at `path` and reads the title field and the index; returns
    // the title. A file shorter than title + index is not an error: what was
    // not read keeps its previous content (all zero on the first open).
    // Throws QuestionBankError when the file cannot be opened or read.
    QString openDatabase(const QString &path);
    // The same from an already created device (tests read from memory). The
    // device is opened read-only if it is not open yet.
    QString openDevice(std::unique_ptr<QIODevice> device);
    void closeDatabase();
    bool isOpen() const;

    // The lines of question a's text block (a = 1..800).
    QStringList readQuestionText(int absoluteNumber);
    // Question a's raw text block bytes, checked as readQuestionText does.
    QByteArray readQuestionBlock(int absoluteNumber);
    // Question a's decoded picture, or nullopt when its picture offset is 0.
    std::optional<QImage> readQuestionPicture(int absoluteNumber);
    // Question a's raw JPEG bytes, or an empty array when it has no picture.
    QByteArray readQuestionPictureBytes(int absoluteNumber);

    // Reads, parses and decodes question a into `question`: the usual way to
    // show a question. On failure `question` is left unchanged.
    void readQuestion(int absoluteNumber, Question &question);

    QString title() const;
    const QuestionIndexEntry &entry(int absoluteNumber) const;
    qint64 fileSize() const;

private:
    // `what` names the block in the genitive ("текста", "рисунка").
    QByteArray readRange(int absoluteNumber, qint32 offset, qint32 length, const QString &what);
    void checkNumber(int absoluteNumber) const;

    std::unique_ptr<QIODevice> m_device;
    // The raw title field and the index outlive a close, like the fixed
    // buffers they are read into: a short file leaves the rest as it was.
    std::array<char, 51> m_titleField{};
    std::array<char, 12800> m_indexBytes{};
    std::array<QuestionIndexEntry, 800> m_index{};
};

// The program-wide database, open for the whole run.
QuestionDatabase &globalQuestionDatabase();
