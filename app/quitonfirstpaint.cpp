#include "quitonfirstpaint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

QuitOnFirstPaint::QuitOnFirstPaint(QWidget *window) : QObject(window)
{
    window->installEventFilter(this);
}

void QuitOnFirstPaint::installIfRequested(QWidget *window)
{
    if (qEnvironmentVariableIsSet(VariableName))
        new QuitOnFirstPaint(window);
}

bool QuitOnFirstPaint::eventFilter(QObject *watched, QEvent *event)
{
    // Queued, so the paint that is under way finishes and reaches the
    // screen (the backing store's flush) before the loop ends.
    if (event->type() == QEvent::Paint && !m_quitting) {
        m_quitting = true;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [] {
                // What the program queued after its first paint is not part
                // of the start-up that is measured.
                QCoreApplication::removePostedEvents(nullptr);
                QCoreApplication::quit();
            },
            Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}
