#pragma once

#include <QDialog>
#include <QImage>

// The question's picture shown large: fitted to most of the screen, scaled
// smoothly, closed by a click, Esc or the window's close box. It is
// window-modal and opened without a nested event loop, so the attempt's
// clocks go on while the learner looks.
class PictureZoomWindow : public QDialog
{
    Q_OBJECT

public:
    explicit PictureZoomWindow(QWidget *parent = nullptr);

    // Shows `image` sized for the screen the parent window is on.
    void showImage(const QImage &image, const QString &title);
    QImage image() const { return m_image; }

    // The size `image` is shown at within `available`: as large as 90 % of
    // it allows, keeping the proportions; a small picture is enlarged.
    static QSize fittedSize(QSize image, QSize available);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QImage m_image;
};
