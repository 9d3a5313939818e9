#pragma once

#include "reference.h"

#include <functional>

#include "examattempt.h"

#include <QDialog>
#include <QList>

class PictureBox;
class QLabel;
class QPushButton;
class QuestionDatabase;

// "Разбор ошибок": the questions an exam counted as errors, one at a time,
// with the learner's answer, the right one and the comment, read from the
// question database. Nothing here is answered or recorded.
class MistakeReviewWindow : public QDialog
{
    Q_OBJECT

public:
    MistakeReviewWindow(QuestionDatabase &database, const QList<ExamMistake> &mistakes,
                        QWidget *parent = nullptr);

    // The reference whose signs and markings become links in the comments,
    // and what a click on one does.
    void setReferenceLinks(const Reference *reference,
                           std::function<void(ReferenceKind, const QString &)> open);

    int currentIndex() const { return m_index; }
    // Shows mistake `index` (0-based).
    void showMistake(int index);

private:
    QuestionDatabase &m_database;
    QList<ExamMistake> m_mistakes;
    int m_index = -1;
    const Reference *m_reference = nullptr;
    std::function<void(ReferenceKind, const QString &)> m_openReference;

    QLabel *m_heading = nullptr;
    QLabel *m_counter = nullptr;
    PictureBox *m_picture = nullptr;
    QLabel *m_question = nullptr;
    QLabel *m_variants = nullptr;
    QLabel *m_comment = nullptr;
    QPushButton *m_previous = nullptr;
    QPushButton *m_next = nullptr;
};
