#pragma once

#include <QList>
#include <QString>

#include <functional>

class QWidget;

// Opens the help file at a topic ("glavn", "test", "stat") or at a numbered
// context (the mode buttons, 4..7). The program installs its help viewer with
// setViewer(); until then (and in tests that install none) requests are only
// recorded.
class Help
{
public:
    struct Request
    {
        QString topic; // empty for a context request
        int context = 0;
    };
    using Viewer = std::function<void(QWidget *owner, const Request &request)>;

    static constexpr char HelpFile[] = "ZELTRAK.HLP";

    static void showTopic(QWidget *owner, const QString &topic);
    static void showContext(QWidget *owner, int context);

    static void setViewer(Viewer viewer);
    static const QList<Request> &requests();
    static void clearRequests();
};
