#include "messageboxes.h"

#include <QAbstractButton>

namespace {

struct SeamState
{
    QList<MessageBoxes::Button> answers;
    QList<MessageBoxes::Shown> shown;
};

SeamState &state()
{
    static SeamState s;
    return s;
}

} // namespace

MessageBoxes::Button MessageBoxes::show(QWidget *owner, QMessageBox::Icon icon,
                                        const QString &caption, const QString &text,
                                        QMessageBox::StandardButtons buttons, Button defaultButton,
                                        const QMap<Button, QString> &buttonTexts)
{
    // Texts may break lines with LF CR, which the desktop's own message boxes
    // show as one line break; Qt would show two, so the CR is left out of
    // what is drawn (the text itself is recorded unchanged).
    QString shownText = text;
    shownText.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    QMessageBox box(icon, caption, shownText, buttons, owner);
    box.setObjectName(QStringLiteral("MessageBox"));
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    for (auto it = buttonTexts.cbegin(); it != buttonTexts.cend(); ++it) {
        if (QAbstractButton *button = box.button(it.key()))
            button->setText(it.value());
    }

    state().shown.append({owner, icon, caption, text, buttons, buttonTexts});
    if (!state().answers.isEmpty())
        return state().answers.takeFirst();
    return static_cast<Button>(box.exec());
}

MessageBoxes::Button MessageBoxes::information(QWidget *owner, const QString &caption,
                                               const QString &text)
{
    return show(owner, QMessageBox::Information, caption, text);
}

MessageBoxes::Button MessageBoxes::warning(QWidget *owner, const QString &caption,
                                           const QString &text)
{
    return show(owner, QMessageBox::Warning, caption, text);
}

MessageBoxes::Button MessageBoxes::error(QWidget *owner, const QString &caption,
                                         const QString &text)
{
    return show(owner, QMessageBox::Critical, caption, text);
}

MessageBoxes::Button MessageBoxes::question(QWidget *owner, const QString &caption,
                                            const QString &text)
{
    return show(owner, QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                QMessageBox::Yes);
}

void MessageBoxes::setNextAnswers(const QList<Button> &answers)
{
    state().answers = answers;
}

bool MessageBoxes::hasQueuedAnswers()
{
    return !state().answers.isEmpty();
}

const QList<MessageBoxes::Shown> &MessageBoxes::shown()
{
    return state().shown;
}

void MessageBoxes::clearShown()
{
    state().shown.clear();
}
