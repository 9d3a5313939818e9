#pragma once

#include "help.h"

#include <QUrl>
#include <QWidget>

class QTextBrowser;
class QToolButton;

// The program's help: Russian pages bundled under ":/help", shown in a
// browser window of their own. The help file name and topic identifiers the
// windows use are mapped to pages and anchors here.
class HelpViewer : public QWidget
{
    Q_OBJECT
public:
    explicit HelpViewer(QWidget *parent = nullptr);

    // The page (and anchor) that answers a request; the contents page for
    // anything unknown.
    static QUrl urlFor(const Help::Request &request);

    // Routes every help request of the program to one shared viewer window.
    static void install();
    // The shared window, if it is open.
    static HelpViewer *instance();

    void showUrl(const QUrl &url);
    QTextBrowser *browser() const { return m_browser; }

private:
    QTextBrowser *m_browser;
    QToolButton *m_backButton;
    QToolButton *m_forwardButton;
    QToolButton *m_homeButton;
};
