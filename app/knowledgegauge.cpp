#include "knowledgegauge.h"

#include "artresources.h"
#include <QLabel>

KnowledgeGauge::KnowledgeGauge(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form3"));
    for (int k = 1; k <= PictureCount; ++k) {
        auto *image = new QLabel(this);
        image->setObjectName(QStringLiteral("Image%1").arg(k));
        const QImage picture = ArtResources::jpeg(ArtResources::speedometer(k), QSize(133, 209));
        image->setPixmap(QPixmap::fromImage(picture));
        // In logical pixels: a HiDPI picture has twice the device pixels.
        image->setGeometry(QRect(QPoint(0, 0), picture.deviceIndependentSize().toSize()));
        m_images.append(image);
        m_pictures.append(picture);
    }
}

QImage KnowledgeGauge::picture(int k) const
{
    if (k < 1 || k > PictureCount)
        return {};
    return m_pictures.at(k - 1);
}
