#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// About the program: name, authors and the end-user agreement.
class TForm7 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm7(QWidget *parent = nullptr);

    static QString agreementText();

private:
    QLabel *Image1;
    QLabel *Label2;
    QLabel *Label1;
    QPlainTextEdit *Memo1;
    QPushButton *Button1;
};
