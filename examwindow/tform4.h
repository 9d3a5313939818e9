#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QFrame;
class PictureBox;

// The result dialog shown after a training or exam attempt: a headline, three
// result lines, a fixed car picture and an OK button. It keeps no state
// between showings; the exam window fills all four lines before each one.
class TForm4 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm4(QWidget *parent = nullptr);

    // Fills Label1..Label4 in that order.
    void setResultLines(const QString &headline, const QString &line2, const QString &line3,
                        const QString &line4);

    // Shows the dialog modally at its fixed place on the screen.
    int showModalAtDesignPosition();

    static constexpr QPoint DesignPosition{230, 190};
    static constexpr QSize DesignClientSize{362, 189};

private:
    QLabel *Label1 = nullptr;
    PictureBox *Image1 = nullptr;
    QFrame *Bevel1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QPushButton *BitBtn1 = nullptr;
};
