#pragma once

#include <QIcon>
#include <QList>
#include <QObject>

#include <array>

class QLabel;
class QListWidget;
class QPushButton;
class QWidget;
class StatRecord;

// The main window's ticket catalogue and the four mode buttons beside it:
// the 40 tickets with their status icons, and learning, preparation,
// training and exam, each with its explanation. A mode that needs a ticket
// asks for one when none is selected; otherwise the button says which
// attempt to start.
class TicketCatalogue : public QObject
{
    Q_OBJECT
public:
    // The property that holds a control's help context for F1.
    static constexpr char HelpContextProperty[] = "helpContext";

    // Creates the controls on `window`, in their tab order.
    explicit TicketCatalogue(QWidget *window);

    // The status icons, index = ticket status.
    const QList<QIcon> &statusIcons() const { return m_statusIcons; }
    void showStatuses(const StatRecord &record);
    // Selects the first ticket and gives the list the focus.
    void selectFirstTicket();
    // 1..40, or 0 when no ticket is selected.
    int selectedTicket() const;

signals:
    void learningChosen(int ticket);
    void preparationChosen(int ticket); // 0: no ticket selected
    void trainingChosen(int ticket);
    void examChosen();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createModeRows();
    // The selected ticket, or a message asking for one and 0.
    int requireTicket();

    QWidget *m_window;
    QLabel *m_heading = nullptr;
    QListWidget *m_list = nullptr;
    QList<QIcon> m_statusIcons;
    QPushButton *m_learningButton = nullptr;
    QPushButton *m_preparationButton = nullptr;
    QPushButton *m_trainingButton = nullptr;
    QPushButton *m_examButton = nullptr;
};
