#include "knowledgegauge.h"

#include "artresources.h"
#include <QLabel>

namespace {
const QSize PictureSize(133, 209);
}

KnowledgeGauge::KnowledgeGauge(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form3"));
    for (int k = 1; k <= PictureCount; ++k) {
        auto *image = new QLabel(this);
        image->setObjectName(QStringLiteral("Image%1").arg(k));
        // In logical pixels, which a HiDPI picture also fills.
        image->setGeometry(QRect(QPoint(0, 0), PictureSize));
        m_images.append(image);
    }
    m_pictures.resize(PictureCount);
}

QImage KnowledgeGauge::picture(int k) const
{
    if (k < 1 || k > PictureCount)
        return {};
    // Decoded when first asked for: a start shows one of the 22 pictures,
    // and decoding them all cost more than the rest of the main window.
    QImage &picture = m_pictures[k - 1];
    if (picture.isNull()) {
        picture = ArtResources::jpeg(ArtResources::speedometer(k), PictureSize);
        m_images.at(k - 1)->setPixmap(QPixmap::fromImage(picture));
    }
    return picture;
}
