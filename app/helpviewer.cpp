#include "helpviewer.h"

#include "programinfo.h"
#include "screenfit.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QPointer<HelpViewer> &sharedViewer()
{
    static QPointer<HelpViewer> viewer;
    return viewer;
}

const QString ContentsPage = QStringLiteral("qrc:/help/glavn.html");

} // namespace

HelpViewer::HelpViewer(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Справка — %1").arg(QString::fromUtf8(ProgramInfo::Title)));
    // No taller than the largest window of the program (InterfaceScale).
    resize(640, 480);

    m_backButton = new QToolButton(this);
    m_backButton->setObjectName(QStringLiteral("BackButton"));
    m_backButton->setText(QStringLiteral("◀ Назад"));
    m_forwardButton = new QToolButton(this);
    m_forwardButton->setObjectName(QStringLiteral("ForwardButton"));
    m_forwardButton->setText(QStringLiteral("Вперёд ▶"));
    m_homeButton = new QToolButton(this);
    m_homeButton->setObjectName(QStringLiteral("HomeButton"));
    m_homeButton->setText(QStringLiteral("Содержание"));

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenExternalLinks(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_homeButton);
    buttons->addWidget(m_backButton);
    buttons->addWidget(m_forwardButton);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);

    m_backButton->setEnabled(false);
    m_forwardButton->setEnabled(false);
    connect(m_backButton, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forwardButton, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_homeButton, &QToolButton::clicked, this, [this] { showUrl(QUrl(ContentsPage)); });
    connect(m_browser, &QTextBrowser::backwardAvailable, m_backButton, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forwardButton, &QToolButton::setEnabled);
}

QUrl HelpViewer::urlFor(const Help::Request &request)
{
    if (request.topic.isEmpty()) {
        // The help contexts of the four mode buttons.
        switch (request.context) {
        case 4:
            return QUrl(QStringLiteral("qrc:/help/rezhimy.html#obuchenie"));
        case 5:
            return QUrl(QStringLiteral("qrc:/help/rezhimy.html#podgotovka"));
        case 6:
            return QUrl(QStringLiteral("qrc:/help/rezhimy.html#trenirovka"));
        case 7:
            return QUrl(QStringLiteral("qrc:/help/rezhimy.html#ekzamen"));
        default:
            return QUrl(ContentsPage);
        }
    }
    const QString topic = request.topic.toLower();
    if (topic == QLatin1String("test"))
        return QUrl(QStringLiteral("qrc:/help/test.html"));
    if (topic == QLatin1String("stat"))
        return QUrl(QStringLiteral("qrc:/help/stat.html"));
    return QUrl(ContentsPage);
}

void HelpViewer::install()
{
    Help::setViewer([](QWidget *owner, const Help::Request &request) {
        // A modal window blocks every other window but its own children:
        // help asked for from one opens as its child window, so that it can
        // be scrolled and its links followed while the modal window waits.
        QWidget *host = owner ? owner->window() : nullptr;
        QWidget *parent = host && host->isModal() ? host : nullptr;
        QPointer<HelpViewer> &viewer = sharedViewer();
        if (!viewer) {
            viewer = new HelpViewer(parent);
            viewer->setAttribute(Qt::WA_DeleteOnClose);
        } else if (viewer->parentWidget() != parent) {
            const QRect geometry = viewer->geometry();
            viewer->setParent(parent, Qt::Window);
            viewer->setGeometry(geometry);
        }
        viewer->showUrl(urlFor(request));
        ScreenFit::fitToScreen(viewer);
        viewer->show();
        viewer->raise();
        viewer->activateWindow();
    });
}

HelpViewer *HelpViewer::instance()
{
    return sharedViewer();
}

void HelpViewer::showUrl(const QUrl &url)
{
    m_browser->setSource(url);
}
