#pragma once

#include <QByteArray>
#include <QPixmap>
#include <QWidget>

class QSvgRenderer;

// An SVG picture drawn at the size it is shown, in the device's own pixels,
// so it stays sharp at every interface scale; the aspect ratio is kept.
class SvgPicture : public QWidget
{
    Q_OBJECT
public:
    explicit SvgPicture(QWidget *parent = nullptr);
    ~SvgPicture() override;

    void setSvg(const QByteArray &svg);
    bool hasPicture() const;

    // `svg` drawn into a box of `size` logical pixels at `pixelRatio`,
    // centred with its proportions kept; a null pixmap when it cannot be
    // drawn.
    static QPixmap render(const QByteArray &svg, const QSize &size, qreal pixelRatio);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSvgRenderer *m_renderer = nullptr;
};
