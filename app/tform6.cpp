#include "tform6.h"

#include "artresources.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

TForm6::TForm6(QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Dialog)
{
    setObjectName(QStringLiteral("Form6"));
    setModal(true);
    setFixedSize(302, 301);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x1F, 0x4E, 0x8C)); // the picture's frame
    setPalette(pal);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 300, 300);
    Image1->setScaledContents(true);
    Image1->setPixmap(
        QPixmap::fromImage(ArtResources::jpeg(ArtResources::splash(), QSize(300, 300))));

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(88, 256, 121, 33);
    Image2->setCursor(Qt::PointingHandCursor);
    Image2->setAttribute(Qt::WA_TranslucentBackground);
    Image2->installEventFilter(this);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TForm6::Image2Click()
{
    accept();
}

bool TForm6::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Image2 && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        Image2Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
