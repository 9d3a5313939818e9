#pragma once

#include <QImage>
#include <QList>
#include <QWidget>

class QLabel;

// Holds the 22 speedometer pictures Image1..Image22 for the main window's
// knowledge picture. Never shown.
class TForm3 : public QWidget
{
    Q_OBJECT
public:
    static constexpr int PictureCount = 22;

    explicit TForm3(QWidget *parent = nullptr);

    // Picture k = 1..22 (needle at 5 * (k - 1)); a null image outside.
    QImage picture(int k) const;

private:
    QList<QLabel *> m_images;
    QList<QImage> m_pictures;
};
