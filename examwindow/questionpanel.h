#pragma once

#include "reference.h"

#include <QImage>
#include <QScrollArea>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>

class AnchorLayout;
class ClickLabel;
class PictureBox;
class PieChartView;
class QLabel;
class QPushButton;

// The exam window's question area: the picture, the question, the numbered
// variants, the comment, the five answer buttons and, in learning, the pie
// of the question's answers with its seconds. The window says what to show;
// the panel lays it out by the window's size and reports answer clicks.
class QuestionPanel : public QScrollArea
{
    Q_OBJECT
public:
    explicit QuestionPanel(QWidget *parent = nullptr);
    ~QuestionPanel() override;

    // Shows a question. Two to five variants also set which answer buttons
    // are visible; any other count leaves them as they were.
    void showQuestion(const std::optional<QImage> &picture, const QString &text,
                      const QStringList &variants);
    // Clears the area for a question that cannot be read: nothing to see,
    // nothing to answer.
    void showUnreadable();
    void setAnswerButtonsEnabled(bool enabled);
    // Button n = 1..5.
    QPushButton *answerButton(int n) const { return m_answerButtons[size_t(n)]; }
    // The marathon's "Далее" button; hidden unless shown.
    QPushButton *nextButton() const { return m_nextButton; }
    // With a reference, the signs and markings it holds become links.
    void showComment(const QString &comment, const Reference *reference = nullptr);
    void hideComment();
    void setPieVisible(bool visible);
    void setPieCounts(int correct, int wrong, qint64 seconds);
    // The shown question's picture; null when it has none.
    QImage picture() const;

    // Lays the controls out for the panel's present size; the font sizes
    // follow the window's outer width.
    void fitToWindow(int windowOuterWidth);

signals:
    void referenceLinkActivated(ReferenceKind kind, const QString &number);
    void answerClicked(int variant);
    // The learner asked to see the picture large.
    void pictureClicked();
    void nextClicked();

private:
    void placeQuestionText();
    void toggleSecondsLabel();

    std::unique_ptr<AnchorLayout> m_layout;
    QWidget *m_area = nullptr;
    PictureBox *m_picture = nullptr;
    QLabel *m_questionText = nullptr;
    QLabel *m_variantsText = nullptr;
    QLabel *m_commentText = nullptr;
    std::array<QPushButton *, 6> m_answerButtons{}; // [1..5]
    QPushButton *m_nextButton = nullptr;
    PieChartView *m_pieChart = nullptr;
    ClickLabel *m_secondsLabel = nullptr;
};
