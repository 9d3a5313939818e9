#include "splashwindow.h"

#include "artresources.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

SplashWindow::SplashWindow(QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Dialog)
{
    setObjectName(QStringLiteral("Form6"));
    setModal(true);
    setFixedSize(302, 301);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x1F, 0x4E, 0x8C)); // the picture's frame
    setPalette(pal);

    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("Image1"));
    m_picture->setGeometry(0, 0, 300, 300);
    m_picture->setScaledContents(true);

    m_startArea = new QLabel(this);
    m_startArea->setObjectName(QStringLiteral("Image2"));
    m_startArea->setGeometry(88, 256, 121, 33);
    m_startArea->setCursor(Qt::PointingHandCursor);
    m_startArea->setAttribute(Qt::WA_TranslucentBackground);
    m_startArea->installEventFilter(this);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void SplashWindow::setVisible(bool visible)
{
    // The picture is decoded when the window first shows: most starts never
    // show it (only the first run does).
    if (visible && m_picture->pixmap().isNull()) {
        m_picture->setPixmap(
            QPixmap::fromImage(ArtResources::jpeg(ArtResources::splash(), QSize(300, 300))));
    }
    QDialog::setVisible(visible);
}

void SplashWindow::onStartClicked()
{
    accept();
}

bool SplashWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_startArea && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        onStartClicked();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
