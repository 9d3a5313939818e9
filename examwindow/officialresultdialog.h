#pragma once

#include "reference.h"

#include <functional>

#include "examattempt.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QuestionDatabase;

// The end of an exam by the official rules: passed or not and why, in plain
// words, the time it took, the numbers of the questions counted as errors,
// and "Разобрать ошибки", which opens them with their comments.
class OfficialResultDialog : public QDialog
{
    Q_OBJECT

public:
    explicit OfficialResultDialog(QWidget *parent = nullptr);

    // `database` is where the review reads the questions; it must outlive
    // the dialog's showing.
    void setResult(const AttemptResult &result, QuestionDatabase &database);
    // Passed on to the review of mistakes (MistakeReviewWindow).
    void setReferenceLinks(const Reference *reference,
                           std::function<void(ReferenceKind, const QString &)> open)
    {
        m_reference = reference;
        m_openReference = std::move(open);
    }

    // The headline and the reason, as the learner reads them.
    static QString headline(const AttemptResult &result);
    static QString reason(const AttemptResult &result);

private:
    void openReview();

    AttemptResult m_result;
    QuestionDatabase *m_database = nullptr;
    const Reference *m_reference = nullptr;
    std::function<void(ReferenceKind, const QString &)> m_openReference;

    QLabel *m_headline = nullptr;
    QLabel *m_reason = nullptr;
    QLabel *m_details = nullptr;
    QLabel *m_mistakes = nullptr;
    QPushButton *m_reviewButton = nullptr;
};
