#pragma once

#include <QFileDialog>
#include <QString>

#include <optional>

// The file-open dialogue. The program shows a real QFileDialog owned by the
// calling window; tests queue the file name the user "chooses" (an empty
// string is a cancelled dialogue).
class FileDialogs
{
public:
    struct Request
    {
        QString objectName;
        QString title;
        QString filter;
        QString directory;
    };

    // Runs `dialog` (already set up by the caller) and returns the chosen file,
    // or an empty string when the user cancels.
    static QString getOpenFileName(QFileDialog &dialog);

    static void setNextFileName(const QString &fileName);
    static const std::optional<Request> &lastRequest();
};
