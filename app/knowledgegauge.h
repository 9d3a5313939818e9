#pragma once

#include <QImage>
#include <QList>
#include <QWidget>

class QLabel;

// The knowledge speedometer: holds its 22 pictures, one per needle position,
// for the main window's knowledge picture, each decoded the first time it is
// asked for. Never shown itself.
class KnowledgeGauge : public QWidget
{
    Q_OBJECT
public:
    static constexpr int PictureCount = 22;

    explicit KnowledgeGauge(QWidget *parent = nullptr);

    // Picture k = 1..22 (needle at 5 * (k - 1)); a null image outside.
    QImage picture(int k) const;

private:
    QList<QLabel *> m_images;
    // Null until decoded.
    mutable QList<QImage> m_pictures;
};
