#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// About the program: name, authors and the end-user agreement.
class AboutWindow : public QDialog
{
    Q_OBJECT
public:
    explicit AboutWindow(QWidget *parent = nullptr);

    static QString agreementText();

private:
    QLabel *m_icon;
    QLabel *m_title;
    QLabel *m_authors;
    QPlainTextEdit *m_agreement;
    QPushButton *m_okButton;
};
