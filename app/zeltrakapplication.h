#pragma once

#include <QApplication>

// The application object. An exception that no handler caught is shown in
// a message box with its text, and the program goes on.
class ZeltrakApplication : public QApplication
{
    Q_OBJECT
public:
    ZeltrakApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // The text shown for an exception that reached the event loop.
    static QString exceptionText(const std::exception_ptr &exception);
};
