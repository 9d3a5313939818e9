#pragma once

#include <QList>
#include <QMap>
#include <QMessageBox>
#include <QPointer>
#include <QString>

// Every message box of the program goes through here. The box is always a
// real QMessageBox owned by the window that raises it. Tests queue answers
// with setNextAnswers(): the box is then built exactly as for the user,
// recorded, and answered without entering its event loop.
class MessageBoxes
{
public:
    using Button = QMessageBox::StandardButton;

    struct Shown
    {
        QPointer<QWidget> owner;
        QMessageBox::Icon icon;
        QString caption;
        QString text;
        QMessageBox::StandardButtons buttons;
        // The captions of buttons that do not say their standard word.
        QMap<Button, QString> buttonTexts;
    };

    static Button show(QWidget *owner, QMessageBox::Icon icon, const QString &caption,
                       const QString &text, QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                       Button defaultButton = QMessageBox::NoButton,
                       const QMap<Button, QString> &buttonTexts = {});

    static Button information(QWidget *owner, const QString &caption, const QString &text);
    static Button warning(QWidget *owner, const QString &caption, const QString &text);
    static Button error(QWidget *owner, const QString &caption, const QString &text);
    // Yes/No with the question icon.
    static Button question(QWidget *owner, const QString &caption, const QString &text);

    // Test hooks. While answers are queued, each box takes the next one; when
    // the queue is empty, boxes are shown modally as usual.
    static void setNextAnswers(const QList<Button> &answers);
    static void setNextAnswer(Button answer) { setNextAnswers({answer}); }
    static bool hasQueuedAnswers();
    static const QList<Shown> &shown();
    static void clearShown();
};
