#pragma once

#include <QObject>

class QWidget;

// Ends the program as soon as `window` has painted for the first time, when
// the environment asks for it (ZELTRAK_QUIT_AFTER_FIRST_PAINT set to
// anything). The start-up benchmark times whole runs up to that point; a
// learner's run never sets the variable and nothing is installed.
class QuitOnFirstPaint : public QObject
{
    Q_OBJECT
public:
    static constexpr const char *VariableName = "ZELTRAK_QUIT_AFTER_FIRST_PAINT";

    // Installs the watch on `window` when the variable is set.
    static void installIfRequested(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit QuitOnFirstPaint(QWidget *window);

    bool m_quitting = false;
};
