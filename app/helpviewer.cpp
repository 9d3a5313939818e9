#include "helpviewer.h"

#include "programinfo.h"

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
    resize(640, 560);

    BackButton = new QToolButton(this);
    BackButton->setObjectName(QStringLiteral("BackButton"));
    BackButton->setText(QStringLiteral("◀ Назад"));
    ForwardButton = new QToolButton(this);
    ForwardButton->setObjectName(QStringLiteral("ForwardButton"));
    ForwardButton->setText(QStringLiteral("Вперёд ▶"));
    HomeButton = new QToolButton(this);
    HomeButton->setObjectName(QStringLiteral("HomeButton"));
    HomeButton->setText(QStringLiteral("Содержание"));

    HelpBrowser = new QTextBrowser(this);
    HelpBrowser->setObjectName(QStringLiteral("HelpBrowser"));
    HelpBrowser->setOpenExternalLinks(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(HomeButton);
    buttons->addWidget(BackButton);
    buttons->addWidget(ForwardButton);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(HelpBrowser);

    BackButton->setEnabled(false);
    ForwardButton->setEnabled(false);
    connect(BackButton, &QToolButton::clicked, HelpBrowser, &QTextBrowser::backward);
    connect(ForwardButton, &QToolButton::clicked, HelpBrowser, &QTextBrowser::forward);
    connect(HomeButton, &QToolButton::clicked, this, [this] { showUrl(QUrl(ContentsPage)); });
    connect(HelpBrowser, &QTextBrowser::backwardAvailable, BackButton, &QToolButton::setEnabled);
    connect(HelpBrowser, &QTextBrowser::forwardAvailable, ForwardButton, &QToolButton::setEnabled);
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
    Help::setViewer([](QWidget *, const Help::Request &request) {
        QPointer<HelpViewer> &viewer = sharedViewer();
        if (!viewer) {
            viewer = new HelpViewer;
            viewer->setAttribute(Qt::WA_DeleteOnClose);
        }
        viewer->showUrl(urlFor(request));
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
    HelpBrowser->setSource(url);
}
