#pragma once

#include <QDialog>

struct AttemptResult;

class QLabel;
class QPushButton;
class QFrame;
class PictureBox;

// The result dialog shown after a training or exam attempt: a headline, three
// result lines, a fixed car picture and an OK button. It keeps no state
// between showings; the exam window fills all four lines before each one.
class ResultDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ResultDialog(QWidget *parent = nullptr);

    // Fills the four lines from how a training or exam attempt went.
    void setResult(const AttemptResult &result);
    // Fills the headline and the three result lines in that order.
    void setResultLines(const QString &headline, const QString &line2, const QString &line3,
                        const QString &line4);

    // Shows the dialog modally at its fixed place on the screen.
    int showModalAtDesignPosition();

    static constexpr QPoint DesignPosition{230, 190};
    static constexpr QSize DesignClientSize{362, 189};

private:
    QLabel *m_headline = nullptr;
    PictureBox *m_picture = nullptr;
    QFrame *m_pictureFrame = nullptr;
    QLabel *m_line2 = nullptr;
    QLabel *m_line3 = nullptr;
    QLabel *m_line4 = nullptr;
    QPushButton *m_okButton = nullptr;
};
